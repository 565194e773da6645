#include "wizard/forms/language/language_select_form.h"

#include <QCollator>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

#include "wizard/forms/language/language_flags.h"
#include "wizard/forms/tree/ex_image_list.h"
#include "wizard/help/help_service.h"
#include "wizard/translation/language_folder.h"
#include "wizard/translation/translate_form.h"

namespace {

QLabel* AddLabel(QWidget* owner, const char* name, const QString& text) {
    auto* label = new QLabel(text, owner);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFont ArialFont(int pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    return font;
}

QFrame* AddPanel(QWidget* owner, const char* name, QColor background) {
    auto* panel = new QFrame(owner);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, background);
    panel->setPalette(palette);
    return panel;
}

}  // namespace

TLanguageSelectForm::TLanguageSelectForm(LanguageFormInfo info, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      info_(std::move(info)) {
    setObjectName(QStringLiteral("LanguageSelectForm"));
    buildLayout();
    FormCreate();
}

void TLanguageSelectForm::buildLayout() {
    setWindowTitle(QStringLiteral("Select your language"));
    setFixedSize(358, 303);

    QFrame* topPanel = AddPanel(this, "TopPanel", Qt::white);
    siteLabel_ = AddLabel(topPanel, "SiteLabel", info_.siteAddress);
    siteLabel_->setFont(ArialFont(8, true));
    programNameLabel_ = AddLabel(topPanel, "ProgramNameLabel", QString());
    programNameLabel_->setFont(ArialFont(12, true));
    programVersionLabel_ = AddLabel(topPanel, "ProgramVersionLabel", QStringLiteral("ver."));
    auto* topLayout = new QVBoxLayout(topPanel);
    topLayout->addWidget(programNameLabel_);
    topLayout->addWidget(programVersionLabel_);
    topLayout->addWidget(siteLabel_);

    QLabel* selectLabel =
        AddLabel(this, "SelectLanguageLabel", QStringLiteral("Please select preferred language:"));

    exImageList1_ = new TexImageList(QSize(16, 16), this);
    exImageList1_->setObjectName(QStringLiteral("exImageList1"));
    for (int flag = 0; flag < kLanguageFlagCount; ++flag) {
        exImageList1_->add(QPixmap::fromImage(PaintLanguageFlag(flag)));
    }

    languageListView_ = new QListWidget(this);
    languageListView_->setObjectName(QStringLiteral("LanguageListView"));
    languageListView_->setIconSize(QSize(16, 16));
    languageListView_->setSelectionMode(QAbstractItemView::SingleSelection);
    languageListView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selection stays visible while the list is not focused.
    QPalette listPalette = languageListView_->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        listPalette.setColor(QPalette::Inactive, role, listPalette.color(QPalette::Active, role));
    }
    languageListView_->setPalette(listPalette);
    connect(languageListView_, &QListWidget::itemDoubleClicked, this,
            [this] { LanguageListViewDblClick(); });

    addNewLabel_ = AddLabel(this, "AddNewLabel",
                            QStringLiteral("Your language is missing? Learn how to add it..."));
    QPalette linkPalette = addNewLabel_->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    addNewLabel_->setPalette(linkPalette);
    addNewLabel_->setCursor(Qt::PointingHandCursor);
    addNewLabel_->installEventFilter(this);

    QFrame* bottomPanel = AddPanel(this, "BottomPanel", palette().color(QPalette::Window));
    okButton_ = new QPushButton(QStringLiteral("&OK"), bottomPanel);
    okButton_->setObjectName(QStringLiteral("OKButton"));
    okButton_->setDefault(true);
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
    auto* helpButton = new QPushButton(QStringLiteral("Help"), bottomPanel);
    helpButton->setObjectName(QStringLiteral("HelpButton"));
    connect(helpButton, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
    auto* bottomLayout = new QHBoxLayout(bottomPanel);
    bottomLayout->addStretch();
    bottomLayout->addWidget(okButton_);
    bottomLayout->addWidget(helpButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(topPanel);
    auto* middle = new QVBoxLayout;
    middle->setContentsMargins(10, 4, 10, 0);
    middle->addWidget(selectLabel);
    middle->addWidget(languageListView_, 1);
    middle->addWidget(addNewLabel_);
    layout->addLayout(middle, 1);
    layout->addWidget(bottomPanel);
}

void TLanguageSelectForm::FormCreate() {
    TranslateForm({this});

    std::vector<std::pair<QString, int>> entries{{kEnglishDefault, kEnglishDefaultFlag}};
    for (const QString& fileName : ListLanguageFiles(LanguageFolder())) {
        const QString caption = LanguageCaption(fileName);
        entries.emplace_back(caption, LanguageFlagIndex(caption));
    }
    const QCollator collator{QLocale()};
    std::stable_sort(entries.begin(), entries.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    for (const auto& [caption, flag] : entries) {
        auto* item = new QListWidgetItem(QIcon(exImageList1_->image(flag)), caption,
                                         languageListView_);
        if (caption == kEnglishDefault && languageListView_->currentItem() == nullptr) {
            languageListView_->setCurrentItem(item);
        }
    }
    languageListView_->setFocus();

    programVersionLabel_->setText(
        info_.productVersion + QStringLiteral(" (") +
        TranslateString(QStringLiteral("Build"), QStringLiteral("strBuild")) + u' ' + info_.build +
        u')');
    programNameLabel_->setText(info_.productName);
}

QString TLanguageSelectForm::selectedLanguageFile() const {
    const QList<QListWidgetItem*> selected = languageListView_->selectedItems();
    if (selected.isEmpty() || selected.first()->text() == kEnglishDefault) {
        return {};
    }
    return LanguageFileNameForCaption(selected.first()->text());
}

void TLanguageSelectForm::LanguageListViewDblClick() {
    okButton_->click();
}

void TLanguageSelectForm::HelpButtonClick() {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

// The link, unlike F1 and Help, says when the help folder is missing.
void TLanguageSelectForm::AddNewLabelClick() {
    helpService().ShowHelpTopicOrReport(kHelpTopic);
}

void TLanguageSelectForm::AddNewLabelMouseEnter() {
    QFont font = addNewLabel_->font();
    font.setUnderline(true);
    addNewLabel_->setFont(font);
}

void TLanguageSelectForm::AddNewLabelMouseLeave() {
    QFont font = addNewLabel_->font();
    font.setUnderline(false);
    addNewLabel_->setFont(font);
}

bool TLanguageSelectForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == addNewLabel_) {
        switch (event->type()) {
            case QEvent::Enter: AddNewLabelMouseEnter(); break;
            case QEvent::Leave: AddNewLabelMouseLeave(); break;
            case QEvent::MouseButtonRelease: AddNewLabelClick(); break;
            default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLanguageSelectForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        helpService().ShowHelpTopic(kHelpTopic);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TLanguageSelectForm::showEvent(QShowEvent* event) {
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

void SelectLanguage(QString& globalLanguage, const LanguageFormInfo& info, QWidget* parent) {
    TLanguageSelectForm form(info, parent);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    globalLanguage = form.selectedLanguageFile();
    UseLanguageFile(globalLanguage);
}
