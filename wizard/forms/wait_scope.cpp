#include "wizard/forms/wait_scope.h"

#include <QPointer>
#include <QWidget>

namespace {

// Disables the window for its lifetime and gives it back its enabled state.
class DisabledWindow {
public:
    explicit DisabledWindow(QWidget* window) : window_(window), wasEnabled_(window && window->isEnabled()) {
        if (window_) window_->setEnabled(false);
    }
    ~DisabledWindow() {
        if (window_) window_->setEnabled(wasEnabled_);
    }
    DisabledWindow(const DisabledWindow&) = delete;
    DisabledWindow& operator=(const DisabledWindow&) = delete;

private:
    QPointer<QWidget> window_;
    bool wasEnabled_;
};

}  // namespace

// The wait window itself is the wait form's; until it is at hand, `text` is shown nowhere.
void RunWithWaitForm(QWidget* window, const QString& /*text*/, const std::function<void()>& work) {
    const DisabledWindow disabled(window ? window->window() : nullptr);
    work();
}
