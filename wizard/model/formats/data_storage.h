#pragma once
// The program's editable list of recoverable file formats, apart from the engine's type
// table: the only link between the two is the SignatureId. Loaded from the registry at
// start-up ("\FileFormats" below the program's key, one sub-key per format), written back
// at exit when something changed.
//
// Threads: the GUI thread alone changes the list, and its own lookups return pointers
// that live until the next change. Any other thread (the thumbnail worker) reads through
// ReadBy... / CopyBy..., which take a shared lock and hand out values, never pointers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <type_traits>

#include "wizard/model/formats/format.h"
#include "wizard/model/formats/format_index.h"
#include "wizard/model/formats/formats_list.h"

// The program's key of the list; the engine's type table is kept elsewhere.
inline constexpr std::u16string_view kFileFormatsKey =
    u"\\Software\\Kelvorin\\Pramblex\\3.0\\FileFormats";

class TDataStorage {
public:
    const TFormatsList& Formats() const { return formats_; }
    // Set by every stored change; nothing clears it.
    bool Modified() const { return modified_; }

    // GUI thread. The first format in list order, or null. Titles and extensions are
    // compared normalised; one leading "." of an extension is dropped.
    const TFormat* FindByTitle(std::string_view title) const;
    const TFormat* FindByExtension(std::string_view extension) const;
    const TFormat* FindBySignatureId(std::int32_t id) const;
    // Search of the format of the extension (one more leading "." dropped first).
    bool IsExtensionSearched(std::string_view extension) const;
    // No format, removed ones included, is searched.
    bool NoFormatSelected() const;
    bool NeedsDefault(bool force, std::string_view title) const;
    std::optional<std::size_t> IndexOf(const TFormat* format) const;

    // Any thread: `read` applied to the format found, under the shared lock.
    template <typename Read>
    auto ReadBySignatureId(std::int32_t id, Read read) const
        -> std::optional<std::invoke_result_t<Read, const TFormat&>>;
    template <typename Read>
    auto ReadByExtension(std::string_view extension, Read read) const
        -> std::optional<std::invoke_result_t<Read, const TFormat&>>;
    std::optional<TFormat> CopyBySignatureId(std::int32_t id) const;
    std::optional<TFormat> CopyByExtension(std::string_view extension) const;

    // Changes, GUI thread only.
    // Appends the built-ins whose title no format has; all of them with `force`.
    void AddDefaultFormats(bool force);
    void AppendFormat(TFormat format);
    void ChangeFormat(std::size_t index, TFormat format);
    // The format's size for the rest of this run (TFormat::SessionSizeKb); not a stored
    // change, and never saved by a later one.
    void SetSessionSize(std::size_t index, std::int32_t sizeKb);
    // A stored change of Search alone: nothing is indexed by it, so a whole tree of check
    // boxes is written back without rebuilding the index per format.
    void SetSearch(std::size_t index, bool search);

    // Appends the stored formats in the store's order, then the missing built-ins. A
    // missing key is no error: the list is then the built-ins.
    void LoadFromRegistry();
    // Writes only when Modified; the key then holds exactly the list. False when the
    // store refused a write (the sub-keys it held stay).
    bool SaveToRegistry() const;
    // Removes every stored format; false when the store refused.
    bool ClearStored() const;
    // The built-ins in place of the list; the store is cleared, and written again when the
    // list was modified. Pointers into the old list die.
    bool ResetToDefaults();

private:
    const TFormat* At(std::optional<std::size_t> index) const;
    void AppendDefaults(bool force);

    TFormatsList formats_;
    TFormatIndex index_;
    bool modified_ = false;
    // Held exclusively by the GUI thread's changes, shared by other threads' reads.
    mutable std::shared_mutex lock_;
};

// The program's list: created and loaded at start-up, saved and freed at exit.
extern std::unique_ptr<TDataStorage> DataStorage;

template <typename Read>
auto TDataStorage::ReadBySignatureId(std::int32_t id, Read read) const
    -> std::optional<std::invoke_result_t<Read, const TFormat&>> {
    std::shared_lock lock(lock_);
    if (const TFormat* format = FindBySignatureId(id)) return read(*format);
    return std::nullopt;
}

template <typename Read>
auto TDataStorage::ReadByExtension(std::string_view extension, Read read) const
    -> std::optional<std::invoke_result_t<Read, const TFormat&>> {
    std::shared_lock lock(lock_);
    if (const TFormat* format = FindByExtension(extension)) return read(*format);
    return std::nullopt;
}
