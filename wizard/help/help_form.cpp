#include "wizard/help/help_form.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "wizard/help/help_file.h"
#include "wizard/services/shell_service.h"
#include "wizard/translation/translate_form.h"

namespace {

bool IsShellAddress(const QUrl& link) {
    const QString scheme = link.scheme().toLower();
    return scheme == u"http" || scheme == u"https" || scheme == u"mailto";
}

QPushButton* AddButton(QWidget* owner, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, owner);
    button->setObjectName(QString::fromLatin1(name));
    button->setEnabled(false);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("HelpBrowser"));
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::LinkClick);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl target = name.isRelative() ? source().resolved(name) : name;
    if (!target.isLocalFile() || !IsInsideHelpFolder(helpFolder_, target.toLocalFile())) {
        return {};
    }
    return QTextBrowser::loadResource(type, target);
}

void THelpBrowser::LinkClick(const QUrl& link) {
    if (IsShellAddress(link)) {
        shellService().openAddress(link.toString());
        return;
    }
    const QUrl target = source().resolved(link);
    if (target.isLocalFile() && IsInsideHelpFolder(helpFolder_, target.toLocalFile())) {
        setSource(target);
    }
}

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Help"));
    // An open help window never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(640, 560);

    backButton_ = AddButton(this, "BackButton", QStringLiteral("< &Back"));
    forwardButton_ = AddButton(this, "ForwardButton", QStringLiteral("&Forward >"));
    browser_ = new THelpBrowser(this);
    connect(backButton_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forwardButton_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forwardButton_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &THelpForm::UpdateTitle);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(backButton_);
    buttons->addWidget(forwardButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);

    TranslateForm({this});
    caption_ = windowTitle();
}

void THelpForm::showTopic(const QString& helpFolder, const QString& file) {
    browser_->setHelpFolder(helpFolder);
    browser_->setSource(QUrl::fromLocalFile(file));
}

void THelpForm::placeOver(QWidget* owner) {
    if (owner == owner_) {
        return;
    }
    if (owner_) {
        owner_->removeEventFilter(this);
    }
    owner_ = owner;
    if (owner_) {
        owner_->installEventFilter(this);
    }
    // setParent hides the window; it comes back where it was.
    const bool wasVisible = isVisible();
    const QRect frame = geometry();
    setParent(owner, windowFlags());
    if (wasVisible) {
        setGeometry(frame);
        show();
    }
}

bool THelpForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == owner_ && event->type() == QEvent::Hide) {
        QWidget* next = QApplication::activeModalWidget();
        placeOver(next == owner_ ? nullptr : next);
    }
    return QWidget::eventFilter(watched, event);
}

void THelpForm::UpdateTitle() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? caption_ : title);
}
