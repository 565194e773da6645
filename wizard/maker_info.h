#pragma once
// What the program says about its maker: the legal notice and the web addresses that the
// link labels show (without their scheme) and open (whole).

#include <QString>

inline const QString kMakerLegalNotice =
    QStringLiteral("Copyright \u00A9 2024 Kelvorin. All rights reserved.");
inline const QString kMakerWebAddress = QStringLiteral("https://www.example.org/");
inline const QString kMakerSupportAddress = QStringLiteral("https://www.example.org/support/");
