#include "engine/disk/storage_array.h"

CStorageArray::CStorageArray(std::size_t physicalDiskRoom) { drives_.reserve(physicalDiskRoom); }

CDrive* CStorageArray::drive(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return drives_[static_cast<std::size_t>(index)].get();
}

int CStorageArray::add(std::unique_ptr<CDrive> drive) {
    drives_.push_back(std::move(drive));
    return count() - 1;
}
