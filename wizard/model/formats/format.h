#pragma once
// One recoverable file format of the program's own list: whether files of it are wanted,
// how a carved file of it is named and sized, which extensions belong to it and which
// engine type id (the found-file record's TypeCode) stands for it. Texts are UTF-8.

#include <cstdint>
#include <optional>
#include <string>

struct TFormat {
    bool Search = false;                // files of this format are searched for and kept
    std::int32_t DefaultSizeKb = 5120;  // assumed size of a found file of unknown size
    std::int32_t RecoveryOrder = 0;     // 0 highest .. 100 lowest priority; only stored
    std::string FilePrefix = "unknown";
    std::string Title = "Unknown";      // the format's identity
    std::string Category = "Unknown";
    std::string Description = "Unknown";
    std::string DefaultExtension = "unknown";  // without the dot
    std::string FileExtensions = "UNKNOWN";    // comma-separated, without dots
    std::int32_t SignatureId = -1;             // engine type id; -1 = none
    bool PreviewAvailable = false;
    bool Deleted = false;  // removed by the user: hidden in the type tree only
    // A size the user chose for the rest of this run only: it stands in for DefaultSizeKb
    // wherever a size is assumed, and is never stored.
    std::optional<std::int32_t> SessionSizeKb;

    bool operator==(const TFormat&) const = default;

    // The size assumed for a file of unknown size, in KB: this run's choice, if any.
    std::int32_t ProbableSizeKb() const { return SessionSizeKb.value_or(DefaultSizeKb); }

    // ProbableSizeKb in bytes; nothing when it is 0 or negative, so that such a format
    // leaves a size unknown instead of making it huge.
    std::optional<std::uint64_t> DefaultSizeBytes() const {
        const std::int32_t sizeKb = ProbableSizeKb();
        if (sizeKb <= 0) return std::nullopt;
        return std::uint64_t(sizeKb) * 1024;
    }
};
