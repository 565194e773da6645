#pragma once
// The program's format list: owns its formats; order matters, since every lookup returns
// the first match. Only TDataStorage changes it.

#include <cstddef>
#include <memory>
#include <vector>

#include "wizard/model/formats/format.h"

class TFormatsList {
public:
    std::size_t Count() const { return items_.size(); }
    const TFormat& operator[](std::size_t index) const { return *items_[index]; }

private:
    friend class TDataStorage;

    void Add(TFormat format) { items_.push_back(std::make_unique<TFormat>(std::move(format))); }
    TFormat& At(std::size_t index) { return *items_.at(index); }
    void Clear() { items_.clear(); }

    // Formats stay at their addresses while others are appended.
    std::vector<std::unique_ptr<TFormat>> items_;
};
