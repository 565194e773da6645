#include "wizard/scans/file_filters.h"

#include <string>

#include "platform/time.h"
#include "wizard/model/formats/data_storage.h"
#include "wizard/model/found_files/file_name_parts.h"
#include "wizard/utilities/text/date_time.h"
#include "wizard/utilities/text/file_mask_list.h"
#include "wizard/utilities/text/text_helpers.h"

namespace {

constexpr std::int64_t kFileTimeTicksPerMillisecond = 10'000;
// 1 January 1601 to 1 January 1970.
constexpr std::int64_t kFileTimeEpochToUnixMilliseconds = 11'644'473'600'000;

// The wall-clock time of a QDateTime without a zone, as milliseconds since 1970.
std::int64_t WallMilliseconds(const QDateTime& time) { return time.toMSecsSinceEpoch(); }

std::int64_t WallMilliseconds(FILETIME time) {
    return static_cast<std::int64_t>(platform::toUint64(time) / kFileTimeTicksPerMillisecond) -
           kFileTimeEpochToUnixMilliseconds;
}

std::optional<std::int64_t> WallMilliseconds(TDateTime time) {
    const QDateTime decoded = DecodeDateTime(time);
    if (!decoded.isValid()) return std::nullopt;
    return WallMilliseconds(QDateTime(decoded.date(), decoded.time(), Qt::UTC));
}

}  // namespace

std::optional<QDateTime> AgeThreshold(const QDateTime& now, int count, int type) {
    switch (type) {
        case 0: return now.addSecs(-60LL * count);
        case 1: return now.addSecs(-3600LL * count);
        case 2: return now.addDays(-static_cast<qint64>(count));
        case 3: return now.addDays(-7LL * count);
        case 4: return now.addMonths(-count);
        case 5: return now.addYears(-count);
        default: return std::nullopt;
    }
}

std::int64_t SizeLimit(int count, int unit) {
    switch (unit) {
        case 0: return count;
        case 1: return std::int64_t{count} * 1024;
        case 2: return std::int64_t{count} * 1024 * 1024;
        default: return 0;
    }
}

bool SizeKeeps(std::int64_t size, int sign, std::int64_t limit) {
    switch (sign) {
        case 0: return size == limit;
        case 1: return size > limit;
        case 2: return size < limit;
        default: return true;
    }
}

FileFilters::FileFilters(const SettingsValues& settings, const QDateTime& localNow)
    : nameUse_(settings.RecoveryFilesNameUse),
      masks_(settings.RecoveryFilesName),
      sizeUse_(settings.RecoveryFilesSizeUse),
      sizeSign_(settings.RecoveryFilesSizeSign),
      sizeLimit_(SizeLimit(settings.RecoveryFilesSizeCount, settings.RecoveryFilesSizeType)) {
    if (settings.RecoveryFilesCreatedDateUse) {
        createdFrom_ = WallMilliseconds(settings.RecoveryFilesCreatedDateFrom);
        createdTo_ = WallMilliseconds(settings.RecoveryFilesCreatedDateTo);
    }
    if (settings.RecoveryFilesAgeUse) {
        // Local time read as wall-clock time, like the entries' creation times.
        const QDateTime now(localNow.date(), localNow.time(), Qt::UTC);
        const auto threshold =
            AgeThreshold(now, settings.RecoveryFilesAgeCount, settings.RecoveryFilesAgeType);
        if (threshold) ageThreshold_ = WallMilliseconds(*threshold);
    }
}

bool FileFilters::Keeps(const FoundFileRecord& record) const {
    if (!KeepsTypeOrName(record)) return false;
    const std::int64_t created = WallMilliseconds(record.CreationTime);
    if (createdFrom_ && created < *createdFrom_) return false;
    if (createdTo_ && created > *createdTo_) return false;
    if (ageThreshold_ && created < *ageThreshold_) return false;
    return !sizeUse_ || SizeKeeps(static_cast<std::int64_t>(record.Size), sizeSign_, sizeLimit_);
}

bool FileFilters::KeepsTypeOrName(const FoundFileRecord& record) const {
    const QString name = WideToNarrow(record.Name);
    const std::string utf8 = name.toStdString();
    if (DataStorage && DataStorage->IsExtensionSearched(ExtensionOf(utf8))) return true;
    return nameUse_ && MatchesFileMask(name, masks_);
}
