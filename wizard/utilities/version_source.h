#pragma once
// Where the version strings come from: the values the build gave the program.

#include <QDateTime>
#include <QString>

struct ProgramVersionFacts {
    QString fileDescription;
    QString productName;
    QString productVersion;
    QString fileVersion;
    // The program file's last-write time (local); invalid when it cannot be read.
    QDateTime programFileDate;
};

ProgramVersionFacts ReadProgramVersionFacts();
