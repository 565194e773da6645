#include "wizard/model/formats/format_index.h"

#include "wizard/model/formats/format_text.h"

namespace {

template <typename Map, typename Key>
std::optional<std::size_t> Find(const Map& map, const Key& key) {
    const auto found = map.find(key);
    if (found == map.end()) return std::nullopt;
    return found->second;
}

}  // namespace

// emplace keeps the first entry of a key: the format earlier in the list wins.
void TFormatIndex::Rebuild(const TFormatsList& formats) {
    titles_.clear();
    extensions_.clear();
    ids_.clear();
    for (std::size_t i = 0; i < formats.Count(); ++i) {
        const TFormat& format = formats[i];
        titles_.emplace(NormalizeFormatText(format.Title), i);
        ids_.emplace(format.SignatureId, i);
        // The list is normalised as a whole and cut at every comma; the pieces are not
        // trimmed again, so " JPG" after a comma stays a piece of its own.
        const std::string extensions = NormalizeFormatText(format.FileExtensions);
        std::size_t start = 0;
        while (true) {
            const std::size_t comma = extensions.find(',', start);
            const std::string piece = extensions.substr(start, comma - start);
            if (!piece.empty()) extensions_.emplace(piece, i);  // an empty key is never asked
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
}

std::optional<std::size_t> TFormatIndex::ByTitle(const std::string& title) const {
    return Find(titles_, title);
}

std::optional<std::size_t> TFormatIndex::ByExtension(const std::string& extension) const {
    return Find(extensions_, extension);
}

std::optional<std::size_t> TFormatIndex::BySignatureId(std::int32_t id) const {
    return Find(ids_, id);
}
