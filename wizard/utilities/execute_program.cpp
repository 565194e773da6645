#include "wizard/utilities/execute_program.h"

#include <QUrl>

#include "wizard/services/prompt_service.h"
#include "wizard/services/shell_service.h"
#include "wizard/translation/translation.h"
#include "wizard/utilities/utility_messages.h"

namespace {

bool IsFileManager(const QString& fileName) {
    return fileName.compare(QStringLiteral("explorer.exe"), Qt::CaseInsensitive) == 0;
}

bool open(const QString& fileName, const QString& parameters) {
    if (IsFileManager(fileName)) {
        return !parameters.isEmpty() && shellService().openFolder(parameters);
    }
    const QUrl address = QUrl::fromUserInput(fileName);
    if (!address.isValid()) return false;
    return address.isLocalFile() ? shellService().openFile(address.toLocalFile())
                                 : shellService().openAddress(address.toString());
}

}  // namespace

bool ExecuteProgram(const QString& fileName, const QString& parameters) {
    if (open(fileName, parameters)) return true;
    // The file manager is reached through the desktop's opener: that is the program that failed.
    ReportProgramNotStarted(IsFileManager(fileName) ? kDesktopOpener : fileName);
    return false;
}

void ReportProgramNotStarted(const QString& program) {
    promptService().ask({UtilityMessage("strUtilsExecuteProgramError",
                                        "Unable to execute external program %s.", program),
                         TranslateString(QStringLiteral("Error"), QStringLiteral("strError")),
                         PromptButtons::Ok, PromptIcon::Error});
}
