#include "platform/device_enumeration.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSysfsSectorSize = 512;
// The kernel shows an extended-partition container as a partition of at most 1 KiB.
constexpr std::uint64_t kExtendedContainerMaxSectors = 2;
constexpr std::uint32_t kMaxPrimaryNumber = 4;
constexpr char kFirstVolumeLetter = 'C';
constexpr char kLastVolumeLetter = 'Z';

std::optional<std::string> readFirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
    return line;
}

std::optional<std::uint64_t> readNumber(const fs::path& file) {
    std::optional<std::string> text = readFirstLine(file);
    if (!text || text->empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : *text) {
        if (c < '0' || c > '9') return std::nullopt;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (~std::uint64_t{0} - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Sector counts from sysfs as bytes; a count too large to be a size is treated as none.
std::uint64_t sectorsToBytes(std::optional<std::uint64_t> sectors) {
    if (!sectors || *sectors > ~std::uint64_t{0} / kSysfsSectorSize) return 0;
    return *sectors * kSysfsSectorSize;
}

bool allOf(std::string_view text, int (*test)(int)) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [test](char c) { return test(static_cast<unsigned char>(c)) != 0; });
}

bool isLowerAlpha(std::string_view text) {
    return allOf(text, [](int c) { return (c >= 'a' && c <= 'z') ? 1 : 0; });
}
bool isDigits(std::string_view text) { return allOf(text, [](int c) { return std::isdigit(c); }); }

// The families of whole disks that can hold recoverable volumes.
bool isDiskName(std::string_view name) {
    for (std::string_view prefix : {"xvd", "sd", "vd"})
        if (name.starts_with(prefix)) return isLowerAlpha(name.substr(prefix.size()));
    if (name.starts_with("nvme")) {
        const std::string_view rest = name.substr(4);
        const std::size_t n = rest.find('n');
        return n != std::string_view::npos && isDigits(rest.substr(0, n)) && isDigits(rest.substr(n + 1));
    }
    if (name.starts_with("mmcblk")) return isDigits(name.substr(6));
    if (name.starts_with("loop")) return isDigits(name.substr(4));
    return false;
}

// Splits a name into runs of letters and runs of digits.
std::vector<std::string_view> nameRuns(std::string_view name) {
    std::vector<std::string_view> runs;
    std::size_t start = 0;
    for (std::size_t i = 1; i <= name.size(); ++i) {
        const bool boundary = i == name.size() || (std::isdigit(static_cast<unsigned char>(name[i])) != 0) !=
                                                      (std::isdigit(static_cast<unsigned char>(name[i - 1])) != 0);
        if (boundary) {
            runs.push_back(name.substr(start, i - start));
            start = i;
        }
    }
    return runs;
}

std::string_view familyOf(std::string_view name) {
    for (std::string_view prefix : {"xvd", "sd", "vd", "nvme", "mmcblk", "loop"})
        if (name.starts_with(prefix)) return prefix;
    return name;
}

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// mountinfo escapes blanks and backslashes as \ooo.
std::string decodeMountPath(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
            isOctalDigit(field[i + 3])) {
            out.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

// "major:minor" -> first mount point.
std::map<std::string, std::string> readMountPoints(const fs::path& mountInfo) {
    std::map<std::string, std::string> mounts;
    std::ifstream in(mountInfo);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        if (!(fields >> id >> parent >> device >> root >> mountPoint)) continue;
        mounts.emplace(device, decodeMountPath(mountPoint));
    }
    return mounts;
}

struct SysfsPartition {
    std::string name;
    std::uint32_t number = 0;
    std::uint64_t startSector = 0;
    std::uint64_t sectors = 0;
};

std::vector<SysfsPartition> readPartitions(const fs::path& diskDir) {
    std::vector<SysfsPartition> partitions;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(diskDir, error)) {
        const std::optional<std::uint64_t> number = readNumber(entry.path() / "partition");
        if (!number || *number == 0 || *number > 0xFFFFFFFFu) continue;
        SysfsPartition partition;
        partition.name = entry.path().filename().string();
        partition.number = static_cast<std::uint32_t>(*number);
        partition.startSector = readNumber(entry.path() / "start").value_or(0);
        partition.sectors = readNumber(entry.path() / "size").value_or(0);
        const bool container = partition.number <= kMaxPrimaryNumber &&
                               partition.sectors <= kExtendedContainerMaxSectors && partition.sectors != 0;
        if (!container) partitions.push_back(partition);
    }
    std::sort(partitions.begin(), partitions.end(),
              [](const SysfsPartition& a, const SysfsPartition& b) { return a.number < b.number; });
    return partitions;
}

}  // namespace

bool blockDeviceNameLess(const std::string& a, const std::string& b) {
    const std::string_view familyA = familyOf(a), familyB = familyOf(b);
    if (familyA != familyB) return familyA < familyB;
    const std::vector<std::string_view> runsA = nameRuns(std::string_view(a).substr(familyA.size()));
    const std::vector<std::string_view> runsB = nameRuns(std::string_view(b).substr(familyB.size()));
    for (std::size_t i = 0; i < runsA.size() && i < runsB.size(); ++i) {
        std::string_view x = runsA[i], y = runsB[i];
        if (isDigits(x) && isDigits(y)) {
            while (x.size() > 1 && x.front() == '0') x.remove_prefix(1);
            while (y.size() > 1 && y.front() == '0') y.remove_prefix(1);
        }
        if (x.size() != y.size()) return x.size() < y.size();
        if (x != y) return x < y;
    }
    return runsA.size() < runsB.size();
}

DeviceEnumerator::DeviceEnumerator(EnumerationRoots roots) : roots_(std::move(roots)) {}

DeviceList DeviceEnumerator::enumerate() {
    const fs::path blockDir = fs::path(roots_.sys) / "block";
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(blockDir, error)) {
        const std::string name = entry.path().filename().string();
        if (!isDiskName(name)) continue;
        // A loop device without a backing file holds nothing.
        if (name.starts_with("loop") && !fs::exists(entry.path() / "loop" / "backing_file", error)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), blockDeviceNameLess);

    const std::map<std::string, std::string> mounts = readMountPoints(roots_.mountInfo);
    auto mountOf = [&](const fs::path& deviceDir) -> std::string {
        const std::optional<std::string> number = readFirstLine(deviceDir / "dev");
        if (!number) return {};
        auto found = mounts.find(*number);
        return found == mounts.end() ? std::string() : found->second;
    };

    std::vector<DiskDevice> disks;
    std::vector<Candidate> candidates;
    for (const std::string& name : names) {
        const fs::path diskDir = blockDir / name;
        DiskDevice disk;
        disk.name = name;
        disk.path = (fs::path(roots_.dev) / name).string();
        disk.bytes = sectorsToBytes(readNumber(diskDir / "size"));
        disk.ready = disk.bytes != 0;
        disk.driveType = readNumber(diskDir / "removable").value_or(0) == 1 ? kEnumeratedRemovable : kEnumeratedFixed;
        // A new medium in the same reader is another device: the kernel counts media.
        const std::string diskKey = name + "@" + readFirstLine(diskDir / "dev").value_or("") + "#" +
                                    readFirstLine(diskDir / "diskseq").value_or("");
        const std::size_t diskIndex = disks.size();

        std::vector<SysfsPartition> partitions = readPartitions(diskDir);
        if (partitions.empty()) {
            Candidate whole;
            whole.volume = {.name = name,
                            .path = disk.path,
                            .disk = diskIndex,
                            .bytes = disk.bytes,
                            .driveType = disk.driveType,
                            .ready = disk.ready,
                            .mountPoint = mountOf(diskDir)};
            whole.key = diskKey;
            candidates.push_back(std::move(whole));
        }
        for (const SysfsPartition& partition : partitions) {
            Candidate part;
            const std::uint64_t bytes = sectorsToBytes(partition.sectors);
            part.volume = {.name = partition.name,
                           .path = (fs::path(roots_.dev) / partition.name).string(),
                           .disk = diskIndex,
                           .bytes = bytes,
                           .partitionNumber = partition.number,
                           .driveType = disk.driveType,
                           .ready = bytes != 0,
                           .mountPoint = mountOf(diskDir / partition.name)};
            part.key = diskKey + "/" + partition.name;
            candidates.push_back(std::move(part));
        }
        disks.push_back(std::move(disk));
    }
    return assignLetters(std::move(disks), std::move(candidates));
}

DeviceList DeviceEnumerator::enumerateListed(const std::vector<ListedDisk>& listed) {
    std::vector<DiskDevice> disks;
    std::vector<Candidate> candidates;
    for (const ListedDisk& file : listed) {
        DiskDevice disk;
        disk.name = file.path;
        disk.path = file.path;
        disk.bytes = file.opened ? file.bytes : 0;
        disk.ready = file.opened && file.bytes != 0;
        const std::size_t diskIndex = disks.size();
        disks.push_back(disk);
        if (!file.opened) continue;
        if (file.partitions.empty()) {
            Candidate whole;
            whole.volume = {.name = file.path,
                            .path = file.path,
                            .disk = diskIndex,
                            .bytes = disk.bytes,
                            .driveType = disk.driveType,
                            .ready = disk.ready,
                            .mountPoint = {}};
            whole.key = file.path;
            candidates.push_back(std::move(whole));
        }
        for (const ListedPartition& partition : file.partitions) {
            Candidate part;
            const std::string name = file.path + "#" + std::to_string(partition.number);
            part.volume = {.name = name,
                           .path = file.path,
                           .disk = diskIndex,
                           .baseOffset = partition.offset,
                           .bytes = partition.length,
                           .partitionNumber = partition.number,
                           .partitionType = partition.type,
                           .driveType = disk.driveType,
                           .ready = partition.length != 0,
                           .mountPoint = {}};
            part.key = name;
            candidates.push_back(std::move(part));
        }
    }
    return assignLetters(std::move(disks), std::move(candidates));
}

DeviceList DeviceEnumerator::assignLetters(std::vector<DiskDevice> disks, std::vector<Candidate> candidates) {
    std::set<char> taken;
    for (Candidate& candidate : candidates) {
        auto previous = letters_.find(candidate.key);
        if (previous != letters_.end() && taken.insert(previous->second).second)
            candidate.volume.letter = previous->second;
    }
    char next = kFirstVolumeLetter;
    for (Candidate& candidate : candidates) {
        if (candidate.volume.letter != 0) continue;
        while (next <= kLastVolumeLetter && taken.count(next) != 0) ++next;
        if (next > kLastVolumeLetter) break;
        candidate.volume.letter = next;
        taken.insert(next);
    }

    DeviceList list;
    list.disks = std::move(disks);
    std::map<std::string, char> letters;
    for (Candidate& candidate : candidates) {
        if (candidate.volume.letter == 0) {
            list.unlettered.push_back(candidate.volume.name);
            continue;
        }
        letters.emplace(candidate.key, candidate.volume.letter);
        list.volumes.push_back(std::move(candidate.volume));
    }
    std::sort(list.volumes.begin(), list.volumes.end(),
              [](const VolumeDevice& a, const VolumeDevice& b) { return a.letter < b.letter; });
    letters_ = std::move(letters);
    return list;
}

}  // namespace platform
