// Kept apart from the wizard's headers: the image builder's namespace has the name of
// the wizard's engine accessor.
#include "wizard/end_to_end/hostile_image.h"

#include <cstring>
#include <fstream>
#include <string>

#include "engine/fs/fat_image_builder.h"

namespace fs = std::filesystem;

namespace {

struct HostileFile {
    std::u16string longName;
    const char* name83;
    std::uint8_t fill;
};

// Files of one cluster each, filled with their own byte; the last lies in a folder whose
// long name is "..".
const HostileFile kHostileFiles[] = {
    {u"../../escape.txt", "ESCAPE  TXT", 'e'},
    {u"a/b\\c:d*e?.txt", "SLASH   TXT", 's'},
    {u"\x01" u"bell\x07\x1b[31m.txt", "CTRL    TXT", 'c'},
    {u"%s%n%x.txt", "FORMAT  TXT", 'f'},
    {std::u16string(250, u'\u00FC') + u".jpg", "LONG    JPG", 'l'},
    {u"inner.txt", "INNER   TXT", 'i'},
};

}  // namespace

fs::path WriteHostileImage(const fs::path& file) {
    fattest::Fat32Builder volume(64, 2);
    std::uint32_t folder = fattest::Fat32Builder::kRootCluster;
    for (const HostileFile& entry : kHostileFiles) {
        if (entry.fill == 'i') {
            volume.addLongName(folder, u"..", "DOTS       ");
            folder = volume.addFolder(folder, "DOTS       ");
        }
        volume.addLongName(folder, entry.longName, entry.name83);
        const std::uint32_t first = volume.addFile(folder, entry.name83, kHostileFileBytes);
        std::memset(volume.image().data() + volume.clusterOffset(first), entry.fill, kHostileFileBytes);
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(volume.image().data()), static_cast<std::streamsize>(volume.image().size()));
    return file;
}


std::multiset<char> HostileFileFills() {
    std::multiset<char> fills;
    for (const HostileFile& entry : kHostileFiles) fills.insert(static_cast<char>(entry.fill));
    return fills;
}
