#include "tools/screenshots/grabbing_prompts.h"

#include <QMessageBox>
#include <QPushButton>

#include "tools/screenshots/shot_folder.h"

int GrabbingPrompts::ask(const Prompt& prompt) {
    const ShotFolder::Expected box = shots_.ExpectModal(QStringLiteral("message"), [](QWidget* dialog) {
        auto* message = qobject_cast<QMessageBox*>(dialog);
        QPushButton* answer = message ? message->defaultButton() : nullptr;
        if (answer) {
            answer->click();
        } else {
            Dismiss(dialog);
        }
    });
    const int answer = PromptService::standard().ask(prompt);
    shots_.CheckShown(box);
    return answer;
}
