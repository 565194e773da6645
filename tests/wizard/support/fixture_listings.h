#pragma once
// What the fixture images hold, read from the listings beside them.

#include <cstdint>
#include <map>
#include <string>

// The contents of the FAT fixture's files by their listed path (deleted ones with the
// first letter of their name lost): `seq start 9999999 | head -c size`.
std::map<std::string, std::string> FatFixtureContents(const std::string& listing, bool deletedOnly);

// The 64-bit FNV-1a hash the NTFS fixture's listings give for each file.
std::uint64_t Fnv1a64(const std::string& data);
