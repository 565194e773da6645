#include "wizard/utilities/version_strings.h"

#include "wizard/utilities/version_info.h"

namespace {

VersionStrings& strings() {
    static VersionStrings instance;
    return instance;
}

TDateTime dateTimeOf(const QDateTime& written) {
    if (!written.isValid()) return 0.0;
    const TDateTime date = EncodeDateTime(written.date(), written.time());
    return IsValidDateTime(date) ? date : 0.0;
}

}  // namespace

void GetVersionInfoStrings() {
    const VersionInfo info = readVersionInfo();
    VersionStrings& target = strings();
    target.FileDescription = info.fileDescription;
    target.ProductName = info.productName;
    target.ProductVersion = info.productVersion;
    target.FileVersion = info.fileVersion;
    target.Build = info.build;
    target.ReleaseDate = dateTimeOf(info.releaseDate);
}

const VersionStrings& ProgramVersionStrings() { return strings(); }
