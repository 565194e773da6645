#include "wizard/support/modal_dialog_driver.h"

#include <gtest/gtest.h>

void answerNextModalDialog(DialogAnswer answer, std::chrono::milliseconds timeout) {
    watchForModalDialog(std::move(answer), timeout,
                        [] { ADD_FAILURE() << "no modal dialog opened to be answered"; });
}
