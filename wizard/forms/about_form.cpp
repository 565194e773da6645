#include "wizard/forms/about_form.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "wizard/forms/widgets/form_widgets.h"
#include "wizard/forms/widgets/program_icon.h"
#include "wizard/help/help_keyword.h"
#include "wizard/translation/translate_form.h"
#include "wizard/utilities/execute_program.h"
#include "wizard/utilities/maker_info.h"
#include "wizard/utilities/text/text_helpers.h"

namespace {

QLabel* AddLink(QWidget* owner, const char* name) {
    QLabel* link = NamedLabel(owner, name, QString());
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    link->setMouseTracking(true);
    return link;
}

void SetUnderline(QLabel* label, bool underline) {
    QFont font = label->font();
    font.setUnderline(underline);
    label->setFont(font);
}

}  // namespace

TAboutForm::TAboutForm(QWidget* mainWindow, const VersionStrings& version)
    : QDialog(mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("AboutForm"));
    SetHelpKeyword(this, kHelpKeyword);
    buildLayout();
    FormCreate(version);
}

void TAboutForm::buildLayout() {
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(409, 265);

    iconImage_ = NamedLabel(this, "IconImage", QString());
    iconImage_->setPixmap(PaintProgramIcon(64));
    iconImage_->setFixedSize(64, 64);
    iconImage_->setVisible(false);

    labelProgramName_ = NamedLabel(this, "LabelProgramName", QStringLiteral("[title]"));
    QFont nameFont = labelProgramName_->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    labelProgramName_->setFont(nameFont);
    labelProgramDescription_ =
        NamedLabel(this, "LabelProgramDescription", QStringLiteral("[description]"));
    labelProgramDescription_->setWordWrap(true);
    labelProgramVersion_ = NamedLabel(this, "LabelProgramVersion", QStringLiteral("[version]"));
    QLabel* copyright = NamedLabel(this, "LabelCopyright", LegalNoticeText());
    copyright->setWordWrap(true);
    labelUrl_ = AddLink(this, "LabelUrl");
    labelSupport_ = AddLink(this, "LabelSupport");
    labelUrl_->installEventFilter(this);
    labelSupport_->installEventFilter(this);

    auto* facts = new QGridLayout;
    facts->setHorizontalSpacing(6);
    facts->addWidget(NamedLabel(this, "LabelVersion", QStringLiteral("Version:")), 0, 0);
    facts->addWidget(labelProgramVersion_, 0, 1);
    facts->addWidget(NamedLabel(this, "LabelBeforeWeb", QStringLiteral("Web:")), 1, 0);
    facts->addWidget(labelUrl_, 1, 1, Qt::AlignLeft);
    facts->addWidget(NamedLabel(this, "LabelBeforeSupport", QStringLiteral("Support:")), 2, 0);
    facts->addWidget(labelSupport_, 2, 1, Qt::AlignLeft);
    facts->setColumnStretch(1, 1);

    auto* text = new QVBoxLayout;
    text->addWidget(labelProgramName_);
    text->addWidget(labelProgramDescription_);
    text->addSpacing(8);
    text->addLayout(facts);
    text->addSpacing(8);
    text->addWidget(copyright);
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(iconImage_, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    QHBoxLayout* buttons = AddOkHelpRow(this, {"ButtonOK", QStringLiteral("OK")},
                                        {"ButtonHelp", QStringLiteral("Help")});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

void TAboutForm::FormCreate(const VersionStrings& version) {
    TranslateForm({this});
    labelUrl_->setText(TextAfterDoubleSlash(kMakerWebSite));
    labelSupport_->setText(TextAfterDoubleSlash(kMakerSupportPage));
    labelProgramVersion_->setText(
        version.ProductVersion + QStringLiteral(" (") +
        TranslateString(QStringLiteral("Build"), QStringLiteral("strBuild")) + u' ' +
        version.Build + u')');
    labelProgramName_->setText(version.ProductName);
    labelProgramDescription_->setText(version.FileDescription);
    iconImage_->setVisible(true);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLabel*>(watched);
    if (link == labelUrl_ || link == labelSupport_) {
        switch (event->type()) {
            case QEvent::MouseMove:
                SetUnderline(link, true);
                break;
            case QEvent::Leave:
                SetUnderline(link, false);
                break;
            case QEvent::MouseButtonRelease:
                ExecuteProgram(link == labelUrl_ ? kMakerWebSite : kMakerSupportPage, QString());
                break;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent* event) {
    if (const QWidget* owner = parentWidget()) {
        move(owner->window()->frameGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}
