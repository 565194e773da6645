#pragma once
// Where the pictures go: numbered PNG files in the order they are taken, and the list of
// what could not be shown.

#include <QDir>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

class QWidget;

class ShotFolder {
public:
    explicit ShotFolder(const QString& folder);

    // The widget's picture as "NN-name.png".
    void Save(const QString& name, QWidget* widget);
    // Every page of the first tab widget inside `dialog`, as "NN-name-P.png".
    void SaveTabs(const QString& name, QWidget* dialog);
    // Something on the way did not work: said on stderr and counted.
    void Fail(const QString& what);
    int Failures() const { return failures_; }

    // The next modal dialog to open (not the one open now) is saved with its tabs, then
    // handed to `close`, which must close it. CheckShown, once the dialog should have come,
    // reports it missing.
    struct Expected {
        QString name;
        std::shared_ptr<bool> waiting;
    };
    Expected ExpectModal(const QString& name, const std::function<void(QWidget* dialog)>& close);
    void CheckShown(const Expected& expected);
    // ExpectModal, `open`, CheckShown.
    void SaveModal(const QString& name, const std::function<void()>& open,
                   const std::function<void(QWidget* dialog)>& close);

private:
    QDir folder_;
    int next_ = 1;
    int failures_ = 0;
};

// Lets the event loop run for a while, so that layouts, paints and posted work finish.
void Settle(std::chrono::milliseconds time = std::chrono::milliseconds(150));
// Runs the event loop until `done` holds; false when `timeout` passes first.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout);
// Closes a dialog by its Cancel, as Escape would.
void Dismiss(QWidget* dialog);
