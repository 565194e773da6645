#include "wizard/utilities/execute_program.h"

#include <QDesktopServices>

#include <mutex>
#include <utility>

#include "platform/message_box.h"
#include "wizard/utilities/utility_messages.h"

namespace {

std::mutex hookMutex;
ShellOpenHook& installedHook() {
    static ShellOpenHook hook;
    return hook;
}

bool openUrl(const QUrl& url) {
    ShellOpenHook hook;
    {
        std::lock_guard lock(hookMutex);
        hook = installedHook();
    }
    return hook ? hook(url) : QDesktopServices::openUrl(url);
}

QUrl addressOf(const QString& fileName, const QString& parameters) {
    if (fileName.compare(QStringLiteral("explorer.exe"), Qt::CaseInsensitive) == 0) {
        return parameters.isEmpty() ? QUrl() : QUrl::fromLocalFile(parameters);
    }
    return QUrl::fromUserInput(fileName);
}

}  // namespace

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) {
    std::lock_guard lock(hookMutex);
    return std::exchange(installedHook(), std::move(hook));
}

bool ExecuteProgram(const QString& fileName, const QString& parameters) {
    const QUrl url = addressOf(fileName, parameters);
    if (url.isValid() && openUrl(url)) return true;
    const QString text = UtilityMessage("strUtilsExecuteProgramError",
                                        "Unable to execute external program %s.", fileName);
    MessageBoxA(0, text.toUtf8().constData(), "Error", MB_OK | MB_ICONERROR);
    return false;
}
