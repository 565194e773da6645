#include "engine/search/signature.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

using Unit = std::array<std::uint8_t, kUnitSize>;

CFileSignature oneCondition(std::uint32_t kind, std::vector<std::uint8_t> value, std::int32_t offset,
                            std::uint16_t repeat = 0) {
    CFileSignature signature;
    signature.AddCondition(kind, value.data(), offset, static_cast<std::uint16_t>(value.size()), repeat);
    return signature;
}

TEST(SignatureCondition, BuildTakesTheKindsDefaultLength) {
    CSignatureCondition condition;
    std::uint32_t value = 0x11223344;
    condition.Build(kConditionUint32, &value, 7, 0, 2);
    EXPECT_EQ(condition.totalSize(), 36u);
    EXPECT_EQ(condition.valueLength(), 4u);
    EXPECT_EQ(condition.offset(), 7);
    EXPECT_EQ(condition.repeatCount(), 2u);
    ASSERT_EQ(condition.block().size(), 36u);
    EXPECT_EQ(condition.block()[32], 0x44);  // little-endian value behind the header
    for (std::size_t i = 16; i < 32; ++i) EXPECT_EQ(condition.block()[i], 0) << i;

    condition.Build(kConditionRange8, nullptr, 0, 0, 0);
    EXPECT_EQ(condition.totalSize(), 32u);
    EXPECT_EQ(condition.valueLength(), 0u);
}

TEST(SignatureCondition, LongValueSizeDoesNotWrap) {
    std::vector<std::uint8_t> value(0xFFFF, 0xAB);
    CSignatureCondition condition;
    condition.Build(kConditionBytes, value.data(), 0, 0xFFFF, 0);
    EXPECT_EQ(condition.totalSize(), 32u + 0xFFFF);
    EXPECT_EQ(condition.value().size(), 0xFFFFu);
}

TEST(SignatureCondition, CopyIsIndependentAndRebuildReplaces) {
    CSignatureCondition original;
    std::uint16_t value = 0xAA55;
    original.Build(kConditionUint16, &value, 510, 0, 0);
    CSignatureCondition copy;
    ASSERT_NE(copy.CopyFrom(original.block()), nullptr);
    EXPECT_NE(copy.block().data(), original.block().data());
    original.Build(kConditionUint8, &value, 1, 0, 0);
    EXPECT_EQ(original.totalSize(), 33u);
    EXPECT_EQ(copy.totalSize(), 34u);
    EXPECT_EQ(copy.offset(), 510);
    original.Free();
    EXPECT_TRUE(original.empty());
}

TEST(SignatureCondition, CopyRefusesInconsistentRecords) {
    CSignatureCondition condition;
    std::uint32_t value = 1;
    condition.Build(kConditionUint32, &value, 0, 0, 0);
    std::vector<std::uint8_t> record(condition.block().begin(), condition.block().end());

    CSignatureCondition copy;
    EXPECT_EQ(copy.CopyFrom(std::span(record).first(35)), nullptr);  // cut short
    EXPECT_EQ(copy.CopyFrom(std::span(record).first(20)), nullptr);  // no whole header
    record[4] = 40;                                                   // size disagrees
    EXPECT_EQ(copy.CopyFrom(record), nullptr);
    EXPECT_TRUE(copy.empty());
}

TEST(SignatureMatching, RepeatTestsEveryPosition) {
    Unit unit{};
    unit.fill(0xFF);
    std::memset(unit.data() + 9, 0, 4);
    EXPECT_TRUE(oneCondition(kConditionUint8, {0x00}, 9, 3).IsMet(unit));
    unit[12] = 1;
    EXPECT_FALSE(oneCondition(kConditionUint8, {0x00}, 9, 3).IsMet(unit));
    EXPECT_TRUE(oneCondition(kConditionUint8, {0x00}, 9, 2).IsMet(unit));

    // Kind 2 with a repeat overlaps: the words at 20 and 21 are both tested.
    unit[20] = unit[21] = unit[22] = 0x41;
    EXPECT_TRUE(oneCondition(kConditionUint16, {0x41, 0x41}, 20, 1).IsMet(unit));
    unit[22] = 0;
    EXPECT_FALSE(oneCondition(kConditionUint16, {0x41, 0x41}, 20, 1).IsMet(unit));
}

TEST(SignatureMatching, Ranges) {
    Unit unit{};
    auto range16 = [](std::uint16_t low, std::uint16_t high) {
        return oneCondition(kConditionRange16,
                            {static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low >> 8),
                             static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(high >> 8)},
                            4);
    };
    for (std::uint16_t word : {0, 1, 511, 512}) {
        unit[4] = static_cast<std::uint8_t>(word);
        unit[5] = static_cast<std::uint8_t>(word >> 8);
        EXPECT_EQ(range16(1, 0x1FF).IsMet(unit), word >= 1 && word <= 511) << word;
        EXPECT_FALSE(range16(0x1FF, 1).IsMet(unit)) << word;
    }
    unit[0] = 'm';
    unit[1] = 'z';
    EXPECT_TRUE(oneCondition(kConditionRange8, {'a', 'z'}, 0, 1).IsMet(unit));
    unit[1] = 'Z';
    EXPECT_FALSE(oneCondition(kConditionRange8, {'a', 'z'}, 0, 1).IsMet(unit));
    // A range condition built without value bytes has no bounds to test.
    EXPECT_FALSE(oneCondition(kConditionRange8, {}, 0).IsMet(unit));
}

TEST(SignatureMatching, BytesKindIgnoresRepeatAndEmptyValueIsMet) {
    Unit unit{};
    std::memcpy(unit.data() + 3, "NTFS    ", 8);
    EXPECT_TRUE(oneCondition(kConditionBytes, {'N', 'T', 'F', 'S'}, 3, 500).IsMet(unit));
    EXPECT_TRUE(oneCondition(kConditionBytes, {}, 9999).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionBytes, {'N', 'T', 'F', 'X'}, 3).IsMet(unit));
}

TEST(SignatureMatching, UnknownKindsAreSkippedAndEmptySignatureIsMet) {
    Unit unit{};
    unit.fill(0x5A);
    EXPECT_TRUE(oneCondition(64, {1, 2, 3}, 0).IsMet(unit));
    EXPECT_TRUE(CFileSignature{}.IsMet(unit));
}

TEST(SignatureMatching, NothingOutsideTheUnitIsRead) {
    // A unit of its own exact size on the heap: the sanitizer sees any read beyond it.
    std::vector<std::uint8_t> unit(kUnitSize, 0);
    EXPECT_TRUE(oneCondition(kConditionUint16, {0, 0}, 510).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionUint16, {0, 0}, 511).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionUint8, {0}, 500, 12).IsMet(unit));
    EXPECT_TRUE(oneCondition(kConditionUint8, {0}, 500, 11).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionUint64, std::vector<std::uint8_t>(8, 0), -1).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionUint32, {0, 0, 0, 0}, INT32_MAX).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionUint8, {0}, 0, 0xFFFF).IsMet(unit));
    EXPECT_FALSE(oneCondition(kConditionBytes, std::vector<std::uint8_t>(513, 0), 0).IsMet(unit));
    // A value shorter than the kind's width is never met.
    EXPECT_FALSE(oneCondition(kConditionUint32, {0, 0}, 0).IsMet(unit));
}

TEST(SignatureAnchor, LowestFixedByteWins) {
    CFileSignature signature;
    std::uint16_t tail = 0xAA55;
    std::uint8_t jump = 0xEB;
    signature.AddCondition(kConditionUint16, &tail, 510, 0, 0);
    signature.AddCondition(kConditionUint8, &jump, 0, 0, 0);
    EXPECT_EQ(signature.Anchor(), (AnchorByte{0, 0xEB}));

    EXPECT_FALSE(oneCondition(kConditionRange16, {1, 0, 0xFF, 0}, 0).Anchor());
    EXPECT_EQ(oneCondition(kConditionRange8, {7, 7}, 3).Anchor(), (AnchorByte{3, 7}));
    EXPECT_FALSE(oneCondition(kConditionBytes, {}, 0).Anchor());
    EXPECT_FALSE(oneCondition(kConditionBytes, {1}, 512).Anchor());
}

TEST(SignatureStoredForm, RoundTripKeepsEveryCondition) {
    CFileSignature signature;
    std::uint32_t magic = 0x46464952;
    signature.AddCondition(kConditionUint32, &magic, 0, 0, 0);
    signature.AddCondition(kConditionBytes, "WAVEfmt", 8, 7, 0);
    signature.AddCondition(kConditionRange8, "\x01\x09", 30, 2, 4);
    EXPECT_EQ(signature.totalSize(), 20u + 36 + 39 + 34);

    std::vector<std::uint8_t> stored;
    signature.AppendStoredForm(stored);
    ASSERT_EQ(stored.size(), signature.totalSize());
    std::size_t consumed = 0;
    std::optional<CFileSignature> loaded = CFileSignature::FromStoredForm(stored, consumed);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(consumed, stored.size());
    EXPECT_EQ(loaded->conditionCount(), 3u);
    EXPECT_EQ(loaded->totalSize(), signature.totalSize());
    std::vector<std::uint8_t> again;
    loaded->AppendStoredForm(again);
    EXPECT_EQ(again, stored);
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

    corrupt = stored;
    corrupt[16] = 0;  // conditions left over inside the record
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));

    corrupt = stored;
    corrupt[4] = 0xFF;
    corrupt[5] = 0xFF;
    corrupt[6] = 0xFF;
    corrupt[7] = 0xFF;
    EXPECT_FALSE(CFileSignature::FromStoredForm(corrupt, consumed));
    EXPECT_EQ(consumed, 0u);
}

}  // namespace
