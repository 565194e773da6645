#pragma once
// The built-in file types, as data: the rows that AddBuiltinFileTypes adds, in table
// (and so search) order, each with its signatures in the order they are tried.

#include <cstdint>
#include <vector>

struct BuiltinCondition {
    std::uint32_t kind;
    std::int32_t offset;
    std::vector<std::uint8_t> value;  // the bytes as they stand on disk
};

using BuiltinSignature = std::vector<BuiltinCondition>;

struct BuiltinType {
    std::uint16_t id;
    const char16_t* extension;
    const char16_t* extensionList;
    const char16_t* name;  // empty: the extension
    std::int32_t categoryCode;
    const char16_t* categoryText;
    std::int32_t defaultSizeKb;
    const char16_t* namePrefix;
    const char16_t* description;
    std::vector<BuiltinSignature> signatures;
};

const std::vector<BuiltinType>& builtinFileTypes();
