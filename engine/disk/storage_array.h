#pragma once
// The list of drives that the exports hand out by index.

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/disk/drive.h"

class CStorageArray {
public:
    explicit CStorageArray(std::size_t physicalDiskRoom);

    int count() const { return static_cast<int>(drives_.size()); }
    // Null for an index outside 0..count-1.
    CDrive* drive(int index) const;
    // Appends a drive and returns its index.
    int add(std::unique_ptr<CDrive> drive);

private:
    std::vector<std::unique_ptr<CDrive>> drives_;
};
