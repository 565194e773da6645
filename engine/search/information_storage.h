#pragma once
// The table of file types that the signature search recognises, in search order.

#include <cstddef>
#include <string>

class CInformationStorage {
public:
    // `baseKey` is the caller's registry key; the table keeps its copy below it.
    explicit CInformationStorage(std::u16string baseKey);

    std::size_t count() const { return 0; }
    const std::u16string& baseKey() const { return baseKey_; }

private:
    std::u16string baseKey_;
};
