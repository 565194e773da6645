#pragma once
// The properties of one found file or folder: its name and data offset, its record
// numbers, condition, type, folder, size, size on disk and times. "..." beside the record
// numbers opens the same dialog for the parent folder as the engine describes it (NTFS
// only), so the user can walk up the folder chain.

#include <QDialog>

#include "wizard/model/found_files/base_element.h"

class QLabel;
class QLineEdit;
class QToolButton;

class TPropertiesForm final : public QDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/recovery.diskproperties.html");
    static constexpr std::int64_t kClusterBytes = 4096;

    // Built and translated; the fields read "---" until Fill.
    explicit TPropertiesForm(QWidget* parent = nullptr);

    // Shows the element; it must live as long as the form.
    void Fill(TBaseElement& element);

    // Opens the properties of the parent folder; nothing when the engine has no sound
    // record of it.
    void GeneralFileSpeedButtonClick();
    // F1 for the form, which opens its help topic.
    void HelpButtonClick();

private:
    void BuildLayout();
    QString BytesText(std::int64_t size, const char* opening) const;

    TBaseElement* element_ = nullptr;
    QLabel* icons_[5] = {};
    QLineEdit* name_ = nullptr;
    QLabel* id_ = nullptr;
    QToolButton* parentButton_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* type_ = nullptr;
    QLineEdit* location_ = nullptr;
    QLineEdit* size_ = nullptr;
    QLineEdit* sizeOnDisk_ = nullptr;
    QLineEdit* created_ = nullptr;
    QLineEdit* modified_ = nullptr;
    QLineEdit* accessed_ = nullptr;
};

// Shows the properties of the element in a modal dialog; always true.
bool ShowFileProperties(TBaseElement& element, QWidget* parent = nullptr);
