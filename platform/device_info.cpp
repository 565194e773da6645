#include "platform/device_info.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

namespace fs = std::filesystem;

fs::path sysfsDir(dev_t device) {
    return fs::path("/sys/dev/block") /
           (std::to_string(major(device)) + ":" + std::to_string(minor(device)));
}

std::string trimmed(std::string text) {
    const auto end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    const auto begin = text.find_first_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin);
}

std::optional<std::uint64_t> parseNumber(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data()) return std::nullopt;
    return value;
}

std::optional<dev_t> parseDeviceNumber(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto high = parseNumber(text.substr(0, colon));
    const auto low = parseNumber(text.substr(colon + 1));
    if (!high || !low) return std::nullopt;
    return makedev(static_cast<unsigned>(*high), static_cast<unsigned>(*low));
}

std::optional<std::string> readFirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    return line;
}

// mountinfo escapes blanks and backslashes as \ooo.
std::string unescapeOctal(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const auto digits = text.substr(i + 1, 3);
            unsigned value = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), value, 8);
            if (error == std::errc() && end == digits.data() + digits.size() && value < 256) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

// udev escapes unsafe bytes of a label as \xHH.
std::string unescapeHex(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const auto digits = text.substr(i + 2, 2);
            unsigned value = 0;
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
            if (error == std::errc() && end == digits.data() + digits.size()) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

}  // namespace

std::optional<std::string> readSysfsText(dev_t device, const std::string& attribute) {
    auto line = readFirstLine(sysfsDir(device) / attribute);
    if (!line) return std::nullopt;
    return trimmed(*line);
}

std::optional<std::uint64_t> readSysfsNumber(dev_t device, const std::string& attribute) {
    const auto text = readSysfsText(device, attribute);
    if (!text) return std::nullopt;
    return parseNumber(*text);
}

dev_t wholeDiskOf(dev_t device) {
    if (!readSysfsNumber(device, "partition")) return device;
    std::error_code error;
    const fs::path own = fs::canonical(sysfsDir(device), error);
    if (error) return device;
    const auto parent = readFirstLine(own.parent_path() / "dev");
    if (!parent) return device;
    return parseDeviceNumber(trimmed(*parent)).value_or(device);
}

DeviceIdentity deviceIdentity(dev_t device) {
    const dev_t disk = wholeDiskOf(device);
    DeviceIdentity identity;
    identity.vendor = readSysfsText(disk, "device/vendor").value_or("");
    identity.model = readSysfsText(disk, "device/model").value_or("");
    if (identity.model.empty()) identity.model = readSysfsText(disk, "device/name").value_or("");
    return identity;
}

std::uint32_t driveTypeOf(std::optional<dev_t> device) {
    if (!device) return kDriveTypeFixed;
    const dev_t disk = wholeDiskOf(*device);
    std::error_code error;
    const std::string name = fs::canonical(sysfsDir(disk), error).filename().string();
    if (!error && (name.starts_with("ram") || name.starts_with("zram"))) return kDriveTypeRamDisk;
    if (readSysfsNumber(disk, "removable").value_or(0) == 1) return kDriveTypeRemovable;
    return kDriveTypeFixed;
}

std::vector<PartitionExtent> diskPartitions(dev_t disk) {
    std::vector<PartitionExtent> partitions;
    std::error_code error;
    const fs::path dir = fs::canonical(sysfsDir(disk), error);
    if (error) return partitions;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        const auto number = readFirstLine(entry.path() / "partition");
        const auto start = readFirstLine(entry.path() / "start");
        const auto size = readFirstLine(entry.path() / "size");
        if (!number || !start || !size) continue;
        const auto n = parseNumber(trimmed(*number));
        const auto s = parseNumber(trimmed(*start));
        const auto l = parseNumber(trimmed(*size));
        if (!n || !s || !l) continue;
        partitions.push_back({*s * 512, *l * 512, static_cast<std::uint32_t>(*n)});
    }
    std::sort(partitions.begin(), partitions.end(),
              [](const auto& a, const auto& b) { return a.number < b.number; });
    return partitions;
}

std::optional<MountedVolume> findMount(dev_t device) {
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, mountPoint, field;
        if (!(fields >> id >> parent >> numbers >> root >> mountPoint)) continue;
        if (parseDeviceNumber(numbers) != device) continue;
        while (fields >> field && field != "-") {
        }
        MountedVolume volume;
        if (!(fields >> volume.fileSystem)) continue;
        volume.mountPoint = unescapeOctal(mountPoint);
        struct statvfs figures {};
        if (::statvfs(volume.mountPoint.c_str(), &figures) == 0) {
            volume.totalBytes = std::uint64_t{figures.f_blocks} * figures.f_frsize;
            volume.freeBytes = std::uint64_t{figures.f_bavail} * figures.f_frsize;
            volume.readOnly = (figures.f_flag & ST_RDONLY) != 0;
        }
        return volume;
    }
    return std::nullopt;
}

SourceIdentity sourceIdentity(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return {};
    if (S_ISBLK(status.st_mode)) return {status.st_rdev, 0};
    return {status.st_dev, status.st_ino};
}

std::string volumeLabel(dev_t device) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/dev/disk/by-label", error)) {
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) != 0 || !S_ISBLK(status.st_mode)) continue;
        if (status.st_rdev == device) return unescapeHex(entry.path().filename().string());
    }
    return {};
}

}  // namespace platform
