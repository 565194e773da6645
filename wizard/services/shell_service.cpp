#include "wizard/services/shell_service.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

namespace {

class DesktopShell final : public ShellService {
public:
    bool openAddress(const QString& address) override {
        const QUrl url(address, QUrl::StrictMode);
        // A relative address would be taken for a file of the working folder.
        return url.isValid() && !url.isRelative() && QDesktopServices::openUrl(url);
    }
    bool openFolder(const QString& folder) override { return openLocal(folder); }
    bool openFile(const QString& file) override { return openLocal(file); }
    bool hasOpener() override { return !QStandardPaths::findExecutable(kDesktopOpener).isEmpty(); }

private:
    static bool openLocal(const QString& path) {
        return !path.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

}  // namespace

ShellService::~ShellService() = default;

ShellService& ShellService::standard() {
    static DesktopShell shell;
    return shell;
}

ShellService& shellService() { return ServiceSlot<ShellService>::current(); }
