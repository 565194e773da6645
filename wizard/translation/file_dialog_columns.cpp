#include "wizard/translation/file_dialog_columns.h"

#include <QFile>
#include <QFileSystemModel>
#include <QHash>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include "wizard/translation/qt_translation.h"

namespace {

// Qt describes a file type in the default locale only; the shared MIME database beside it
// keeps the description in every language it has, one "comment" per language tag ("de",
// "zh_CN").
QString MimeComment(const QMimeType& type, const QLocale& locale) {
    const QStringList tags = {locale.name(), QLocale::languageToCode(locale.language())};
    QFile file(QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                      QStringLiteral("mime/") + type.name() + QStringLiteral(".xml")));
    if (!file.open(QIODevice::ReadOnly)) return type.comment();
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement()) return type.comment();
    while (xml.readNextStartElement()) {
        if (xml.name() == QStringLiteral("comment") &&
            tags.contains(xml.attributes().value(QStringLiteral("xml:lang")))) {
            return xml.readElementText();
        }
        xml.skipCurrentElement();
    }
    return type.comment();
}

}  // namespace

FileDialogColumns::FileDialogColumns(QObject* parent)
    : QIdentityProxyModel(parent), locale_(QtLanguage()), translated_(QtLanguage() != QLocale::AnyLanguage) {}

QVariant FileDialogColumns::data(const QModelIndex& index, int role) const {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!translated_ || role != Qt::DisplayRole || !files || index.column() == kNameColumn) {
        return QIdentityProxyModel::data(index, role);
    }
    const QModelIndex source = mapToSource(index);
    const QFileInfo info = files->fileInfo(source);
    switch (index.column()) {
        case kSizeColumn:
            if (info.isFile()) return locale_.formattedDataSize(info.size());
            break;
        case kTypeColumn:
            if (info.isFile()) return typeText(info);
            break;
        case kDateColumn:
            return locale_.toString(info.lastModified(), QLocale::ShortFormat);
    }
    return QIdentityProxyModel::data(index, role);
}

QString FileDialogColumns::typeText(const QFileInfo& file) const {
    // By the name alone: no file of the folder is read on the window's thread.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file, QMimeDatabase::MatchExtension);
    auto known = typeTexts_.constFind(type.name());
    if (known == typeTexts_.cend()) {
        known = typeTexts_.insert(type.name(), MimeComment(type, locale_));
    }
    return *known;
}
