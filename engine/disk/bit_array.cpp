#include "engine/disk/bit_array.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint64_t bytesFor(std::uint64_t bits) { return bits / 8 + (bits % 8 != 0); }

constexpr std::uint8_t kSetBitsOfNibble[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

}  // namespace

CBitArray::CBitArray(std::uint64_t bits, bool fill) { Init(bits, fill); }

CBitArray::CBitArray(std::uint8_t* buffer, std::uint64_t bits, bool fill) {
    useBuffer(buffer, bits, fill);
}

CBitArray::~CBitArray() { release(); }

void CBitArray::release() {
    if (owned_) delete[] data_;
    data_ = nullptr;
    bytes_ = 0;
    owned_ = false;
}

bool CBitArray::useBuffer(std::uint8_t* buffer, std::uint64_t bits, bool fill) {
    release();
    if (!buffer || bits == 0) return false;
    data_ = buffer;
    bytes_ = bytesFor(bits);
    Fill(fill);
    return true;
}

bool CBitArray::Init(std::uint64_t bits, bool fill) {
    release();
    const std::uint64_t bytes = bytesFor(bits);
    if (bytes == 0 || bytes > kMaxBytes) return false;
    auto* buffer = new (std::nothrow) std::uint8_t[bytes];
    if (!buffer) return false;
    data_ = buffer;
    bytes_ = bytes;
    owned_ = true;
    Fill(fill);
    return true;
}

bool CBitArray::Attach(std::uint8_t* buffer, std::uint64_t bits) {
    release();
    if (!buffer || bits == 0 || bits % 8 != 0) return false;
    data_ = buffer;
    bytes_ = bits / 8;
    return true;
}

void CBitArray::Fill(bool value) {
    if (data_) std::memset(data_, value ? 0xFF : 0x00, bytes_);
}

bool CBitArray::GetBit(std::uint64_t index) const {
    if (!data_ || index / 8 >= bytes_) return false;
    return (data_[index / 8] >> (index % 8)) & 1;
}

void CBitArray::SetBit(std::uint64_t index, bool value) {
    if (!data_ || index / 8 >= bytes_) return;
    const auto mask = static_cast<std::uint8_t>(1u << (index % 8));
    if (value) {
        data_[index / 8] |= mask;
    } else {
        data_[index / 8] &= static_cast<std::uint8_t>(~mask);
    }
}

std::int64_t CBitArray::FindNext(std::uint64_t start, bool value) const {
    const std::uint64_t bits = sizeInBits();
    if (!data_ || start >= bits) return kNotFound;
    // Whole bytes that cannot hold the bit are skipped at once.
    const std::uint8_t skip = value ? 0x00 : 0xFF;
    std::uint64_t i = start;
    while (i < bits) {
        if (i % 8 == 0 && data_[i / 8] == skip) {
            i += 8;
            continue;
        }
        if (GetBit(i) == value) return static_cast<std::int64_t>(i);
        ++i;
    }
    return kNotFound;
}

bool CBitArray::CountBits(std::uint64_t& clear, std::uint64_t& set) const {
    if (!data_) return false;
    std::uint64_t ones = 0;
    for (std::uint64_t i = 0; i < bytes_; ++i) {
        ones += kSetBitsOfNibble[data_[i] & 0x0F] + kSetBitsOfNibble[data_[i] >> 4];
    }
    set = ones;
    clear = sizeInBits() - ones;
    return true;
}

std::u16string CBitArray::ToString() const {
    std::u16string text;
    if (!data_) return text;
    text.reserve(sizeInBits());
    for (std::uint64_t i = 0; i < sizeInBits(); ++i) text.push_back(GetBit(i) ? u'1' : u'0');
    return text;
}

int CBitArray::BitIndex(std::uint8_t value) {
    if (value == 0) return -1;
    int index = 0;
    while ((value & 1) == 0) {
        value >>= 1;
        ++index;
    }
    return index;
}
