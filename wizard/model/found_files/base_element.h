#pragma once
// One found file or folder: the program's own copy of the engine's record, taken the
// moment the engine hands it over (the engine reuses its records), with what the lists
// fill in lazily. The engine calls that take a record (path, thumbnail, viewer, recovery)
// get this copy, so the size and type code written here are what the engine uses.
//
// Threads: lists and elements change on the GUI thread. The thumbnail worker reads the
// record, Name and IsPreviewAvailable, and writes ThumbnailIndex.

#include <QDateTime>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/records.h"
#include "wizard/model/recovery_drive.h"

class TBaseElement {
public:
    TBaseElement(const FoundFileRecord& record, std::int64_t serial,
                 std::shared_ptr<const TRecoveryDrive> drive = nullptr);
    TBaseElement(const TBaseElement&) = delete;
    TBaseElement& operator=(const TBaseElement&) = delete;

    const FoundFileRecord& Record() const { return record_; }
    // The copy to pass to the engine; it reads it during the call.
    FoundFileRecord* EngineRecord() { return &record_; }
    void SetSize(std::uint64_t size) { record_.Size = size; }
    void SetTypeCode(std::uint16_t typeCode) { record_.TypeCode = typeCode; }

    std::int64_t Serial() const { return serial_; }
    // The drive it was found on; shared, so that a drive-list reload does not free it.
    const std::shared_ptr<const TRecoveryDrive>& Drive() const { return drive_; }
    void SetDrive(std::shared_ptr<const TRecoveryDrive> drive) { drive_ = std::move(drive); }

    // -1 = not looked up yet.
    std::int32_t IconIndex() const { return iconIndex_; }
    void SetIconIndex(std::int32_t index) { iconIndex_ = index; }
    // 0 or less = none yet; written by the thumbnail worker.
    std::int32_t ThumbnailIndex() const { return thumbnailIndex_.load(std::memory_order_relaxed); }
    void SetThumbnailIndex(std::int32_t index) { thumbnailIndex_.store(index, std::memory_order_relaxed); }
    // -1 = none.
    std::int32_t PreviewIndex() const { return previewIndex_; }
    void SetPreviewIndex(std::int32_t index) { previewIndex_ = index; }

    // The display and file name: the entry's name; "noname_<record>" for a nameless
    // file-system entry; "<prefix>_<serial>.<extension>" of the format for a nameless hit;
    // "lost_file_<serial>.<extension>" for a hit without a type.
    std::string Name() const;
    // The extension of Name with its dot ("" when none; a leading dot, as in ".bashrc",
    // starts no extension).
    std::string Ext() const;
    // The file name without its last extension.
    std::string BaseName() const;
    // "Deleted ", "Contain Deleted" or "Live".
    const char* Condition() const;
    // "Folder", else the type name of the extension ("" when none is known).
    std::string TypeName() const;

    bool IsDeleted() const { return (record_.Flags & kFileDeleted) != 0; }
    bool IsFolder() const { return (record_.Flags & kFileDirectory) != 0; }
    bool ContainsDeleted() const { return (record_.Flags & kFileHoldsDeleted) != 0; }
    // -1 = unknown.
    std::int64_t Size() const { return static_cast<std::int64_t>(record_.Size); }
    // Times as stored (UTC, no zone applied); a zero time (none recorded) gives a null
    // QDateTime.
    QDateTime Created() const;
    QDateTime Modified() const;
    QDateTime Accessed() const;

    // The folder path from the engine, asked once and kept; an empty answer is asked
    // again next time. GUI thread only.
    const std::string& Path();

    // Of the format whose SignatureId is the record's TypeCode; "unknown" when none.
    std::string FormatFilePrefix() const;
    std::string FormatDefaultExtension() const;
    // PreviewAvailable of the format of Ext, or of TypeCode when there is no extension.
    bool IsPreviewAvailable() const;

    // The element's own name as UTF-8 ("" when the record had none).
    std::string OwnName() const;

private:
    FoundFileRecord record_;
    std::unique_ptr<char16_t[]> name_;  // null: the record had no name
    std::int64_t serial_;
    std::shared_ptr<const TRecoveryDrive> drive_;
    std::string pathCache_;
    std::int32_t iconIndex_ = -1;
    std::atomic<std::int32_t> thumbnailIndex_{0};
    std::int32_t previewIndex_ = -1;
};

// The SignatureId of the format of the extension of the element's own name, or -1.
std::int32_t FormatIdFromExtension(const TBaseElement& element);
