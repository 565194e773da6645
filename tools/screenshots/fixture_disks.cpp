#include "tools/screenshots/fixture_disks.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "wizard/support/planted_pictures.h"

namespace {

bool Unpack(const std::string& image, const std::filesystem::path& target) {
    const std::vector<std::uint8_t> bytes = test_images::gunzip(image);
    if (bytes.empty()) return false;
    std::ofstream file(target, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file.good();
}

// Pictures in the card's free space, found only by the sector scan: offset, colour.
struct LostPicture {
    std::streamoff offset;
    PlantedPicture picture;
};
const LostPicture kLostPictures[] = {{1 << 20, {"LOST.JPG", QColor(255, 160, 0)}},
                                     {(1 << 20) + (64 << 10), {"LOST.BMP", QColor(160, 0, 255)}}};

bool PlantLostPictures(const std::filesystem::path& image) {
    std::fstream disk(image, std::ios::in | std::ios::out | std::ios::binary);
    for (const LostPicture& lost : kLostPictures) {
        const QByteArray bytes = PlantedPictureBytes(lost.picture);
        disk.seekp(lost.offset);
        disk.write(bytes.constData(), bytes.size());
    }
    return disk.good();
}

}  // namespace

bool UseFixtureDisks(const QString& folder) {
    const std::filesystem::path root = folder.toStdString();
    const std::filesystem::path pictures = root / "fat12-hits.img";
    const std::filesystem::path fat32 = root / "fat32.img";
    if (!Unpack("search/fat12-hits.img.gz", pictures) || !Unpack("fat/fat32.img.gz", fat32) ||
        !PlantPictures(pictures) ||
        !PlantLostPictures(pictures)) {
        std::fprintf(stderr, "screenshots: the fixture images below %s cannot be unpacked\n",
                     test_images::dataPath("").c_str());
        return false;
    }
    const std::string disks = pictures.string() + ":" + fat32.string();
    return ::setenv("UNDELETE_DISKS", disks.c_str(), 1) == 0;
}
