#include "engine/fs/ntfs_file.h"

#include <cstring>
#include <optional>
#include <unordered_set>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs_record.h"

using namespace ntfs;

namespace {

// The entries of a record's resident attribute lists that place its unnamed data: the
// record that holds each extent and the extent's first VCN, in list order, until `visit`
// returns false. A non-resident list would need a data read of its own; such records
// keep the runs of their base record.
template <typename Visit>
void forEachDataEntry(Bytes record, Visit visit) {
    AttributeWalk walk(record);
    while (auto list = walk.next(kAttrAttributeList)) {
        auto value = list->residentValue();
        if (!value) continue;
        std::size_t position = 0;
        while (auto type = engine::readLittleEndian<std::uint32_t>(*value, position + kListEntryType)) {
            auto length = fieldOr<std::uint16_t>(*value, position + kListEntryLength);
            if (*type == kAttrEnd || length < kListEntryMinimumSize || value->size() - position < length) {
                break;
            }
            Bytes item = value->subspan(position, length);
            position += length;
            if (*type != kAttrData || item[kListEntryNameLength] != 0) continue;
            if (!visit(fieldOr<std::uint64_t>(item, kListEntryRecord) & kRecordNumberMask,
                       fieldOr<std::uint64_t>(item, kListEntryStartVcn))) {
                return;
            }
        }
    }
}

}  // namespace

CNTFile::CNTFile(const RecordSource& owner) : owner_(owner), record_(owner.RecordSize(), 0) {}

CNTFile::CNTFile(const RecordSource& owner, const std::uint8_t* raw) : CNTFile(owner) {
    SetFileRecord(raw);
}

int CNTFile::SetFileRecord(const std::uint8_t* raw) {
    try {
        std::memcpy(record_.data(), raw, record_.size());
        return ParseRecord();
    } catch (...) {
        Log(kLogError, "SetFileRecord except");
        return 0;
    }
}

int CNTFile::ParseRecord() {
    try {
        runs_.clear();
        hasData_ = nonResident_ = false;
        lowestVcn_ = dataSize_ = initializedSize_ = allocatedSize_ = 0;
        residentValueOffset_ = 0;
        if (!isFileRecord(record_) || !attributesStartInside(record_)) return 0;
        // A torn record (a write cut off between its sectors) still names its file; the
        // bounded attribute walk copes with whatever the later strides hold.
        if (!applyFixups(record_)) Log(kLogDebug, "CNTFile.ParseRecord: update sequence mismatch");
        ParseDataFile();
        return 1;
    } catch (...) {
        Log(kLogError, "ParseRecord except");
        return 0;
    }
}

void CNTFile::ParseDataFile() {
    // Only the unnamed stream is the file's data; named ones are alternate streams.
    AttributeWalk walk(record_);
    std::optional<Attribute> data;
    while ((data = walk.next(kAttrData)) && !data->unnamed()) {
    }
    if (!data) return;
    if (!data->nonResident()) {
        auto value = data->residentValue();
        if (!value) return;
        hasData_ = true;
        dataSize_ = initializedSize_ = value->size();
        residentValueOffset_ = static_cast<std::size_t>(value->data() - record_.data());
        return;
    }
    hasData_ = nonResident_ = true;
    lowestVcn_ = fieldOr<std::uint64_t>(data->bytes, kNonResidentLowestVcn);
    allocatedSize_ = fieldOr<std::uint64_t>(data->bytes, kNonResidentAllocatedSize);
    dataSize_ = fieldOr<std::uint64_t>(data->bytes, kNonResidentRealSize);
    initializedSize_ =
        std::min(dataSize_, fieldOr<std::uint64_t>(data->bytes, kNonResidentInitializedSize));
    std::size_t pairsOffset = fieldOr<std::uint16_t>(data->bytes, kNonResidentMappingPairs);
    if (pairsOffset < kNonResidentHeaderSize || pairsOffset >= data->bytes.size()) return;
    if (!decodeDataRuns(data->bytes.subspan(pairsOffset), lowestVcn_, owner_.TotalClusters(),
                        runs_)) {
        Log(kLogWarning, "ParseDataRuns: bad run after %d runs", static_cast<int>(runs_.size()));
    }
}

bool CNTFile::HasAttribute(std::uint32_t type) const {
    AttributeWalk walk(record_);
    return walk.next(type).has_value();
}

void CNTFile::MergeAttributeList(std::uint64_t number) {
    try {
        // Each extension record is read once, and only one that names this record as
        // its base adds runs; all of them are merged in one pass at the end.
        const ExtensionReader read = [this](std::uint64_t extent, std::uint64_t base, std::uint8_t* buffer) {
            return owner_.GetFileRec(extent, buffer) && isExtensionOf(Bytes(buffer, record_.size()), base);
        };
        std::unordered_set<std::uint64_t> visited{number};
        std::optional<CNTFile> scratch;
        RunList extents;
        forEachDataEntry(record_, [&](std::uint64_t extent, std::uint64_t) {
            if (visited.insert(extent).second) AddExtension(extent, number, read, scratch, extents);
            return true;
        });
        if (!extents.empty()) mergeDataRuns(runs_, extents);
    } catch (...) {
        Log(kLogError, "MergeDataRuns except");
    }
}

void CNTFile::MergeDataStart(std::uint64_t number, const ExtensionReader& read) {
    try {
        // The list names one record for the extent that starts at VCN 0; whatever else a
        // list claims costs no read.
        std::optional<CNTFile> scratch;
        RunList extents;
        forEachDataEntry(record_, [&](std::uint64_t extent, std::uint64_t startVcn) {
            if (startVcn != 0 || extent == number) return true;
            AddExtension(extent, number, read, scratch, extents);
            return false;
        });
        if (!extents.empty()) mergeDataRuns(runs_, extents);
    } catch (...) {
        Log(kLogError, "MergeDataRuns except");
    }
}

void CNTFile::AddExtension(std::uint64_t extent, std::uint64_t number, const ExtensionReader& read,
                           std::optional<CNTFile>& scratch, RunList& extents) {
    if (!scratch) scratch.emplace(owner_);
    CNTFile& extension = *scratch;
    if (!read(extent, number, extension.RecordBuffer()) || !extension.ParseRecord() || !extension.hasData_) {
        return;
    }
    // The first extent carries the sizes of the whole stream.
    if (!hasData_ && extension.lowestVcn_ == 0) {
        hasData_ = nonResident_ = extension.nonResident_;
        dataSize_ = extension.dataSize_;
        initializedSize_ = extension.initializedSize_;
        allocatedSize_ = extension.allocatedSize_;
    }
    for (const DataRun& run : extension.runs_) {
        Log(kLogDebug,
            "MergeDataRuns:Add: vcnStart= %I64d, vcnEnd= %I64d, clusterBegin= "
            "%I64d, clusterCount= %I64d",
            run.vcnStart, run.vcnEnd, run.clusterBegin, run.clusterCount);
    }
    extents.insert(extents.end(), extension.runs_.begin(), extension.runs_.end());
}
