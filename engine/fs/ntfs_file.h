#pragma once
// CNTFile: one MFT file record in a buffer of its own, with the unnamed $DATA attribute
// made readable (resident or through its data runs, merged across extension records),
// and the names, times and sizes that describe it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/fs/ntfs_layout.h"
#include "engine/fs/ntfs_runs.h"
#include "engine/records.h"

namespace ntfs {

// What a record needs of its volume. Every call may come from a different thread:
// implementations keep no shared scratch state.
class RecordSource {
public:
    virtual std::uint32_t RecordSize() const = 0;
    virtual std::uint32_t BytesPerCluster() const = 0;
    virtual std::uint64_t TotalClusters() const = 0;
    // Reads the 512-byte sectors of cluster `lcn` that hold its bytes [from, to) into the
    // same places of `buffer` (BytesPerCluster bytes): a part of a cluster costs only its
    // own sectors, and a bad sector only the reads that need it.
    virtual bool ReadClusters(std::uint64_t lcn, std::uint32_t from, std::uint32_t to,
                              std::uint8_t* buffer) const = 0;
    // Reads record `number` as stored (fixups not applied) into `buffer` (RecordSize
    // bytes); returns the bytes read, 0 when it could not be read.
    virtual std::uint32_t GetFileRec(std::uint64_t number, std::uint8_t* buffer) const = 0;

protected:
    ~RecordSource() = default;
};

// Where an attribute list's extension records come from: copies record `number` as
// stored into `buffer` (RecordSize bytes) when it is an extension record of record
// `base`; false when it is not one, or cannot be read.
using ExtensionReader =
    std::function<bool(std::uint64_t number, std::uint64_t base, std::uint8_t* buffer)>;

}  // namespace ntfs

class CNTFile {
public:
    explicit CNTFile(const ntfs::RecordSource& owner);
    // Copies RecordSize bytes of `raw` and parses them.
    CNTFile(const ntfs::RecordSource& owner, const std::uint8_t* raw);
    CNTFile(const CNTFile&) = delete;
    CNTFile& operator=(const CNTFile&) = delete;

    // The record buffer, RecordSize bytes: read a record into it, then ParseRecord.
    std::uint8_t* RecordBuffer() { return record_.data(); }
    ntfs::Bytes Record() const { return record_; }

    // Checks the magic, applies the fixups and finds the unnamed $DATA. 0 when the
    // record is not a file record or its attributes start outside it; the data is then
    // empty. A torn record (sector tails without the sequence number) is parsed as far as
    // it holds together. Call it once per record read: the fixups change the buffer.
    int ParseRecord();
    // Copies RecordSize bytes of `raw` into the buffer and parses them.
    int SetFileRecord(const std::uint8_t* raw);

    bool HasAttribute(std::uint32_t type) const;
    // Adds the $DATA runs that a resident attribute list places in extension records of
    // this record, record `number` of the MFT.
    void MergeAttributeList(std::uint64_t number);
    // Adds only the extent that starts the data, which gives its size and first cluster,
    // when the list places it in an extension record: one record read through `read`
    // at most.
    void MergeDataStart(std::uint64_t number, const ntfs::ExtensionReader& read);

    // The logical cluster of a virtual one, all ones when no run maps it.
    std::uint64_t VCN_to_LCN(std::uint64_t vcn) const;
    // Copies data bytes from `offset`, at most `size`, never past the data size; bytes
    // past the initialised size read as zeros. Returns the bytes copied.
    std::uint64_t GetData(std::uint64_t offset, std::uint64_t size, void* buffer) const;

    // Fills names, times, parent, attributes and size; `nameStorage` keeps the name that
    // `record->Name` points at. Returns 1, or 0 on a fault.
    int GetInfo(FoundFileRecord* record, std::u16string& nameStorage) const;

    const ntfs::RunList& Runs() const { return runs_; }
    std::uint64_t DataSize() const { return dataSize_; }
    std::uint64_t InitializedSize() const { return initializedSize_; }
    // Bytes of clusters the runs should hold; 0 for resident data.
    std::uint64_t AllocatedSize() const { return allocatedSize_; }
    // Bytes from the start that can be read from disk: the data up to the end of the
    // last run with clusters (all of it when resident), whatever the sizes claim.
    std::uint64_t CoveredBytes() const;
    bool HasData() const { return hasData_; }

private:
    void ParseDataFile();
    // Reads extension record `extent` of record `number` into `scratch` and adds its
    // runs to `extents`; the first extent also gives the data's sizes.
    void AddExtension(std::uint64_t extent, std::uint64_t number, const ntfs::ExtensionReader& read,
                      std::optional<CNTFile>& scratch, ntfs::RunList& extents);
    std::uint64_t GetResidentData(std::uint64_t offset, std::uint64_t size,
                                  std::uint8_t* out) const;
    std::uint64_t GetNonResidentData(std::uint64_t offset, std::uint64_t size,
                                     std::uint8_t* out) const;

    const ntfs::RecordSource& owner_;
    std::vector<std::uint8_t> record_;
    ntfs::RunList runs_;
    bool hasData_ = false;
    bool nonResident_ = false;
    std::uint64_t lowestVcn_ = 0;
    std::uint64_t dataSize_ = 0;
    std::uint64_t initializedSize_ = 0;
    std::uint64_t allocatedSize_ = 0;
    std::size_t residentValueOffset_ = 0;
};
