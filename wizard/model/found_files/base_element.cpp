#include "wizard/model/found_files/base_element.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/text.h"
#include "platform/time.h"
#include "wizard/bridge/engine_api.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/formats/format_text.h"
#include "wizard/model/found_files/file_name_parts.h"
#include "wizard/model/found_files/file_type_name.h"

namespace {

constexpr char16_t kNoName[] = u"";
constexpr const char* kUnknownFormat = "unknown";
// Longest path the engine hands out, in UTF-16 units.
constexpr std::size_t kMaxPathUnits = 32767;

// `read` of the format with that id, under the list's shared lock.
template <typename Read>
auto ReadFormatOfId(std::uint16_t id, Read read) -> decltype(DataStorage->ReadBySignatureId(id, read)) {
    if (!DataStorage) return std::nullopt;
    return DataStorage->ReadBySignatureId(id, read);
}

template <typename Read>
auto ReadFormatOfExtension(std::string_view extension, Read read)
    -> decltype(DataStorage->ReadByExtension(extension, read)) {
    if (!DataStorage) return std::nullopt;
    return DataStorage->ReadByExtension(extension, read);
}

// At least four digits: 7 gives "0007", 12345 stays "12345".
std::string SerialText(std::int64_t serial) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4" PRId64, serial);
    return text;
}

// A zero time is no time: carved files and records without times hold it.
QDateTime FromFileTime(FILETIME time) {
    static const QDateTime kFileTimeEpoch(QDate(1601, 1, 1), QTime(0, 0), Qt::UTC);
    const std::uint64_t ticks = platform::toUint64(time);
    if (ticks == 0) return {};
    return kFileTimeEpoch.addMSecs(static_cast<qint64>(ticks / 10000));
}

}  // namespace

TBaseElement::TBaseElement(const FoundFileRecord& record, std::int64_t serial,
                           std::shared_ptr<const TRecoveryDrive> drive)
    : serial_(serial), drive_(std::move(drive)) {
    std::memcpy(&record_, &record, sizeof record_);
    if (record.Name != nullptr) {
        const std::size_t length = std::char_traits<char16_t>::length(record.Name);
        name_ = std::make_unique<char16_t[]>(length + 1);
        std::memcpy(name_.get(), record.Name, (length + 1) * sizeof(char16_t));
    }
    record_.Name = name_ ? name_.get() : kNoName;
}

std::string TBaseElement::OwnName() const { return platform::toUtf8(record_.Name); }

std::string TBaseElement::Name() const {
    std::string name = OwnName();
    const bool blank = TrimControlsAndBlanks(name).empty();
    if (record_.RecordNumber != 0) {
        return blank ? "noname_" + std::to_string(record_.RecordNumber) : name;
    }
    if (!blank) return name;
    const auto format = ReadFormatOfId(record_.TypeCode, [](const TFormat& format) {
        return std::pair(format.FilePrefix, format.DefaultExtension);
    });
    name = record_.TypeCode == 0 ? "lost_file" : format ? format->first : kUnknownFormat;
    name += '_';
    name += SerialText(serial_);
    name += '.';
    name += format ? format->second : kUnknownFormat;
    return name;
}

std::string TBaseElement::Ext() const { return std::string(ExtensionOf(Name())); }

std::string TBaseElement::BaseName() const {
    const std::string name = Name();
    std::string_view file = FileNameOf(name);
    file.remove_suffix(ExtensionOf(file).size());
    return std::string(file);
}

const char* TBaseElement::Condition() const {
    if (IsDeleted()) return "Deleted ";
    if (ContainsDeleted()) return "Contain Deleted";
    return "Live";
}

std::string TBaseElement::TypeName() const {
    return IsFolder() ? "Folder" : FileTypeNameOfExtension(Ext());
}

QDateTime TBaseElement::Created() const { return FromFileTime(record_.CreationTime); }
QDateTime TBaseElement::Modified() const { return FromFileTime(record_.LastWriteTime); }
QDateTime TBaseElement::Accessed() const { return FromFileTime(record_.LastAccessTime); }

const std::string& TBaseElement::Path() {
    if (pathCache_.empty()) {
        // The engine's text lives until its next call: converted at once.
        if (const char16_t* path = engine().FileGetPath(&record_)) {
            pathCache_ = platform::toUtf8({path, platform::boundedLength(path, kMaxPathUnits)});
        }
    }
    return pathCache_;
}

std::string TBaseElement::FormatFilePrefix() const {
    return ReadFormatOfId(record_.TypeCode, [](const TFormat& format) { return format.FilePrefix; })
        .value_or(kUnknownFormat);
}

std::string TBaseElement::FormatDefaultExtension() const {
    return ReadFormatOfId(record_.TypeCode, [](const TFormat& format) { return format.DefaultExtension; })
        .value_or(kUnknownFormat);
}

bool TBaseElement::IsPreviewAvailable() const {
    const auto preview = [](const TFormat& format) { return format.PreviewAvailable; };
    const std::string extension = Ext();
    if (!extension.empty()) return ReadFormatOfExtension(extension, preview).value_or(false);
    return ReadFormatOfId(record_.TypeCode, preview).value_or(false);
}

std::int32_t FormatIdFromExtension(const TBaseElement& element) {
    const std::string name = element.OwnName();
    std::string_view extension = ExtensionOf(name);
    if (!extension.empty()) extension.remove_prefix(1);
    return ReadFormatOfExtension(extension, [](const TFormat& format) { return format.SignatureId; })
        .value_or(-1);
}
