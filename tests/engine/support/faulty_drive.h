#pragma once
// A drive over image bytes held in memory, read through the fault-injection backend: the
// engine's own read path (retries, pauses, reports) over the unreadable ranges a plan names.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/disk/drive.h"
#include "engine/records.h"
#include "platform/fault_injection.h"

namespace test_support {

inline std::unique_ptr<CDrive> faultyImageDrive(std::vector<std::uint8_t> image,
                                                std::shared_ptr<platform::FaultPlan> plan, char letter = 'E') {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(std::move(image));
    auto drive = std::make_unique<CDrive>();
    drive->SetSource({kDriveImage, "memory", 0, bytes->size()});
    drive->GetDriveInfo()->Letter = letter;
    drive->SetDeviceOpener(platform::faultyOpener(std::move(plan), platform::memoryOpener(bytes)));
    return drive;
}

}  // namespace test_support
