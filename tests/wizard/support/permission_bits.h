#pragma once
// Makes permission bits bind the calling thread even when it runs as root: while it
// lives, the thread gives up the capability to pass over them (CAP_DAC_OVERRIDE), so a
// folder without write permission refuses new files. Other threads keep their rights;
// threads the calling one starts meanwhile inherit the loss.

#include <cstdint>

class ScopedPermissionBits {
public:
    ScopedPermissionBits();
    // Takes the capability back when it was there before.
    ~ScopedPermissionBits();
    ScopedPermissionBits(const ScopedPermissionBits&) = delete;
    ScopedPermissionBits& operator=(const ScopedPermissionBits&) = delete;

private:
    bool dropped_ = false;
};
