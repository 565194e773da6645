#include "engine/search/searcher_hit.h"

#include <cstring>
#include <exception>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/search/compound_file.h"
#include "engine/byte_order.h"

namespace search_hit {
namespace {

using FixUp = void (*)(FoundFileRecord&, std::span<const std::uint8_t>, CDrive&);

void compoundFile(FoundFileRecord& record, std::span<const std::uint8_t> unit, CDrive& drive) {
    record.TypeCode = compound::ExtractDocInfo(drive, record, unit);
}

// The file size at offset 2 of the header.
void bitmap(FoundFileRecord& record, std::span<const std::uint8_t> unit, CDrive&) {
    record.Size = engine::loadLittleEndian<std::uint32_t>(unit.data() + 2);
}

// The RIFF chunk size, with room for the index that may follow it.
void avi(FoundFileRecord& record, std::span<const std::uint8_t> unit, CDrive&) {
    record.Size = std::uint64_t{engine::loadLittleEndian<std::uint32_t>(unit.data() + 4)} + 2048;
}

void special(FoundFileRecord& record, std::span<const std::uint8_t>, CDrive&) {
    record.RecordNumber = ~std::uint64_t{0};
    record.Flags = kFileSpecialHit;
}

struct FixUpRow {
    std::uint16_t typeId;
    FixUp apply;
};

// Applied in this order, each to the type the record has by then.
constexpr FixUpRow kFixUps[] = {
    {compound::kStorageTypeId, &compoundFile},
    {84, &bitmap},
    {130, &avi},
    {5, &special},
};

// An ISO base media file's type box (its size, then "ftyp") stands only at the start of a
// file, never among the atoms inside one.
bool startsFile(std::span<const std::uint8_t> unit) {
    constexpr char kFileTypeBox[] = {'f', 't', 'y', 'p'};
    return unit.size() >= 8 && std::memcmp(unit.data() + 4, kFileTypeBox, sizeof kFileTypeBox) == 0;
}

}  // namespace

void Fill(FoundFileRecord& record, std::uint16_t typeId, std::uint64_t position, std::uint64_t bytesPerCluster) {
    resetFoundFileForFill(record);
    record.DataPosition = position;
    record.FirstCluster = bytesPerCluster != 0 ? position / bytesPerCluster : 0;
    record.TypeCode = typeId;
    record.Size = kUnknownSize;
    record.Flags |= kFileDeleted | kFileFoundBySignature;
}

void ApplyFixUps(FoundFileRecord& record, std::span<const std::uint8_t> unit, CDrive& drive) {
    if (unit.size() < 8) return;
    try {
        for (const FixUpRow& row : kFixUps) {
            if (record.TypeCode == row.typeId) row.apply(record, unit, drive);
        }
    } catch (const std::exception&) {
        Log(kLogWarning, "CSearcher.ParseBlock: fix-up failed at: %I64d", record.DataPosition);
    }
}

bool InsidePreviousMovie(std::uint16_t previousTypeId, std::uint16_t typeId, std::span<const std::uint8_t> unit) {
    return previousTypeId == kQuickTimeTypeId && typeId == kQuickTimeTypeId && !startsFile(unit);
}

}  // namespace search_hit
