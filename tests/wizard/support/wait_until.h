#pragma once
// Handles events until a condition holds, for at most `timeout`.

#include <QTest>

#include <chrono>

template <class Predicate>
bool waitUntil(Predicate predicate,
               std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return QTest::qWaitFor(predicate, static_cast<int>(timeout.count()));
}
