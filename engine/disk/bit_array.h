#pragma once
// A bit map over a byte buffer, least significant bit first: bit i lives in byte i / 8
// under mask 1 << (i % 8). Bit indexes are 64-bit: large volumes have more than 2^31
// clusters.

#include <cstdint>
#include <string>

class CBitArray {
public:
    static constexpr std::int64_t kNotFound = -1;
    // Bit maps are sized from counts read off disks: a larger one is refused, not tried.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 36;

    CBitArray() = default;
    CBitArray(std::uint64_t bits, bool fill);
    // Uses `buffer` as it is (not owned) and fills it; `buffer` holds the bits rounded up
    // to whole bytes.
    CBitArray(std::uint8_t* buffer, std::uint64_t bits, bool fill);
    ~CBitArray();
    CBitArray(const CBitArray&) = delete;
    CBitArray& operator=(const CBitArray&) = delete;

    // Allocates (owned) a buffer for `bits`, rounded up to whole bytes, and fills it.
    // False when the bit count is 0 or cannot be allocated; the array is then empty.
    bool Init(std::uint64_t bits, bool fill);
    // Uses `buffer` as it is, neither owned nor filled. Refuses a null buffer and a bit
    // count that is 0 or not a multiple of 8, leaving the array empty.
    bool Attach(std::uint8_t* buffer, std::uint64_t bits);
    void Fill(bool value);

    bool GetBit(std::uint64_t index) const;
    void SetBit(std::uint64_t index, bool value);
    // First index >= start whose bit equals `value`, or kNotFound.
    std::int64_t FindNext(std::uint64_t start, bool value) const;
    // Clear and set bits over every byte, padding bits included; false when empty.
    bool CountBits(std::uint64_t& clear, std::uint64_t& set) const;
    // '0' and '1' per bit in index order; empty when the array is.
    std::u16string ToString() const;

    // The index of the one set bit of `value` (1 gives 0, 0x80 gives 7); -1 for 0.
    static int BitIndex(std::uint8_t value);

    std::uint8_t* GetData() { return data_; }
    const std::uint8_t* GetData() const { return data_; }
    std::uint64_t sizeInBytes() const { return bytes_; }
    std::uint64_t sizeInBits() const { return bytes_ * 8; }

private:
    void release();
    bool useBuffer(std::uint8_t* buffer, std::uint64_t bits, bool fill);

    std::uint8_t* data_ = nullptr;
    std::uint64_t bytes_ = 0;
    bool owned_ = false;
};
