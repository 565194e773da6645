#include "wizard/help/help_service.h"

#include "wizard/help/help_unit.h"

HelpService::~HelpService() = default;

HelpService& HelpService::standard() { return HtmlHelpViewer(); }

HelpService& helpService() { return ServiceSlot<HelpService>::current(); }
