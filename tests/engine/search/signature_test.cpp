#include "engine/search/signature.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "engine/byte_order.h"

namespace {

CFileSignature oneCondition(std::uint32_t kind, std::vector<std::uint8_t> value, std::int32_t offset,
                            std::uint16_t repeat = 0) {
    CFileSignature signature;
    signature.AddCondition(kind, value.data(), offset, static_cast<std::uint16_t>(value.size()), repeat);
    return signature;
}

TEST(SignatureCondition, BuildLaysOutTheRecordWithTheKindsWidth) {
    CSignatureCondition condition;
    std::uint32_t value = 0x11223344;
    condition.Build(kConditionUint32, &value, 7, 0, 2);
    EXPECT_EQ(condition.valueLength(), 4u);
    EXPECT_EQ(condition.offset(), 7);
    EXPECT_EQ(condition.repeatCount(), 2u);
    ASSERT_EQ(condition.block().size(), 36u);
    EXPECT_EQ(condition.block()[32], 0x44);  // little-endian value behind the header
    for (std::size_t i = 16; i < 32; ++i) EXPECT_EQ(condition.block()[i], 0) << i;

    condition.Build(kConditionRange8, nullptr, 0, 0, 0);  // rebuilding replaces
    EXPECT_EQ(condition.totalSize(), 32u);
    EXPECT_EQ(condition.valueLength(), 0u);

    std::vector<std::uint8_t> longValue(0xFFFF, 0xAB);  // the largest value length does not wrap
    condition.Build(kConditionBytes, longValue.data(), 0, 0xFFFF, 0);
    EXPECT_EQ(condition.totalSize(), 32u + 0xFFFF);
    EXPECT_EQ(condition.value().size(), 0xFFFFu);
}

TEST(SignatureMatching, ConditionsOnOneUnitNeverReadOutsideIt) {
    // A unit of its own exact size on the heap: the sanitizer sees any read beyond it.
    std::vector<std::uint8_t> unit(kUnitSize, 0);
    unit[8] = unit[13] = 0xFF;                                // zeros at 9..12
    unit[20] = unit[21] = unit[22] = 0x41;                    // then a zero at 23
    const std::uint8_t words[] = {0, 0, 1, 0, 0xFF, 1, 0, 2};  // 0, 1, 511, 512 at 30..37
    std::memcpy(unit.data() + 30, words, sizeof words);
    std::memcpy(unit.data() + 40, "mzmZ", 4);
    std::memcpy(unit.data() + 100, "NTFS    ", 8);
    struct Case {
        const char* name;
        std::uint32_t kind;
        std::vector<std::uint8_t> value;
        std::int32_t offset;
        std::uint16_t repeat;
        bool met;
    };
    const Case cases[] = {
        {"repeat tests every position", kConditionUint8, {0}, 9, 3, true},
        {"repeat meets a differing byte", kConditionUint8, {0}, 9, 4, false},
        {"uint16 repeat overlaps words", kConditionUint16, {0x41, 0x41}, 20, 1, true},
        {"uint16 repeat tests the odd word", kConditionUint16, {0x41, 0x41}, 21, 1, false},
        {"range16 below", kConditionRange16, {1, 0, 0xFF, 1}, 30, 0, false},
        {"range16 low bound", kConditionRange16, {1, 0, 0xFF, 1}, 32, 0, true},
        {"range16 high bound", kConditionRange16, {1, 0, 0xFF, 1}, 34, 0, true},
        {"range16 above", kConditionRange16, {1, 0, 0xFF, 1}, 36, 0, false},
        {"range16 reversed at its high", kConditionRange16, {0xFF, 1, 1, 0}, 32, 0, false},
        {"range16 reversed at its low", kConditionRange16, {0xFF, 1, 1, 0}, 34, 0, false},
        {"range8 repeated inside", kConditionRange8, {'a', 'z'}, 40, 1, true},
        {"range8 repeated outside", kConditionRange8, {'a', 'z'}, 42, 1, false},
        {"range8 without bounds", kConditionRange8, {}, 40, 0, false},
        {"bytes ignore repeat", kConditionBytes, {'N', 'T', 'F', 'S'}, 100, 500, true},
        {"bytes differ", kConditionBytes, {'N', 'T', 'F', 'X'}, 100, 0, false},
        {"empty bytes anywhere", kConditionBytes, {}, 9999, 0, true},
        {"unknown kind", 64, {1, 2, 3}, 0, 0, true},
        {"last word", kConditionUint16, {0, 0}, 510, 0, true},
        {"word past the end", kConditionUint16, {0, 0}, 511, 0, false},
        {"repeat to the last byte", kConditionUint8, {0}, 500, 11, true},
        {"repeat past the end", kConditionUint8, {0}, 500, 12, false},
        {"negative offset", kConditionUint64, std::vector<std::uint8_t>(8, 0), -1, 0, false},
        {"huge offset", kConditionUint32, {0, 0, 0, 0}, INT32_MAX, 0, false},
        {"huge repeat", kConditionUint8, {0}, 0, 0xFFFF, false},
        {"bytes longer than the unit", kConditionBytes, std::vector<std::uint8_t>(513, 0), 0, 0, false},
        {"value shorter than the kind", kConditionUint32, {0, 0}, 0, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(oneCondition(c.kind, c.value, c.offset, c.repeat).IsMet(unit), c.met) << c.name;
    }
    EXPECT_TRUE(CFileSignature{}.IsMet(unit));
}

TEST(SignatureStoredForm, HostileRecordsAreRefused) {
    CFileSignature signature;
    signature.AddCondition(kConditionBytes, "abc", 0, 3, 0);
    std::vector<std::uint8_t> stored;
    signature.AppendStoredForm(stored);
    std::size_t consumed = 99;

    EXPECT_FALSE(CFileSignature::FromStoredForm(std::span(stored).first(19), consumed));
    EXPECT_EQ(consumed, 0u);
    EXPECT_FALSE(CFileSignature::FromStoredForm(std::span(stored).first(stored.size() - 1), consumed));
    EXPECT_EQ(consumed, 0u);  // its own size no longer fits: nothing after it is trusted

    auto corrupt = stored;
    corrupt[16] = 2;  // counts a condition that is not there
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));
    EXPECT_EQ(consumed, stored.size());  // the record can still be skipped whole

    corrupt[16] = 0;  // conditions left over inside the record
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));

    corrupt = stored;  // the condition runs past the signature's own size
    engine::storeLittleEndian(corrupt.data() + 4, static_cast<std::uint32_t>(stored.size() - 1));
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));
    EXPECT_EQ(consumed, stored.size() - 1);

    corrupt = stored;
    engine::storeLittleEndian(corrupt.data() + 4, std::uint32_t{0xFFFFFFFF});
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));
    EXPECT_EQ(consumed, 0u);
}

}  // namespace
