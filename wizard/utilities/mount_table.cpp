#include "wizard/utilities/mount_table.h"

#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>

namespace {

// The mount table writes blanks, tabs, newlines and backslashes as octal escapes ("\\040").
std::string Unescape(const std::string& field) {
    const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            isOctal(field[i + 1]) && isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

}  // namespace

std::string DeviceNumberText(dev_t device) {
    return std::to_string(major(device)) + ':' + std::to_string(minor(device));
}

std::optional<MountEntry> FindMount(const std::string& mountInfo, dev_t fileSystem) {
    std::ifstream in(mountInfo);
    const std::string wanted = DeviceNumberText(fileSystem);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string id, parent, number;
        if (!(fields >> id >> parent >> number) || number != wanted) continue;
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos) continue;
        std::istringstream tail(line.substr(separator + 3));
        MountEntry entry;
        if (tail >> entry.type >> entry.source) {
            entry.type = Unescape(entry.type);
            entry.source = Unescape(entry.source);
            return entry;
        }
    }
    return std::nullopt;
}
