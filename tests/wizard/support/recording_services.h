#pragma once
// Shell and help services that record what the program asked for instead of doing it.

#include <QStringList>

#include <vector>

#include "wizard/help/help_service.h"
#include "wizard/services/shell_service.h"

struct ShellRequest {
    enum class Kind { Address, Folder, File };
    Kind kind;
    QString target;
    bool operator==(const ShellRequest&) const = default;
};

class RecordingShell final : public ShellService {
public:
    bool openAddress(const QString& address) override;
    bool openFolder(const QString& folder) override;
    bool openFile(const QString& file) override;
    bool hasOpener() override { return accepts; }

    std::vector<ShellRequest> requests;
    bool accepts = true;  // what every request answers
};

class RecordingHelp final : public HelpService {
public:
    void ShowHelpTopic(const QString& topic) override { topics.append(topic); }
    void ShowHelpTopicOrReport(const QString& topic) override { reportedTopics.append(topic); }

    QStringList topics;          // silent requests: F1 and the Help buttons
    QStringList reportedTopics;  // requests that report a missing help folder
};
