#pragma once
// The language choice of the first start: "English (Default)" and one entry per ".lng"
// file of the language folder, each with its flag, in the locale's text order.

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;
class TexImageList;

// What the form shows of the program.
struct LanguageFormInfo {
    QString productName;
    QString productVersion;
    QString build;
    QString siteAddress;  // the maker's web address, shown as it is
};

class TLanguageSelectForm : public QDialog {
    Q_OBJECT

public:
    static inline const QString kEnglishDefault = QStringLiteral("English (Default)");
    static inline const QString kHelpTopic = QStringLiteral("/files/params.language.html");

    explicit TLanguageSelectForm(LanguageFormInfo info, QWidget* parent = nullptr);

    // The file name a confirmed choice stores: the selected caption + ".lng"; empty for
    // "English (Default)" or no selection.
    QString selectedLanguageFile() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout();
    void FormCreate();
    void LanguageListViewDblClick();
    void HelpButtonClick();
    void AddNewLabelClick();
    void AddNewLabelMouseEnter();
    void AddNewLabelMouseLeave();

    LanguageFormInfo info_;
    QLabel* siteLabel_ = nullptr;
    QLabel* programNameLabel_ = nullptr;
    QLabel* programVersionLabel_ = nullptr;
    TexImageList* exImageList1_ = nullptr;  // the flags, by LanguageFlagIndex
    QListWidget* languageListView_ = nullptr;
    QLabel* addNewLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

// Shows the form modally. On OK: a language entry sets `globalLanguage` to its file name
// and loads that translation as the current one; "English (Default)" or no selection
// clears both. Any other close changes nothing.
void SelectLanguage(QString& globalLanguage, const LanguageFormInfo& info,
                    QWidget* parent = nullptr);
