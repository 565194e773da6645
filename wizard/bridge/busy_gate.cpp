#include "wizard/bridge/busy_gate.h"

#include <utility>

namespace {

bool gateHeld = false;

}  // namespace

BusyScope::BusyScope() : entered_(!std::exchange(gateHeld, true)) {}

BusyScope::~BusyScope() {
    if (entered_) {
        gateHeld = false;
    }
}

bool BusyScope::held() { return gateHeld; }
