#pragma once
// The drive properties dialog: what the engine knows of one drive (identity, sizes,
// geometry, file-system capabilities), read-only, on three pages.

#include <QDialog>
#include <QString>

#include <array>

#include "engine/records.h"

class QLineEdit;
class QTabWidget;

class TDrivePropertiesForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kHelpKeyword =
        QStringLiteral("/files/recovery.diskproperties.html");
    static constexpr int kCapabilityCount = 13;

    explicit TDrivePropertiesForm(QWidget* parent = nullptr);

    // Fills every field from `drive`, in the order the dialog lists them, and makes the
    // General page active. Until then each field shows "---".
    void FillFromRecord(const _LDRIVE& drive);

private:
    void buildLayout();

    QTabWidget* pageControl_ = nullptr;
    QLineEdit* letterEdit_ = nullptr;
    QLineEdit* fileSystemEdit_ = nullptr;
    QLineEdit* statusEdit_ = nullptr;
    QLineEdit* volumeLabelEdit_ = nullptr;
    QLineEdit* oemIdEdit_ = nullptr;
    QLineEdit* serialEdit_ = nullptr;
    QLineEdit* totalSpaceEdit_ = nullptr;
    QLineEdit* freeSpaceEdit_ = nullptr;
    QLineEdit* sectorsPerClusterEdit_ = nullptr;
    QLineEdit* bytesPerSectorEdit_ = nullptr;
    QLineEdit* bytesPerClusterEdit_ = nullptr;
    QLineEdit* offsetEdit_ = nullptr;
    std::array<QLineEdit*, kCapabilityCount> capabilityEdits_{};
};

// The translated "Yes" or "No".
QString YesNoText(bool flag);

// Shows the properties of the engine's drive `index` modally. Without a record for the
// index the dialog shows its "---" fields and the answer is false.
bool ShowDriveProperties(int index, QWidget* parent = nullptr);
