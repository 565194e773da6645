#pragma once
// The question for the size of a found file whose size is unknown: Recover (1) with the
// size in the edit, Skip File (5) or Cancel (2), and for which files the size is used.

#include <QString>

#include <cstdint>
#include <optional>

#include "wizard/help/help_keyword_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class TProbableFileSizeForm : public THelpKeywordDialog {
    Q_OBJECT

public:
    static inline const QString kHelpTopic = QStringLiteral("/files/recovery.probablesize.html");
    static constexpr int kResultSkipFile = 5;

    enum class UseFor { ThisFileOnly, AllFilesInSession, AllFilesAllSessions };

    struct FileInfo {
        QString typeName;
        std::uint64_t firstCluster = 0;
        QString name;
        QString condition;
        std::int32_t defaultSizeKb = 0;
    };

    explicit TProbableFileSizeForm(QWidget* parent = nullptr);

    void Fill(const FileInfo& info);
    // The edited size in KB: a whole number from 1 to 2^31 - 1; nothing otherwise.
    std::optional<std::int32_t> NewSizeKb() const;
    UseFor SelectedUse() const;
    bool DontAsk() const;

private:
    void FormCreate();

    QLabel* labelTop_ = nullptr;
    QString topFormat_;
    QLabel* clusterId_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* type_ = nullptr;
    QLabel* condition_ = nullptr;
    QLabel* defaultSize_ = nullptr;
    QLineEdit* newProbableEdit_ = nullptr;
    QRadioButton* thisFileOnly_ = nullptr;
    QRadioButton* allFilesInSession_ = nullptr;
    QCheckBox* dontAsk_ = nullptr;
};

// The size text of the edit as a number of KB from 1 to 2^31 - 1, blanks around it
// allowed; nothing for any other text.
std::optional<std::int32_t> ParseSizeKb(const QString& text);
