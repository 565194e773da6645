#pragma once
// The engine's wide log object: entries kept in memory as lines of UTF-16 text.

#include <cstddef>
#include <string>
#include <vector>

class CLogObject {
public:
    std::size_t entryCount() const { return lines_.size(); }
    // Empties the entries.
    void Close();

private:
    std::vector<std::u16string> lines_;
};
