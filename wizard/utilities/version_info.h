#pragma once
// The program's version strings, from the build: CMake passes the project version
// (a.b.c) and the build number; the release date is the program file's last write.

#include <QDateTime>
#include <QString>

inline const QString kProductName = QStringLiteral("Pramblex Pro");

struct VersionInfo {
    QString fileDescription;
    QString productName;
    QString productVersion;  // a.b.c
    QString fileVersion;     // a.b.c.build
    QString build;           // the build text: what follows the third "." of fileVersion
    // The program file's last write in local time, to the 2 seconds that a DOS file date
    // keeps; invalid when the file cannot be examined.
    QDateTime releaseDate;
};

VersionInfo readVersionInfo();

// What follows the third "." of a file version ("161" for 4.4.1.161); the whole text when
// it has fewer than three dots.
QString buildTextOf(const QString& fileVersion);
