#include "engine/records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FoundFileRecordResets, ConstructionMarksTypeUnknownAndFillClearsIt) {
    FoundFileRecord record;
    std::memset(&record, 0xAB, sizeof record);
    resetFoundFileOnConstruction(record);
    // Packed fields are copied out before comparing: gtest binds references.
    EXPECT_EQ(std::uint64_t{record.Size}, 0xFFFFFFFFFFFFFFFFULL);
    EXPECT_EQ(std::uint16_t{record.TypeCode}, 0xFFFF);
    EXPECT_EQ(static_cast<const void*>(record.Name), nullptr);
    EXPECT_EQ(std::uint64_t{record.RecordNumber}, 0u);
    EXPECT_EQ(std::uint16_t{record.Flags}, 0);
    EXPECT_EQ(DWORD{record.LastWriteTime.dwHighDateTime}, 0u);

    std::memset(&record, 0xCD, sizeof record);
    resetFoundFileForFill(record);
    EXPECT_EQ(std::uint64_t{record.Size}, 0xFFFFFFFFFFFFFFFFULL);
    EXPECT_EQ(std::uint16_t{record.TypeCode}, 0);
    EXPECT_EQ(static_cast<const void*>(record.Name), nullptr);
    EXPECT_EQ(std::uint64_t{record.DataPosition}, 0u);
    EXPECT_EQ(std::uint64_t{record.Reserved65}, 0u);
    EXPECT_EQ(std::uint8_t{record.OverwriteEstimate}, 0);
}

}  // namespace
