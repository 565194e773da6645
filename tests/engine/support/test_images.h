#pragma once
// The compressed disk images under tests/data, unpacked into memory.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace test_images {

// A file below tests/data (UNDELETE_TEST_DATA names the folder when set).
inline std::string dataPath(const std::string& relative) {
    const char* root = std::getenv("UNDELETE_TEST_DATA");
    return std::string(root ? root : "tests/data") + "/" + relative;
}

// The bytes of a gzip file below tests/data; empty when it cannot be read.
inline std::vector<std::uint8_t> gunzip(const std::string& relative) {
    const std::string command = "gzip -dc < '" + dataPath(relative) + "'";
    std::vector<std::uint8_t> bytes;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return bytes;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    ::pclose(pipe);
    return bytes;
}

}  // namespace test_images
