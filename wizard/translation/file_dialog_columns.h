#pragma once
// The size, type and date columns of Qt's own file dialog in the language of Qt's
// translation in use. Qt writes them in the machine's locale (the size's unit, the month's
// name, the file type's description), which a translation does not change: under a German
// translation on an English system they would stay English. Without a translation in use
// the columns are Qt's own.

#include <QHash>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QString>

class QFileInfo;

class FileDialogColumns : public QIdentityProxyModel {
public:
    // The columns of the file system model that the dialog shows.
    enum Column { kNameColumn, kSizeColumn, kTypeColumn, kDateColumn };

    explicit FileDialogColumns(QObject* parent);

    QVariant data(const QModelIndex& index, int role) const override;

private:
    // A file type's description, read once per type.
    QString typeText(const QFileInfo& file) const;

    QLocale locale_;
    bool translated_;
    mutable QHash<QString, QString> typeTexts_;  // by MIME type name
};
