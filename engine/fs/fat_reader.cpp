#include "engine/fs/fat_reader.h"

#include <algorithm>
#include <array>
#include <exception>

#include "engine/exports.h"
#include "engine/fs/fat_copies.h"
#include "engine/fs/fat_sectors.h"
#include "engine/log.h"
#include "platform/time.h"

namespace {

constexpr std::uint64_t kSector = 512;

FILETIME dosTime(std::uint16_t date, std::uint16_t time) {
    FILETIME converted{0, 0};
    if (!DosDateTimeToFileTime(date, time, &converted)) return FILETIME{0, 0};
    return converted;
}

}  // namespace

CFAT::CFAT(CDrive* drive) : drive_(drive) { resetFoundFileOnConstruction(record_); }

CFAT::~CFAT() {
    if (drive_) drive_->Close();
}

int CFAT::Initialize() {
    if (!drive_) return 0;
    // Reopens the drive and refreshes its boot-sector fields; a drive that cannot be
    // opened fails at the boot-sector read below.
    drive_->Initialize();
    _LDRIVE* info = drive_->GetDriveInfo();
    std::array<std::uint8_t, kSector> boot{};
    if (drive_->ReadSectors(0, 1, boot.data()) != kSector) {
        Log(kLogError, "CFAT.Initialize: can't read the boot sector");
        return 0;
    }
    const std::uint64_t driveBytes = info->TotalSectors * kSector;
    FatGeometryResult parsed = parseFatGeometry(boot, info->FileSystemCode, driveBytes);
    if (!parsed.geometry) {
        if (info->FileSystemCode == kFileSystemFat12 || info->FileSystemCode == kFileSystemFat16 ||
            info->FileSystemCode == kFileSystemFat32) {
            Log(kLogError, "CFAT.Initialize: %s", parsed.error.c_str());
        }
        return 0;
    }
    geometry_ = *parsed.geometry;
    info->BytesPerSector = geometry_->bytesPerSector;
    info->SectorsPerCluster = geometry_->sectorsPerCluster;
    info->BytesPerCluster = geometry_->bytesPerCluster;

    try {
        loadFat();
        if (fat_.fillClusterMap(drive_->clusterMap())) {
            // Bit i is FAT cluster i, and cluster 2 starts the data area.
            drive_->SetClusterMapOrigin({geometry_->dataOffset / CDrive::kSectorSize, 2});
        } else {
            Log(kLogWarning, "CFAT.Initialize: no cluster map");
        }
        data_ = std::make_unique<FatFileData>(*drive_, *geometry_, fat_);
        try {
            // One pass for every folder: a dead region met in one is skipped in the others.
            engine::disk::SectorPass folders = driveSectorPass(*drive_);
            const FatDirectoryTable::ReadFunction read = [&folders](std::uint64_t offset,
                                                                    std::span<std::uint8_t> out) {
                return readSectorsSalvaging(folders, offset, out);
            };
            table_.load(*geometry_, fat_, read);
        } catch (const std::exception&) {
            Log(kLogError, "CFAT.LoadDirectrorys.except");
        }
        cursor_ = 0;
        folderPath_ = {};
        return static_cast<int>(std::min<std::size_t>(table_.countFiles(), 0x7FFFFFFF));
    } catch (const std::exception&) {
        Log(kLogError, "CFAT.Initialize.except");
        return 0;
    }
}

void CFAT::loadFat() {
    const FatReadFunction read = [this](std::uint64_t offset, std::span<std::uint8_t> out) {
        return readDriveBytes(*drive_, offset, out) == out.size();
    };
    FatCopies copies = readFatCopies(*geometry_, read);
    if (copies.copiesDiffer) {
        Log(kLogWarning, "CFAT.Initialize: FAT1 and FAT2 not equal! (FAT1 or FAT2 corruppted)");
    }
    fat_ = FatTable(*geometry_, std::move(copies.bytes));
}

FoundFileRecord* CFAT::GetFileNext() {
    while (cursor_ < table_.size()) {
        const std::size_t index = cursor_++;
        const FatDirEntry& entry = table_.entry(index);
        if (!entry.isValid() || entry.isLongName() || entry.isDotEntry()) continue;
        try {
            fillRecord(index);
        } catch (const std::exception&) {
            Log(kLogError, "GetFileNext except");
            record_.Flags |= kFileDamaged;
        }
        return &record_;
    }
    return nullptr;
}

void CFAT::fillRecord(std::size_t index) {
    const FatDirEntry& entry = table_.entry(index);
    resetFoundFileForFill(record_);
    const std::uint32_t key = entry.key();
    record_.ParentNumber = table_.parentKey(index);
    record_.Flags = kFileHasName;
    if (table_.isDeletedOrInDeleted(index)) record_.Flags |= kFileDeleted;
    if (entry.isDirectory()) record_.Flags |= kFileDirectory;
    record_.RecordNumber = key;
    record_.FirstCluster = key;
    record_.DataPosition = static_cast<std::uint64_t>(
        (static_cast<std::int64_t>(key) - 2) * static_cast<std::int64_t>(geometry_->bytesPerCluster) +
        static_cast<std::int64_t>(geometry_->dataOffset));
    record_.Size = entry.fileSize();
    record_.CreationTime = dosTime(entry.creationDate(), entry.creationTime());
    record_.LastWriteTime = dosTime(entry.writeDate(), entry.writeTime());
    record_.LastAccessTime = dosTime(entry.accessDate(), 0);
    record_.Attributes = entry.attributes();
    name_ = table_.name(index);
    record_.Name = name_.c_str();
}

const char16_t* CFAT::GetFilePath(const FoundFileRecord* record) {
    const char letter = drive_ ? drive_->GetDriveInfo()->Letter : '?';
    std::uint32_t folder = FatDirectoryTable::kRoot;
    if (record && record->ParentNumber != 0 && record->ParentNumber <= 0xFFFFFFFF) {
        folder = table_.folderByKey(static_cast<std::uint32_t>(record->ParentNumber)).value_or(folder);
    }
    // The entries of one folder follow each other, and each folder's entries follow its
    // parent's: the last path is kept and extended.
    table_.updateFolderPath(folder, folderPath_);
    path_.assign(1, static_cast<char16_t>(static_cast<unsigned char>(letter)));
    path_ += u':';
    path_ += folderPath_.text;
    return path_.c_str();
}

std::uint64_t CFAT::FileRead(const FileReadRequest& request) {
    if (!data_ || request.size == 0) return 0;
    const FoundFileRecord* record = request.record;
    if (!record) return 0;
    FatReadMode mode = FatReadMode::Chain;
    if (record->Flags & kFileFoundBySignature) {
        mode = FatReadMode::Contiguous;
    } else if ((record->Flags & kFileDeleted) && record->RecordNumber <= 0xFFFFFFFF &&
               !table_.hasLiveEntry(static_cast<std::uint32_t>(record->RecordNumber), record->ParentNumber)) {
        // A file of a deleted folder whose own entry is live keeps its chain.
        mode = FatReadMode::FreeClusters;
    }
    const std::uint64_t got = data_->read(request, mode);
    if (got == 0) {
        const std::uint64_t sector = request.record ? request.record->DataPosition / kSector : 0;
        Log(kLogError, "CNTFS.FileRead: Can't read sector at: %I64d", static_cast<long long>(sector));
    }
    return got;
}
