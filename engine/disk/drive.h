#pragma once
// One readable drive: a physical disk, a volume, an image file or a region of a disk.

#include "engine/records.h"

class CDrive {
public:
    CDrive();

    _LDRIVE* GetDriveInfo() { return &info_; }
    const _LDRIVE* GetDriveInfo() const { return &info_; }

private:
    _LDRIVE info_;
};
