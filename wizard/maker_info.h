#pragma once
// The maker's addresses and legal notice, shown by the main window, the splash, the
// language form and the about box.

#include <QString>

inline const QString kMakerWebSite = QStringLiteral("https://www.example.org/");
inline const QString kMakerSupportPage = QStringLiteral("https://www.example.org/support/");
inline const QString kProductHomePage = QStringLiteral("https://www.example.org/pramblex/");
inline const QString kMakerFeedbackPage = QStringLiteral("https://www.example.org/feedback/");
inline const QString kLegalNotice =
    QStringLiteral("Copyright \u00A9 2026 Kelvorin. All rights reserved.");
