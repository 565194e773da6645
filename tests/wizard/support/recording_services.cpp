#include "wizard/support/recording_services.h"

bool RecordingShell::openAddress(const QString& address) {
    requests.push_back({ShellRequest::Kind::Address, address});
    return accepts;
}

bool RecordingShell::openFolder(const QString& folder) {
    requests.push_back({ShellRequest::Kind::Folder, folder});
    return accepts;
}

bool RecordingShell::openFile(const QString& file) {
    requests.push_back({ShellRequest::Kind::File, file});
    return accepts;
}
