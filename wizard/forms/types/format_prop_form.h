#pragma once
// "File Format Properties": edits one format of the list on three pages (Options, General,
// Internal). The Internal page shows the engine id and the preview flag but cannot change
// them. Values are copied in when the dialog opens and back only on OK; OK stays disabled
// while the default size is not a decimal number from 1 to 2147483647, so that a format is
// never copied back half-way nor given a size that leaves carved files empty or huge.

#include <QDialog>

#include <optional>

#include "wizard/model/formats/format.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

class TFormatPropForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/format.edit.html");
    static constexpr int kTitleMaxLength = 50;

    explicit TFormatPropForm(QWidget* parent = nullptr);

    // The controls from `format`, in the order of the pages.
    void fill(const TFormat& format);
    // The controls into `format`, in the same order; false, and nothing copied, while the
    // default size is not acceptable.
    bool copyTo(TFormat& format) const;

    int activePage() const;
    void setActivePage(int page);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void BottomHelpButtonClick();
    void updateOkButton();

    QTabWidget* pages_ = nullptr;
    QCheckBox* optionsSearchCheckBox_ = nullptr;
    QLineEdit* optionsDefaultFileSizeEdit_ = nullptr;
    QSpinBox* optionsOrderEdit_ = nullptr;
    QLineEdit* optionsPrefixEdit_ = nullptr;
    QLineEdit* generalTitleEdit_ = nullptr;
    QLineEdit* generalCategoryEdit_ = nullptr;
    QLineEdit* generalDescriptionEdit_ = nullptr;
    QLineEdit* generalExtEdit_ = nullptr;
    QLineEdit* generalExtDefaultEdit_ = nullptr;
    QSpinBox* internalScriptIdEdit_ = nullptr;
    QCheckBox* internalPreviewAvailableCheckBox_ = nullptr;
    QPushButton* okButton_ = nullptr;
    // The id as it came in when the control cannot show it; such an id goes back as it was.
    std::optional<std::int32_t> signatureIdOutOfRange_;
};

// The default size typed as text: ASCII digits only, 1 to 2147483647.
std::optional<std::int32_t> ParseDefaultSizeKb(const QString& text);

// Shows the dialog modally over `format` on the page last confirmed with OK in this run.
// OK: the format takes the controls' values and true is returned; otherwise the format is
// untouched and false returned.
bool EditFormatProperties(TFormat& format, QWidget* parent = nullptr);
