// What a record says about its file: times and attributes from the standard information,
// name, parent and size from the file names.

#include <cstring>

#include "engine/exports.h"
#include "engine/log.h"
#include "engine/fs/ntfs_file.h"
#include "engine/fs/ntfs_record.h"
#include "platform/time.h"

using namespace ntfs;

namespace {

// Which of several names to show: a Win32 name over a POSIX one over a DOS short name.
int nameRank(std::uint8_t nameSpace) {
    switch (nameSpace) {
        case kNamespaceWin32:
        case kNamespaceWin32AndDos: return 3;
        case kNamespacePosix: return 2;
        default: return 1;
    }
}

struct FileName {
    Bytes value;
    std::uint8_t length;
    int rank;
};

std::optional<FileName> fileNameOf(const Attribute& attribute) {
    auto value = attribute.residentValue();
    if (!value || value->size() < kNameText) return std::nullopt;
    std::uint8_t length = (*value)[kNameLength];
    if (value->size() < kNameText + 2u * length) return std::nullopt;
    return FileName{*value, length, nameRank((*value)[kNameNamespace])};
}

}  // namespace

int CNTFile::GetInfo(FoundFileRecord* record, std::u16string& nameStorage) const {
    try {
        AttributeWalk standardWalk(record_);
        if (auto standard = standardWalk.next(kAttrStandardInformation)) {
            auto value = standard->residentValue();
            if (value && value->size() >= kStdMinimumSize) {
                record->CreationTime =
                    platform::toFileTime(fieldOr<std::uint64_t>(*value, kStdCreationTime));
                record->LastWriteTime =
                    platform::toFileTime(fieldOr<std::uint64_t>(*value, kStdModificationTime));
                record->LastAccessTime =
                    platform::toFileTime(fieldOr<std::uint64_t>(*value, kStdAccessTime));
                record->Attributes = fieldOr<std::uint32_t>(*value, kStdAttributes);
            }
        }

        std::optional<FileName> first, chosen;
        AttributeWalk nameWalk(record_);
        while (auto attribute = nameWalk.next(kAttrFileName)) {
            auto name = fileNameOf(*attribute);
            if (!name) continue;
            if (!first) first = name;
            // The last Win32 name wins; otherwise the best-ranked, first among equals.
            if (name->length && (!chosen || name->rank > chosen->rank ||
                                 (name->rank == 3 && chosen->rank == 3))) {
                chosen = name;
            }
        }
        const std::optional<FileName>& described = chosen ? chosen : first;
        if (described) {
            record->ParentNumber =
                fieldOr<std::uint64_t>(described->value, kNameParent) & kRecordNumberMask;
        }
        if (chosen) {
            nameStorage.resize(chosen->length);
            std::memcpy(nameStorage.data(), chosen->value.data() + kNameText,
                        2u * chosen->length);
            record->Name = nameStorage.c_str();
            record->Flags |= kFileHasName;
        }
        // The $DATA size is current; the copy in the file name may be stale.
        if (hasData_) {
            record->Size = dataSize_;
        } else if (described) {
            record->Size = fieldOr<std::uint64_t>(described->value, kNameRealSize);
        }
        record->OverwriteEstimate = 0;
        return 1;
    } catch (...) {
        Log(kLogError, "GetInfo except");
        return 0;
    }
}
