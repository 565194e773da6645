#include "wizard/utilities/version_strings.h"

#include "wizard/utilities/text_helpers.h"
#include "wizard/utilities/version_source.h"

namespace {

VersionStrings& strings() {
    static VersionStrings instance;
    return instance;
}

QString buildOf(const QString& fileVersion) {
    const int thirdDot = NthOccurrence(QStringLiteral("."), fileVersion, 3);
    return thirdDot == 0 ? fileVersion : fileVersion.mid(thirdDot);
}

// A file date as a DOS directory entry keeps it: whole seconds, rounded down to even.
TDateTime fileDateOf(const QDateTime& written) {
    if (!written.isValid()) return 0.0;
    const QTime time = written.time();
    const TDateTime date =
        EncodeDateTime(written.date(), QTime(time.hour(), time.minute(), time.second() & ~1));
    return IsValidDateTime(date) ? date : 0.0;
}

}  // namespace

void GetVersionInfoStrings() {
    const ProgramVersionFacts facts = ReadProgramVersionFacts();
    VersionStrings& target = strings();
    target.FileDescription = facts.fileDescription;
    target.ProductName = facts.productName;
    target.ProductVersion = facts.productVersion;
    target.FileVersion = facts.fileVersion;
    target.Build = buildOf(facts.fileVersion);
    target.ReleaseDate = fileDateOf(facts.programFileDate);
}

const VersionStrings& ProgramVersionStrings() { return strings(); }
