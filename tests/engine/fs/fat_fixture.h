#pragma once
// Test helpers for the FAT reader: a drive over an image held in memory, the committed
// fixture images and their expected listings.

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/support/test_images.h"
#include "engine/disk/drive.h"
#include "engine/log.h"

namespace fattest {

// Reads sectors of an in-memory image; `onRead` runs before every read.
class MemoryDrive : public CDrive {
public:
    MemoryDrive(std::vector<std::uint8_t> image, std::int32_t fileSystemCode, char letter = 'X')
        : image_(std::move(image)) {
        GetDriveInfo()->FileSystemCode = fileSystemCode;
        GetDriveInfo()->Letter = letter;
        GetDriveInfo()->TotalSectors = image_.size() / 512;
        GetDriveInfo()->SpaceTotal = image_.size();
    }

    std::uint64_t ReadSectors(std::uint64_t lba, std::uint64_t count, void* buffer) override {
        ++reads;
        if (onRead) onRead(lba, count);
        const std::uint64_t total = image_.size() / 512;
        if (count == 0 || lba >= total || failReads) return 0;
        count = std::min(count, total - lba);
        std::memcpy(buffer, image_.data() + lba * 512, count * 512);
        return count * 512;
    }

    std::vector<std::uint8_t>& image() { return image_; }
    std::function<void(std::uint64_t, std::uint64_t)> onRead;
    bool failReads = false;
    int reads = 0;

private:
    std::vector<std::uint8_t> image_;
};

// Collects the engine's log lines of every level while it lives.
class LogCapture {
public:
    LogCapture() : file_(std::tmpfile()) {
        for (int level = kLogStatus; level <= kLogDebug; ++level) engine::enableLogLevel(level, true);
        engine::setLogSink(fileno(file_));
    }
    ~LogCapture() {
        engine::setLogSink(-1);
        std::fclose(file_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() {
        engine::flushLogSink();
        std::string all;
        std::rewind(file_);
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file_)) > 0) all.append(chunk, got);
        return all;
    }
    std::size_t count(const std::string& needle) {
        const std::string all = text();
        std::size_t found = 0;
        for (std::size_t at = all.find(needle); at != std::string::npos; at = all.find(needle, at + 1)) ++found;
        return found;
    }

private:
    FILE* file_;
};

inline std::string dataPath(const std::string& name) { return test_images::dataPath("fat/" + name); }

inline std::vector<std::uint8_t> loadImage(const std::string& name) {
    return test_images::gunzip("fat/" + name + ".img.gz");
}

inline std::int32_t codeOf(const std::string& name) {
    if (name == "fat12") return 1;
    if (name == "fat32") return 11;
    return 4;
}

struct ExpectedEntry {
    bool directory = false;
    bool deleted = false;
    std::string path;  // folders and name joined with '/'
    std::uint64_t size = 0;
    long start = -1;  // content is `seq start 9999999 | head -c size`
};

inline std::vector<ExpectedEntry> loadListing(const std::string& name) {
    std::vector<ExpectedEntry> entries;
    std::ifstream file(dataPath(name + ".expected"));
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string kind, state, path, size, start;
        std::getline(fields, kind, '\t');
        std::getline(fields, state, '\t');
        std::getline(fields, path, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, start, '\t');
        entries.push_back({kind == "d", state == "deleted", path, std::stoull(size),
                           start == "-" ? -1 : std::stol(start)});
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

}  // namespace fattest
