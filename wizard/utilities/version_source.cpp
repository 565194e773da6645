#include "wizard/utilities/version_source.h"

#include <QCoreApplication>
#include <QFileInfo>

// The application's own name and version until the build's version record is connected.
ProgramVersionFacts ReadProgramVersionFacts() {
    ProgramVersionFacts facts;
    facts.productName = QCoreApplication::applicationName();
    facts.productVersion = QCoreApplication::applicationVersion();
    facts.fileVersion = facts.productVersion;
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (program.exists()) facts.programFileDate = program.lastModified();
    return facts;
}
