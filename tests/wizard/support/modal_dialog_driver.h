#pragma once
// Answers modal dialogs that the code under test opens with exec(): a zero-timer looks
// for the next modal window while exec() runs and hands it to a callback, which must
// close it (accept, reject, click a button).

#include <QWidget>

#include <chrono>
#include <functional>

using DialogAnswer = std::function<void(QWidget* dialog)>;

// Arms the answer for the next modal dialog to open (one that is not the modal dialog of
// this moment). When none opens within `timeout`, the test fails and nothing is answered.
void answerNextModalDialog(DialogAnswer answer,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10));
