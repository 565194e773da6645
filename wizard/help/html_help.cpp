#include "wizard/help/html_help.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>

#include "wizard/help/help_file.h"
#include "wizard/help/help_form.h"
#include "wizard/services/prompt_service.h"
#include "wizard/translation/safe_format.h"

namespace {

QPointer<THelpForm> helpWindow;

// The program's main window, shown or about to be.
QWidget* ProgramWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<const QMainWindow*>(window)) return window;
    }
    return nullptr;
}

int ShowTopic(const QString& file, const QString& topic) {
    const QString folder = HelpFileForRequest(file);
    if (folder.isEmpty()) {
        return 0;
    }
    const QString path = ResolveHelpTopic(folder, topic);
    if (path.isEmpty()) {
        return 0;
    }
    if (!helpWindow) {
        helpWindow = new THelpForm;
        // Read beside the program's window, not over it.
        if (QWidget* program = ProgramWindow()) helpWindow->placeBeside(*program);
    }
    helpWindow->placeOver(QApplication::activeModalWidget());
    helpWindow->showTopic(folder, path);
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
    return 1;
}

}  // namespace

int CallHtmlHelp(const QString& request, int command) {
    switch (command) {
        case HH_DISPLAY_TOPIC: {
            // Topic paths never hold "::"; a folder name might.
            const qsizetype separator = request.lastIndexOf(QStringLiteral("::"));
            if (separator < 0) {
                return ShowTopic(request.trimmed(), kContentsTopic);
            }
            return ShowTopic(request.first(separator).trimmed(), request.sliced(separator + 2));
        }
        case HH_DISPLAY_TOC:
            return ShowTopic(request.trimmed(), kContentsTopic);
        case HH_CLOSE_ALL:
            delete helpWindow.data();
            return 0;
        default:
            return 0;
    }
}

void ShowHelpTopic(const QString& topic) {
    if (CallHtmlHelp(ApplicationHelpFile() + QStringLiteral("::") + topic, HH_DISPLAY_TOPIC) == 0) {
        ShowHelpFileError();
    }
}

void ShowHelpFileError() {
    const QString format = QStringLiteral("Can't open help file (%s).");
    Prompt prompt;
    prompt.text = SafeFormat(format, format, ApplicationHelpFile());
    prompt.caption = QStringLiteral("Error");
    prompt.icon = PromptIcon::Error;
    promptService().ask(prompt);
}

THelpForm* CurrentHelpWindow() { return helpWindow.data(); }
