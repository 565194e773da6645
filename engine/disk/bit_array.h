#pragma once
// A bit map over a byte buffer, least significant bit first: bit i lives in byte i / 8
// under mask 1 << (i % 8). Bit indexes are 64-bit: large volumes have more than 2^31
// clusters.

#include <cstdint>

class CBitArray {
public:
    static constexpr std::int64_t kNotFound = -1;

    CBitArray() = default;
    CBitArray(std::uint64_t bits, bool fill);
    ~CBitArray();
    CBitArray(const CBitArray&) = delete;
    CBitArray& operator=(const CBitArray&) = delete;

    // Allocates (owned) a buffer for `bits`, rounded up to whole bytes, and fills it.
    // False when the bit count is 0 or cannot be allocated; the array is then empty.
    bool Init(std::uint64_t bits, bool fill);
    void Fill(bool value);

    bool GetBit(std::uint64_t index) const;
    void SetBit(std::uint64_t index, bool value);
    // First index >= start whose bit equals `value`, or kNotFound.
    std::int64_t FindNext(std::uint64_t start, bool value) const;

    std::uint8_t* GetData() { return data_; }
    std::uint64_t sizeInBytes() const { return bytes_; }
    std::uint64_t sizeInBits() const { return bytes_ * 8; }

private:
    void release();

    std::uint8_t* data_ = nullptr;
    std::uint64_t bytes_ = 0;
    bool owned_ = false;
};
