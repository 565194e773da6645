// A found file's bytes in pieces and whole: where the pieces end, and what a failing
// reader leaves.

#include "engine/thumbnails/file_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

using engine::thumbnails::FileBytes;
using engine::thumbnails::FileReader;
using engine::thumbnails::kSlackBytes;

constexpr std::size_t kPiece = FileBytes::kPieceBytes;

std::vector<std::size_t> pieceSizes(FileBytes& bytes) {
    std::vector<std::size_t> sizes;
    for (auto piece = bytes.Next(); !piece.empty(); piece = bytes.Next()) sizes.push_back(piece.size());
    return sizes;
}

TEST(FileBytes, PiecesEndWithTheFileOrTheFirstShortOrFailingRead) {
    struct Case {
        const char* name;
        std::uint64_t size;         // as listed
        std::uint64_t readable;     // bytes the reader can give
        std::uint64_t failAt;       // reads from here throw
        std::vector<std::size_t> pieces;
    };
    const Case cases[] = {
        {"one short piece", 1000, 1000, UINT64_MAX, {1000}},
        {"whole pieces", 2 * kPiece, 2 * kPiece, UINT64_MAX, {kPiece, kPiece}},
        {"last piece short", 2 * kPiece + 5, 2 * kPiece + 5, UINT64_MAX, {kPiece, kPiece, 5}},
        {"device ends early", 3 * kPiece, kPiece + 100, UINT64_MAX, {kPiece, 100}},
        {"reader fails", 3 * kPiece, 3 * kPiece, kPiece, {kPiece}},
        {"nothing readable", 3 * kPiece, 0, UINT64_MAX, {}},
    };
    for (const Case& c : cases) {
        const FileReader read = [&c](FoundFileRecord&, void* buffer, std::uint64_t offset,
                                     std::uint64_t size) -> std::uint64_t {
            if (offset >= c.failAt) throw std::runtime_error("unreadable");
            if (offset >= c.readable) return 0;
            const std::uint64_t count = std::min(size, c.readable - offset);
            std::memset(buffer, 0x42, count);
            return count;
        };
        FoundFileRecord record{};
        FileBytes bytes(record, read, c.size);
        EXPECT_EQ(bytes.Head().size(), c.pieces.empty() ? 0 : c.pieces.front()) << c.name;
        EXPECT_EQ(pieceSizes(bytes), c.pieces) << c.name;
        EXPECT_TRUE(bytes.Next().empty()) << c.name;
    }
}

TEST(FileBytes, WholeIsWhatCouldBeReadFollowedByZeroedSlack) {
    // A reader that claims more than it was asked for is held to the request.
    const FileReader read = [](FoundFileRecord&, void* buffer, std::uint64_t, std::uint64_t size) -> std::uint64_t {
        std::memset(buffer, 0x42, (size + 511) / 512 * 512);
        return size + 100;
    };
    FoundFileRecord record{};
    FileBytes bytes(record, read, 700);
    const auto whole = bytes.Whole();
    ASSERT_EQ(whole.size(), 700u);
    EXPECT_TRUE(std::all_of(whole.begin(), whole.end(), [](std::uint8_t b) { return b == 0x42; }));
    EXPECT_TRUE(std::all_of(whole.end(), whole.end() + kSlackBytes, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(bytes.Whole().data(), whole.data());  // read once

    // A short read: what was read, then zeros.
    const FileReader shortRead = [](FoundFileRecord&, void* buffer, std::uint64_t, std::uint64_t) -> std::uint64_t {
        std::memset(buffer, 0x42, 1024);
        return 700;
    };
    FileBytes cut(record, shortRead, 1000);
    const auto partial = cut.Whole();
    ASSERT_EQ(partial.size(), 700u);
    EXPECT_TRUE(std::all_of(partial.end(), partial.end() + 300 + kSlackBytes, [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
