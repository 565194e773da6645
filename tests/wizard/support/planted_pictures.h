#pragma once
// Real pictures in the search fixture's files: fat12-hits' picture files only start like
// pictures. Each planted one is a single colour, so that a thumbnail shows whose it is.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/engine/support/test_images.h"

struct PlantedPicture {
    const char* name;  // in the fixture's listing
    QColor colour;
};

inline constexpr const char* kPlantedListing = "search/fat12-hits.expected";

inline const PlantedPicture kPlantedPictures[] = {
    {"CAMERA.JPG", QColor(255, 0, 0)}, {"ANIM.GIF", QColor(0, 255, 0)}, {"PICTURE.BMP", QColor(0, 0, 255)}};

inline QByteArray PlantedPictureBytes(const PlantedPicture& picture) {
    if (std::string(picture.name).ends_with(".GIF")) {
        // One pixel of palette entry 0, green; Qt writes no GIF.
        return QByteArray(
            "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\xff\x00\x00\x00\x00"
            ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
            35);
    }
    QImage image(20, 20, QImage::Format_RGB888);
    image.fill(picture.colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, std::string(picture.name).ends_with(".JPG") ? "JPG" : "BMP");
    return bytes;
}

// Writes the pictures over the starts of their files in the unpacked fixture image; false
// when the listing or the image cannot be read or written.
inline bool PlantPictures(const std::filesystem::path& image) {
    std::ifstream listing(test_images::dataPath(kPlantedListing));
    std::fstream disk(image, std::ios::in | std::ios::out | std::ios::binary);
    std::string position, type, state, name;
    std::size_t planted = 0;
    while (listing >> position >> type >> state >> name) {
        for (const PlantedPicture& picture : kPlantedPictures) {
            if (name != picture.name) continue;
            const QByteArray bytes = PlantedPictureBytes(picture);
            if (bytes.isEmpty() || bytes.size() > 2500) return false;  // the smallest file
            disk.seekp(std::stoll(position));
            disk.write(bytes.constData(), bytes.size());
            ++planted;
        }
    }
    return disk.good() && planted == std::size(kPlantedPictures);
}
