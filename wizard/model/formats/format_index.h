#pragma once
// Where the first format of each normalised title, each extension and each id stands in
// the list, so that a scan's lookup per found file is a hash probe, not a walk.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "wizard/model/formats/formats_list.h"

class TFormatIndex {
public:
    void Rebuild(const TFormatsList& formats);

    // Keys are normalised texts (format_text.h).
    std::optional<std::size_t> ByTitle(const std::string& title) const;
    std::optional<std::size_t> ByExtension(const std::string& extension) const;
    std::optional<std::size_t> BySignatureId(std::int32_t id) const;

private:
    std::unordered_map<std::string, std::size_t> titles_;
    std::unordered_map<std::string, std::size_t> extensions_;
    std::unordered_map<std::int32_t, std::size_t> ids_;
};
