#include "wizard/bridge/handler_guard.h"

#include <cstdio>

#include "wizard/services/prompt_service.h"
#include "wizard/translation/translation.h"

void ReportHandlerFailure(const char* what) noexcept {
    const char* text = what ? what : "unknown failure";
    try {
        promptService().ask({QString::fromLocal8Bit(text),
                             TranslateString(QStringLiteral("Error"), QStringLiteral("strError")),
                             PromptButtons::Ok, PromptIcon::Error});
    } catch (...) {
        std::fprintf(stderr, "Pramblex Pro: %s\n", text);
    }
}
