#include "wizard/model/formats/format_key_names.h"

#include <optional>
#include <string_view>
#include <unordered_set>

#include "platform/text.h"

namespace {

// Longest folder name the file system takes.
constexpr std::size_t kMaxKeyNameBytes = 255;
// The store keeps a key's values in a file of this name inside the key's folder.
constexpr std::string_view kStoreValuesFile = ".values";

bool IsUsableKeyName(std::string_view title) {
    if (title.empty() || title == "." || title == ".." || title.size() > kMaxKeyNameBytes) {
        return false;
    }
    if (title.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
    return !platform::equalsIgnoreCase(title.substr(0, kStoreValuesFile.size()), kStoreValuesFile);
}

// Key names match case-insensitively (ASCII letters folded).
class TakenNames {
public:
    bool Take(const std::u16string& name) { return names_.insert(Folded(name)).second; }
    bool Contains(const std::u16string& name) const { return names_.contains(Folded(name)); }

private:
    static std::u16string Folded(std::u16string name) {
        for (char16_t& c : name) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        }
        return name;
    }
    std::unordered_set<std::u16string> names_;
};

std::u16string Utf16Number(std::size_t number) { return platform::toUtf16(std::to_string(number)); }

}  // namespace

std::vector<std::u16string> FormatKeyNames(const TFormatsList& formats) {
    std::vector<std::optional<std::u16string>> chosen(formats.Count());
    TakenNames taken;
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const std::string& title = formats[i].Title;
        if (!IsUsableKeyName(title)) continue;
        std::u16string name = platform::toUtf16(title);
        if (taken.Take(name)) chosen[i] = std::move(name);
    }
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        if (!chosen[i]) {
            // "Format 5", else "Format 5 (2)", ... by the format's place in the list.
            const std::u16string base = u"Format " + Utf16Number(i + 1);
            std::u16string name = base;
            for (std::size_t copy = 2; taken.Contains(name); ++copy) {
                name = base + u" (" + Utf16Number(copy) + u")";
            }
            taken.Take(name);
            chosen[i] = std::move(name);
        }
        names.push_back(std::move(*chosen[i]));
    }
    return names;
}
