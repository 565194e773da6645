#pragma once
// The guard around an export's body: an exception becomes an error line (and so the
// last-error text) and the export's failure value. A null line makes the guard silent.

#include <utility>

#include "engine/exports.h"
#include "engine/log.h"

namespace engine {

template <typename Result, typename Body>
Result guarded(const char* failureLine, Result failure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        if (failureLine) Log(kLogError, "%s", failureLine);
        return failure;
    }
}

}  // namespace engine
