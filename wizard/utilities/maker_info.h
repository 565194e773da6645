#pragma once
// The maker's addresses and legal notice, shown by the main window, the splash, the
// language form and the about box.

#include <QString>

#include "wizard/translation/translation.h"

inline const QString kMakerWebSite = QStringLiteral("https://www.example.org/");
inline const QString kMakerSupportPage = QStringLiteral("https://www.example.org/support/");
inline const QString kProductHomePage = QStringLiteral("https://www.example.org/pramblex/");
inline const QString kMakerFeedbackPage = QStringLiteral("https://www.example.org/feedback/");
inline const QString kCopyrightLine = QStringLiteral("Copyright \u00A9 2026 Kelvorin.");

// The legal notice in the current language.
inline QString LegalNoticeText() {
    return kCopyrightLine + u' ' +
           TranslateString(QStringLiteral("All rights reserved."), QStringLiteral("strAllRightsReserved"));
}
