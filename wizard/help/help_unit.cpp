#include "wizard/help/help_unit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <memory>

#include "wizard/help/help_file.h"
#include "wizard/help/help_keyword.h"
#include "wizard/help/help_service.h"
#include "wizard/help/html_help.h"

namespace {

// Opens keywords in the help window.
class TSPHelpViewer final : public HelpService {
public:
    void ShowHelpTopic(const QString& keyword) override {
        const QString file = HelpFileForRequest();
        if (!file.isEmpty()) {
            CallHtmlHelp(file + QStringLiteral("::") + keyword, HH_DISPLAY_TOPIC);
        }
    }
    void ShowHelpTopicOrReport(const QString& topic) override { ::ShowHelpTopic(topic); }
};

// Turns F1 in a window with a keyword into a help request. A key press goes first to the
// window system's window object, then to the focused widget and on up its parents; only
// widgets are asked, and the first one that finds a keyword takes the key.
class HelpKeyFilter final : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) {
            return false;
        }
        const QString keyword = HelpKeywordOf(static_cast<QWidget*>(watched));
        if (keyword.isEmpty()) {
            return false;
        }
        helpService().ShowHelpTopic(keyword);
        return true;
    }
};

std::unique_ptr<HelpKeyFilter> helpKeyFilter;  // GUI thread only

}  // namespace

void HTMLHelpInterfaceInit() {
    if (helpKeyFilter) {
        return;
    }
    helpKeyFilter = std::make_unique<HelpKeyFilter>();
    QCoreApplication::instance()->installEventFilter(helpKeyFilter.get());
}

void HTMLHelpInterfaceDone() {
    if (helpKeyFilter) {
        QCoreApplication::instance()->removeEventFilter(helpKeyFilter.get());
        helpKeyFilter.reset();
    }
    CallHtmlHelp(ApplicationHelpFile(), HH_CLOSE_ALL);
}

HelpService& HtmlHelpViewer() {
    static TSPHelpViewer viewer;
    return viewer;
}
