#pragma once
// The help window: one browser over the help folder's topics, with Back and Forward and
// the page's title as the window's title. Links inside the help folder navigate; web and
// mail addresses go to the shell service; every other link, and every resource outside
// the folder, is refused.

#include <QPointer>
#include <QString>
#include <QTextBrowser>
#include <QWidget>

class QPushButton;

class THelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit THelpBrowser(QWidget* parent = nullptr);

    void setHelpFolder(const QString& folder) { helpFolder_ = folder; }

    // Files of the help folder only; anything else loads as nothing.
    QVariant loadResource(int type, const QUrl& name) override;

private:
    void LinkClick(const QUrl& link);

    QString helpFolder_;
};

class THelpForm : public QWidget {
    Q_OBJECT

public:
    explicit THelpForm(QWidget* parent = nullptr);

    // Shows `file`, a topic file that lies inside `helpFolder`.
    void showTopic(const QString& helpFolder, const QString& file);

    // Keeps the window usable over a modal dialog: while `owner` (a modal dialog, or null)
    // is shown, the window is its child; when it hides, the window goes to the next modal
    // dialog or becomes a window of its own again, staying where it was.
    void placeOver(QWidget* owner);
    // Places the window beside `window` (its frame), so that it covers none of it. A
    // window not shown yet (the program's at its first start) moves aside to make room:
    // the two stand side by side in the middle of the screen, as far as it allows.
    void placeBeside(QWidget& window);

    THelpBrowser* browser() const { return browser_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc closes the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void UpdateTitle();

    QString caption_;
    THelpBrowser* browser_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* forwardButton_ = nullptr;
    QPointer<QWidget> owner_;
};
