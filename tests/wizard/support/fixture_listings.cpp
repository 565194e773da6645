#include "wizard/support/fixture_listings.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "engine/support/test_images.h"

std::map<std::string, std::string> FatFixtureContents(const std::string& listing, bool deletedOnly) {
    std::map<std::string, std::string> contents;
    std::ifstream file(test_images::dataPath(listing));
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        if (fields.size() < 5 || fields[0] != "f" || (deletedOnly && fields[1] != "deleted")) continue;
        std::string& text = contents[fields[2]];
        for (long number = std::stol(fields[4]); text.size() < std::stoull(fields[3]); ++number) {
            text += std::to_string(number) + "\n";
        }
        text.resize(std::stoull(fields[3]));
    }
    return contents;
}

std::uint64_t Fnv1a64(const std::string& data) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char byte : data) hash = (hash ^ static_cast<std::uint8_t>(byte)) * 0x100000001b3ull;
    return hash;
}
