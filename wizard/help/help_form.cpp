#include "wizard/help/help_form.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

#include "wizard/help/help_file.h"
#include "wizard/services/shell_service.h"
#include "wizard/translation/translate_form.h"

namespace {

// The narrowest the window is made to fit beside another.
constexpr int kMinimumWidth = 360;

// Between the window and the one it stands beside: room for frames not known before the
// windows are shown.
constexpr int kGap = 8;

// Where a window of `size` goes beside `anchor` on a screen's `available` area: right of
// it where there is room, else left; where neither side holds the whole width, on the side
// with more room, as narrow as that room allows down to `minimumWidth`. Level with the
// anchor's top, and within the screen.
QRect RectBeside(const QRect& anchor, const QSize& size, const QRect& available, int minimumWidth) {
    const int roomRight = available.right() - anchor.right() - kGap;
    const int roomLeft = anchor.left() - available.left() - kGap;
    const bool right = roomRight >= size.width() || (roomLeft < size.width() && roomRight >= roomLeft);
    const int width = std::min(size.width(), std::max(right ? roomRight : roomLeft, minimumWidth));
    const int height = std::min(size.height(), available.height());
    const int left = right ? std::min(anchor.right() + 1 + kGap, available.right() + 1 - width)
                           : std::max(anchor.left() - kGap - width, available.left());
    const int top = std::clamp(anchor.top(), available.top(), available.bottom() + 1 - height);
    return {left, top, width, height};
}

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

void THelpForm::placeBeside(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // Sizes with the window frame, which is known once the windows have been shown.
    const QSize frame = frameGeometry().size() - size();
    if (!window.isVisible()) {
        // The width the two take side by side, centred on the screen.
        const int own = window.frameGeometry().width();
        const int pair = own + kGap + std::min(frameGeometry().width(), available.width() - own - kGap);
        window.move(available.left() + std::max((available.width() - pair) / 2, 0), window.frameGeometry().top());
    }
    const QRect outer =
        RectBeside(window.frameGeometry(), frameGeometry().size(), available, kMinimumWidth + frame.width());
    resize(outer.size() - frame);
    move(outer.topLeft());
}

void THelpForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
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
