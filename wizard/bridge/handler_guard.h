#pragma once
// Qt's event dispatch must never be unwound by an exception: every handler body runs
// through RunGuarded, which catches what the body throws and tells the user, and the
// handler ends there. Clean-up that must happen on the way out belongs in scope guards
// inside the body.

#include <exception>
#include <utility>

// Shows the failure in an error box (standard error when even that fails).
void ReportHandlerFailure(const char* what) noexcept;

template <class Body>
void RunGuarded(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& failure) {
        ReportHandlerFailure(failure.what());
    } catch (...) {
        ReportHandlerFailure(nullptr);
    }
}
