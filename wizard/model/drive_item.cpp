#include "wizard/model/drive_item.h"

#include <algorithm>
#include <iterator>

#include "wizard/bridge/engine_api.h"
#include "wizard/bridge/record_text.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/text/number_text.h"

bool IsListedDrive(const _LDRIVE& drive) { return drive.Letter >= 'A' && drive.Letter <= 'Z'; }

namespace {

// A field of the record as one line of a list: control characters show as '?'.
template <std::size_t Width>
QString ListText(const char (&field)[Width]) {
    QString text = RecordFieldText(field);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) c = u'?';
    }
    return text;
}

}  // namespace

DriveItemTexts DriveItemTextsOf(const _LDRIVE& drive) {
    DriveItemTexts texts;
    const QString label = ListText(drive.Label);
    texts.caption = QString(QLatin1Char(drive.Letter));
    if (!label.isEmpty()) texts.caption += QStringLiteral(" (") + label + u')';
    texts.type = ListText(drive.FileSystemName);
    texts.totalSpace = FormatNumberText(static_cast<std::int64_t>(drive.SpaceTotal));
    texts.serial = QStringLiteral("%1")
                       .arg(static_cast<qulonglong>(drive.SerialNumber), 8, 16, QLatin1Char('0'))
                       .toUpper();
    texts.status = drive.Ready == 1
                       ? TranslateString(QStringLiteral("Ready"), QStringLiteral("strReady"))
                       : TranslateString(QStringLiteral("No media"), QStringLiteral("strNomedia"));
    return texts;
}

DrivePlace PlaceOf(const _LDRIVE& drive) {
    return {drive.Kind, drive.Letter, drive.SourceDevice, drive.SourceInode, drive.BaseOffset};
}

DriveIdentity IdentityOf(const _LDRIVE& drive) {
    DriveIdentity identity{PlaceOf(drive), drive.SerialNumber, drive.SpaceTotal, drive.FileSystemCode, {}};
    std::copy(std::begin(drive.Label), std::end(drive.Label), identity.label.begin());
    return identity;
}

bool EngineListsDriveAt(int index, const _LDRIVE& drive) {
    const _LDRIVE* listed = engine().DriveGetInformation(index);
    return listed && PlaceOf(*listed) == PlaceOf(drive);
}

QString DriveMovedText(const TRecoveryDrive& drive) {
    return TranslateFormat(QStringLiteral("strDriveMoved"),
                           QStringLiteral("Drive %s is no longer where it was chosen, as the drive list has "
                                          "changed; nothing is read from it. Please rescan the drive list (F5) "
                                          "and select the drive again."),
                           QString::fromStdString(drive.DisplayName()));
}
