#include "wizard/forms/main/drive_item.h"

#include <QStringDecoder>

#include <cstring>

#include "wizard/translation/translation.h"
#include "wizard/utilities/number_text.h"

bool IsListedDrive(const _LDRIVE& drive) { return drive.Letter >= 'A' && drive.Letter <= 'Z'; }

QString DriveRecordText(const char* field, std::size_t size) {
    const void* end = std::memchr(field, '\0', size);
    const auto length = static_cast<qsizetype>(end ? static_cast<const char*>(end) - field : size);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(field, length));
    if (utf8.hasError()) text = QString::fromLatin1(field, length);
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) c = u'?';
    }
    return text;
}

DriveItemTexts DriveItemTextsOf(const _LDRIVE& drive) {
    DriveItemTexts texts;
    const QString label = DriveRecordText(drive.Label, sizeof drive.Label);
    texts.caption = QString(QLatin1Char(drive.Letter));
    if (!label.isEmpty()) texts.caption += QStringLiteral(" (") + label + u')';
    texts.type = DriveRecordText(drive.FileSystemName, sizeof drive.FileSystemName);
    texts.totalSpace = FormatNumberText(static_cast<std::int64_t>(drive.SpaceTotal));
    texts.serial = QStringLiteral("%1")
                       .arg(static_cast<qulonglong>(drive.SerialNumber), 8, 16, QLatin1Char('0'))
                       .toUpper();
    texts.status = drive.Ready == 1
                       ? TranslateString(QStringLiteral("Ready"), QStringLiteral("strReady"))
                       : TranslateString(QStringLiteral("No media"), QStringLiteral("strNomedia"));
    return texts;
}

DriveIdentity IdentityOf(const _LDRIVE& drive) {
    return {drive.Kind, drive.Letter, drive.SerialNumber, drive.SpaceTotal};
}
