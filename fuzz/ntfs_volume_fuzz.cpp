// A small valid NTFS volume with the input written over part of it (the first two input
// bytes choose where): open, enumerate, build every path and read every file.

#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/fs/ntfs.h"
#include "tests/engine/fs/ntfs_test_volume.h"

using namespace ntfs_test;

namespace {

const Buffer& templateVolume() {
    static const Buffer image = [] {
        VolumeBuilder volume(512, 1024, 96, 24);
        std::uint64_t lcn = volume.firstDataCluster();
        constexpr std::uint16_t kDir = ntfs::kRecordInUse | ntfs::kRecordDirectory;
        volume.putRecord(16, volume.record(16, kDir).fileName(5, u"dir"));
        volume.putRecord(17, volume.record(17).standardInfo(1, 2, 3, 0x20)
                                 .fileName(16, u"a.txt").residentData({'a', 'b', 'c'}));
        volume.putRecord(18, volume.record(18, 0).fileName(16, u"b.bin")
                                 .attributeList({{0x80, 19}})
                                 .nonResidentData(encodeRuns({{2, std::int64_t(lcn)}, {1, -1}}),
                                                  2000, 1500));
        volume.putRecord(19, volume.record(19).baseRecord(18).nonResidentData(
                                 encodeRuns({{2, std::int64_t(lcn + 4)}}), 0, 0, 3));
        volume.putCluster(lcn, Buffer(6 * 512, 0x5A));
        return volume.image();
    }();
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Buffer image = templateVolume();
    if (size >= 2) {
        std::size_t offset = (data[0] | (data[1] << 8)) * 8 % image.size();
        std::size_t length = std::min(size - 2, image.size() - offset);
        std::memcpy(image.data() + offset, data + 2, length);
    }
    MemoryDrive drive(std::move(image));
    CNTFS ntfs(&drive);
    if (!ntfs.Initialize()) return 0;
    std::vector<std::uint8_t> out(16 * 1024);
    while (FoundFileRecord* found = ntfs.FileGetNext()) {
        FoundFileRecord record = *found;
        ntfs.FileGetPath(&record);
        ntfs.FileRead(FileReadRequest{out.data(), 0, out.size(), &record});
        FoundFileRecord info{};
        ntfs.FileGetInfo(record.RecordNumber, info);
    }
    return 0;
}
