#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/thumbnails/thumbnail_worker.h"
#include "test_pictures.h"

namespace {

using namespace std::chrono_literals;
using namespace engine::thumbnails;
using test_pictures::Bitmap;
using test_pictures::recordOf;

// Serves `file` like FileRead does: whole 512-byte sectors.
ThumbnailJob jobReading(const test_pictures::Bytes& file) {
    return {[&file](FoundFileRecord&, void* buffer, std::uint64_t offset, std::uint64_t size) -> std::uint64_t {
        std::memset(buffer, 0xAA, (size + 511) / 512 * 512);
        if (offset >= file.size()) return 0;
        const std::size_t count = std::min<std::size_t>(size, file.size() - offset);
        std::memcpy(buffer, file.data() + offset, count);
        return count;
    }};
}

// A job whose read waits for `release`; it counts its reads into `reads`.
ThumbnailJob waitingJob(const std::atomic<bool>& release, std::atomic<int>& reads) {
    return {[&](FoundFileRecord&, void*, std::uint64_t, std::uint64_t) -> std::uint64_t {
        ++reads;
        while (!release) std::this_thread::sleep_for(1ms);
        return 0;
    }};
}

void waitForWorkersToEnd() {
    for (int i = 0; i < 500 && liveWorkerCount() > 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(liveWorkerCount(), 0);
}

TEST(ThumbnailWorker, EveryFormatBecomesA96SquareBitmap) {
    using namespace test_pictures;
    const auto bands = twoBands(200, 100, 0xFF0000, 0x0000FF);
    const auto icon = twoBands(64, 32, 0xFF0000, 0x0000FF);
    for (const auto& [name, file] : {std::pair{"jpeg", encodeJpeg(bands)}, {"gif", encodeGif(bands)},
                                     {"bmp", encodeBmp24(bands)}, {"ico", encodeIco32(icon)}}) {
        Bitmap bitmap(makeThumbnail(recordOf(file.size()), jobReading(file)));
        ASSERT_TRUE(bitmap) << name;
        EXPECT_EQ(std::tuple(bitmap->width, bitmap->height), std::tuple(96, 96)) << name;
        EXPECT_EQ(bitmap->row(10)[0], 0) << name;    // top margin
        EXPECT_GT(bitmap->row(30)[2], 200) << name;  // red band (red is the third byte)
        EXPECT_GT(bitmap->row(65)[0], 200) << name;  // blue band
    }
}

TEST(ThumbnailWorker, UnusableSizesNothingReadOrUndecodableDataGiveNoBitmap) {
    const std::atomic<bool> release{true};
    std::atomic<int> reads{0};
    // Past 256 MiB a file is too large, whatever it holds.
    for (std::uint64_t size : {std::uint64_t{0}, kUnknownSize, std::uint64_t{257} << 20, std::uint64_t{5} << 32})
        EXPECT_EQ(makeThumbnail(recordOf(size), waitingJob(release, reads)), nullptr) << size;
    EXPECT_EQ(reads, 0);  // refused before reading
    const auto photo = test_pictures::encodeJpeg(test_pictures::twoBands(200, 100, 0xFF0000, 0x0000FF));
    EXPECT_TRUE(Bitmap(makeThumbnail(recordOf(std::uint64_t{256} << 20), jobReading(photo))));

    EXPECT_EQ(makeThumbnail(recordOf(1000), waitingJob(release, reads)), nullptr);  // reads nothing
    const test_pictures::Bytes text(3000, 'x');
    EXPECT_EQ(makeThumbnail(recordOf(text.size()), jobReading(text)), nullptr);
}

TEST(ThumbnailWorker, SlowWorkIsAbandonedAtTheLimitAndNeverTouchesTheCaller) {
    std::atomic<bool> release{false};
    auto record = std::make_unique<FoundFileRecord>(recordOf(4096));
    const char16_t name[] = u"photo.jpg";
    record->Name = name;
    ThumbnailJob job{[&release](FoundFileRecord& own, void*, std::uint64_t, std::uint64_t size) -> std::uint64_t {
                         while (!release) std::this_thread::sleep_for(1ms);
                         const char16_t* ownName = own.Name;
                         EXPECT_EQ(ownName, nullptr);
                         own.Size = 1;  // the worker's own copy
                         return size;
                     },
                     [](FileBytes&) { return platform::createBitmap24(96, 96); }, 100ms};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(makeThumbnail(*record, std::move(job)), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    record.reset();  // the caller's record is gone; the worker goes on with its copy
    release = true;
    waitForWorkersToEnd();  // its late bitmap is freed by the worker (LeakSanitizer checks)
}

TEST(ThumbnailWorker, AbandonedWorkersAreCapped) {
    std::atomic<bool> release{false};
    std::atomic<int> reads{0};
    for (int i = 0; i < kMaxLiveWorkers; ++i) {
        ThumbnailJob job = waitingJob(release, reads);
        job.limit = 1ms;
        EXPECT_EQ(makeThumbnail(recordOf(10), std::move(job)), nullptr);
    }
    EXPECT_EQ(liveWorkerCount(), kMaxLiveWorkers);
    for (int i = 0; i < 200 && reads < kMaxLiveWorkers; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(makeThumbnail(recordOf(10), waitingJob(release, reads)), nullptr);
    EXPECT_EQ(reads, kMaxLiveWorkers);  // the request over the cap is not read

    release = true;
    waitForWorkersToEnd();
    const auto file = test_pictures::encodeBmp24(test_pictures::twoBands(4, 4, 1, 2));
    EXPECT_TRUE(Bitmap(makeThumbnail(recordOf(file.size()), jobReading(file))));
}

}  // namespace

