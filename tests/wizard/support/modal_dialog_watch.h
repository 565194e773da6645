#pragma once
// Watches for the next modal dialog that code opens with exec(): a zero-timer looks for a
// new modal window while exec() runs and hands it to a callback, which must close it
// (accept, reject, click a button). Free of any test framework, so that the screenshot
// program shares it.

#include <QWidget>

#include <chrono>
#include <functional>

using DialogAnswer = std::function<void(QWidget* dialog)>;

// Hands the next modal dialog to open (one that is not the modal dialog of this moment) to
// `answer`; when none opens within `timeout`, calls `missed` instead.
void watchForModalDialog(DialogAnswer answer, std::chrono::milliseconds timeout,
                         std::function<void()> missed);
