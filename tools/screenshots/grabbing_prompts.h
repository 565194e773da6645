#pragma once
// The program's message boxes, shown as the program shows them, saved as pictures and
// answered with their default button (Yes or OK), so that the walk goes on.

#include "wizard/services/prompt_service.h"

class ShotFolder;

class GrabbingPrompts final : public PromptService {
public:
    explicit GrabbingPrompts(ShotFolder& shots) : shots_(shots) {}
    int ask(const Prompt& prompt) override;

private:
    ShotFolder& shots_;
};
