#include "wizard/help_service.h"

namespace {

class NoHelp final : public HelpService {
public:
    void ShowHelpTopic(const QString&) override {}
};

}  // namespace

HelpService::~HelpService() = default;

HelpService& HelpService::standard() {
    static NoHelp help;
    return help;
}

HelpService& helpService() { return ServiceSlot<HelpService>::current(); }
