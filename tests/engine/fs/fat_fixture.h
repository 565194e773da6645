#pragma once
// FAT test helpers: a drive over an image in memory, the committed fixture images with
// their expected listings, and a capture of the engine's log.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "../support/log_capture.h"
#include "../support/memory_drive.h"
#include "../support/test_images.h"
#include "engine/disk/drive.h"
#include "engine/fs/fat_reader.h"
#include "engine/log.h"

namespace fattest {

using MemoryDrive = test_support::MemoryDrive;

using LogCapture = test_support::LogCapture;

inline std::vector<std::uint8_t> loadImage(const std::string& name) {
    return test_images::gunzip("fat/" + name + ".img.gz");
}

struct ExpectedEntry {
    bool directory = false;
    bool deleted = false;
    std::string path;  // folders and name joined with '/'
    std::uint64_t size = 0;
    long start = -1;  // content is `seq start 9999999 | head -c size`
};

// One tab-separated line per entry: kind, state, path, size, first number or "-".
inline std::vector<ExpectedEntry> loadListing(const std::string& name) {
    std::vector<ExpectedEntry> entries;
    std::ifstream file(test_images::dataPath("fat/" + name + ".expected"));
    for (std::string line; std::getline(file, line);) {
        std::istringstream fields(line);
        std::string field[5];
        for (std::string& text : field) std::getline(fields, text, '\t');
        entries.push_back({field[0] == "d", field[1] == "deleted", field[2], std::stoull(field[3]),
                           field[4] == "-" ? -1 : std::stol(field[4])});
    }
    return entries;
}

inline std::string content(long start, std::uint64_t size) {
    std::string text;
    for (long number = start; text.size() < size; ++number) text += std::to_string(number) + "\n";
    text.resize(size);
    return text;
}

inline std::string utf8(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

// What the reader lists from here on, by path "A/B/name".
inline std::map<std::string, FoundFileRecord> listByPath(CFAT& reader) {
    std::map<std::string, FoundFileRecord> all;
    while (FoundFileRecord* record = reader.GetFileNext()) {
        std::string folder = utf8(reader.GetFilePath(record));  // "X:\A\B\"
        folder = folder.size() > 3 ? folder.substr(3) : "";
        std::replace(folder.begin(), folder.end(), '\\', '/');
        all.emplace(folder + utf8(record->Name), *record);
    }
    return all;
}

}  // namespace fattest
