#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/thumbnails/thumbnail_worker.h"
#include "platform/bitmap.h"
#include "test_pictures.h"

namespace {

using namespace std::chrono_literals;
using engine::thumbnails::makeThumbnail;
using engine::thumbnails::ThumbnailJob;

struct BitmapDeleter {
    void operator()(PlatformBitmap* bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<PlatformBitmap, BitmapDeleter>;

FoundFileRecord recordOfSize(std::uint64_t size) {
    FoundFileRecord record{};
    resetFoundFileForFill(record);
    record.Size = size;
    return record;
}

// Serves `file` like FileRead does: whole 512-byte sectors.
ThumbnailJob jobReading(const test_pictures::Bytes& file) {
    ThumbnailJob job;
    job.read = [&file](FoundFileRecord&, void* buffer, std::uint64_t size) -> std::uint64_t {
        const std::size_t sectors = (size + 511) / 512 * 512;
        std::memset(buffer, 0xAA, sectors);
        const std::size_t count = std::min<std::size_t>(size, file.size());
        std::memcpy(buffer, file.data(), count);
        return count;
    };
    return job;
}

void waitForWorkersToEnd() {
    for (int i = 0; i < 500 && engine::thumbnails::liveWorkerCount() > 0; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(engine::thumbnails::liveWorkerCount(), 0);
}

TEST(ThumbnailWorker, EveryFormatBecomesA96SquareBitmap) {
    const auto bands = test_pictures::twoBands(200, 100, 0xFF0000, 0x0000FF);
    for (const auto& file : {test_pictures::encodeJpeg(bands), test_pictures::encodeGif(bands),
                             test_pictures::encodeBmp24(bands), test_pictures::encodeIco32(
                                 test_pictures::twoBands(64, 32, 0xFF0000, 0x0000FF))}) {
        Bitmap bitmap(makeThumbnail(recordOfSize(file.size()), jobReading(file)));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->width, 96);
        EXPECT_EQ(bitmap->height, 96);
        EXPECT_EQ(bitmap->row(10)[0], 0);                   // top margin
        EXPECT_GT(bitmap->row(30)[2], 200);                 // red band (red is the third byte)
        EXPECT_GT(bitmap->row(65)[0], 200);                 // blue band
    }
}

TEST(ThumbnailWorker, UnusableSizesAreRefusedWithoutReading) {
    std::atomic<int> reads{0};
    for (std::uint64_t size : {std::uint64_t{0}, kUnknownSize, engine::thumbnails::kMaxThumbnailFileSize + 1,
                               std::uint64_t{5} << 32}) {
        ThumbnailJob job;
        job.read = [&](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t { return ++reads, 1; };
        EXPECT_EQ(makeThumbnail(recordOfSize(size), std::move(job)), nullptr);
    }
    EXPECT_EQ(reads, 0);
}

TEST(ThumbnailWorker, NothingReadOrUndecodableDataGivesNoBitmap) {
    ThumbnailJob nothing;
    nothing.read = [](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t { return 0; };
    EXPECT_EQ(makeThumbnail(recordOfSize(1000), std::move(nothing)), nullptr);
    const test_pictures::Bytes text(3000, 'x');
    EXPECT_EQ(makeThumbnail(recordOfSize(text.size()), jobReading(text)), nullptr);
}

TEST(ThumbnailWorker, DecoderSeesOnlyWhatWasReadFollowedByZeroedSlack) {
    const test_pictures::Bytes file(700, 0x11);
    ThumbnailJob job = jobReading(file);
    bool slackZero = false;
    std::size_t seen = 0;
    job.render = [&](std::span<const std::uint8_t> data) -> HBITMAP {
        seen = data.size();
        slackZero = true;
        for (std::size_t i = 0; i < engine::thumbnails::kSlackBytes; ++i)
            slackZero = slackZero && data.data()[data.size() + i] == 0;
        return nullptr;
    };
    makeThumbnail(recordOfSize(file.size() + 300), std::move(job));  // a short read
    EXPECT_EQ(seen, 700u);
    EXPECT_TRUE(slackZero);
}

TEST(ThumbnailWorker, SlowWorkIsAbandonedAtTheLimitAndNeverTouchesTheCaller) {
    std::atomic<bool> release{false};
    auto record = std::make_unique<FoundFileRecord>(recordOfSize(4096));
    const char16_t name[] = u"photo.jpg";
    record->Name = name;
    ThumbnailJob job;
    job.limit = 100ms;
    job.read = [&release](FoundFileRecord& own, void*, std::uint64_t size) -> std::uint64_t {
        while (!release) std::this_thread::sleep_for(1ms);
        const char16_t* ownName = own.Name;
        EXPECT_EQ(ownName, nullptr);
        own.Size = 1;  // the worker's own copy
        return size;
    };
    job.render = [](std::span<const std::uint8_t>) { return platform::createBitmap24(96, 96); };
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(makeThumbnail(*record, std::move(job)), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    record.reset();  // the caller's record is gone; the worker goes on with its copy
    release = true;
    waitForWorkersToEnd();  // its late bitmap is freed by the worker (LeakSanitizer checks)
}

TEST(ThumbnailWorker, AbandonedWorkersAreCapped) {
    std::atomic<bool> release{false};
    auto slowJob = [&release] {
        ThumbnailJob job;
        job.limit = 1ms;
        job.read = [&release](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t {
            while (!release) std::this_thread::sleep_for(1ms);
            return 0;
        };
        return job;
    };
    for (int i = 0; i < engine::thumbnails::kMaxLiveWorkers; ++i)
        EXPECT_EQ(makeThumbnail(recordOfSize(10), slowJob()), nullptr);
    EXPECT_EQ(engine::thumbnails::liveWorkerCount(), engine::thumbnails::kMaxLiveWorkers);

    std::atomic<int> reads{0};
    ThumbnailJob refused;
    refused.read = [&](FoundFileRecord&, void*, std::uint64_t) -> std::uint64_t { return ++reads, 0; };
    EXPECT_EQ(makeThumbnail(recordOfSize(10), std::move(refused)), nullptr);
    EXPECT_EQ(reads, 0);

    release = true;
    waitForWorkersToEnd();
    const auto file = test_pictures::encodeBmp24(test_pictures::twoBands(4, 4, 1, 2));
    Bitmap bitmap(makeThumbnail(recordOfSize(file.size()), jobReading(file)));
    EXPECT_TRUE(bitmap);
}

}  // namespace
