#pragma once
// Answers modal dialogs that the code under test opens with exec() (modal_dialog_watch.h);
// a dialog that never opens fails the test.

#include "wizard/support/modal_dialog_watch.h"

// Arms the answer for the next modal dialog to open (one that is not the modal dialog of
// this moment). When none opens within `timeout`, the test fails and nothing is answered.
void answerNextModalDialog(DialogAnswer answer,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
