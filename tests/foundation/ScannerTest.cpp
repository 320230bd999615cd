#include "Pictures.h"
#include "SaneTestBackend.h"

#include "foundation/scanner/ScanPicture.h"
#include "foundation/scanner/Scanner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

using namespace scanner;

namespace {

// Frames as scanners deliver them: line art with set bits black, 16-bit grey in the machine's
// byte order, interleaved colour, and one frame per channel; lines padded beyond their pixels.
TEST(ScanPicture, FramesOfEveryKindBecomePictures) {
    constexpr int w = 9, h = 3;
    {
        ScanPicture p;
        ASSERT_TRUE(p.beginFrame({FrameKind::Gray, 1, w, 3, h}));
        const std::uint8_t lines[] = {0xAA, 0x80, 0, 0x00, 0x00, 0, 0xFF, 0x80, 0};
        ASSERT_TRUE(p.add(lines, sizeof lines));
        const OwnedDib d = p.finish();
        ASSERT_TRUE(d);
        EXPECT_EQ(DIBBitCount(d.get()), 1);
        EXPECT_EQ(pixelValues(d.get()),
                  (std::vector<std::vector<std::uint32_t>>{{0, 1, 0, 1, 0, 1, 0, 1, 0},
                                                           {1, 1, 1, 1, 1, 1, 1, 1, 1},
                                                           {0, 0, 0, 0, 0, 0, 0, 0, 0}}));
        EXPECT_EQ(d->pmi->colors()[0].rgbRed, 0); // index 0 is black
    }
    {
        ScanPicture p;
        ASSERT_TRUE(p.beginFrame({FrameKind::Gray, 16, w, 2 * w + 2, -1}));
        std::vector<std::uint16_t> words;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w + 1; ++x) {
                words.push_back(std::uint16_t((x * 20 + y) << 8 | 0x7f));
            }
        }
        ASSERT_TRUE(p.add(reinterpret_cast<const std::uint8_t*>(words.data()), words.size() * 2));
        ASSERT_TRUE(p.add(reinterpret_cast<const std::uint8_t*>(words.data()), 5)); // cut short
        const OwnedDib d = p.finish();
        ASSERT_TRUE(d);
        EXPECT_EQ(DIBBitCount(d.get()), 8);
        EXPECT_EQ(DIBHeight(d.get()), h); // the unfinished line is dropped
        EXPECT_EQ(grafikrw3::getpixel(d.get(), 4, 2), 82u);
    }
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            expected.push_back(std::uint32_t(x * 25) | std::uint32_t(y * 70) << 8 |
                               std::uint32_t(x + y) << 16);
        }
    }
    auto channel = [&](int shift) {
        std::vector<std::uint8_t> bytes;
        for (const std::uint32_t v : expected) {
            bytes.push_back(std::uint8_t(v >> shift));
        }
        return bytes;
    };
    {
        ScanPicture p;
        ASSERT_TRUE(p.beginFrame({FrameKind::Rgb, 8, w, 3 * w, h}));
        std::vector<std::uint8_t> bytes;
        for (const std::uint32_t v : expected) {
            bytes.insert(bytes.end(),
                         {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)});
        }
        EXPECT_EQ(p.expectedBytes(), 3 * w * h);
        ASSERT_TRUE(p.add(bytes.data(), bytes.size()));
        const OwnedDib d = p.finish();
        ASSERT_TRUE(d);
        std::vector<std::uint32_t> got;
        for (const auto& row : pixelValues(d.get())) {
            got.insert(got.end(), row.begin(), row.end());
        }
        EXPECT_EQ(got, expected);
    }
    {
        ScanPicture p;
        const FrameKind order[] = {FrameKind::Blue, FrameKind::Red, FrameKind::Green};
        const int shifts[] = {16, 0, 8};
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(p.beginFrame({order[i], 8, w, w, h}));
            const std::vector<std::uint8_t> bytes = channel(shifts[i]);
            ASSERT_TRUE(p.add(bytes.data(), bytes.size()));
        }
        EXPECT_FALSE(p.beginFrame({FrameKind::Red, 8, w, w, h})); // a fourth frame
        const OwnedDib d = p.finish();
        ASSERT_TRUE(d);
        EXPECT_EQ(grafikrw3::getpixel(d.get(), 8, 2), expected.back());
    }
    ScanPicture refused;
    EXPECT_FALSE(refused.beginFrame({FrameKind::Rgb, 8, w, 3 * w - 1, h})); // lines too short
    EXPECT_FALSE(refused.beginFrame({FrameKind::Gray, 4, w, w, h}));
    refused.byteLimit = 16;
    EXPECT_FALSE(refused.beginFrame({FrameKind::Gray, 8, w, w, h}));
    ASSERT_TRUE(refused.beginFrame({FrameKind::Gray, 8, w, w, -1}));
    const std::uint8_t many[20] = {};
    EXPECT_FALSE(refused.add(many, sizeof many));
    EXPECT_FALSE(refused.finish());
}

// Waits for the end a scan reports on its own thread.
struct Waiter {
    std::mutex lock;
    std::condition_variable changed;
    std::optional<ScanOutcome> outcome;
    std::vector<int> percents;

    ScanJob::Progress progress() {
        return [this](int p) {
            const std::lock_guard g(lock);
            percents.push_back(p);
            changed.notify_all();
        };
    }
    ScanJob::Finished finished() {
        return [this](const ScanOutcome& o) {
            const std::lock_guard g(lock);
            outcome = o;
            changed.notify_all();
        };
    }
    bool waitFor(std::function<bool()> condition) {
        std::unique_lock g(lock);
        return changed.wait_for(g, std::chrono::seconds(60), condition);
    }
};

// The test backend's devices are listed; a colour scan arrives with its progress and picture,
// a second picture of the other mode comes out grey, and a scan stopped half-way ends as
// cancelled without a picture.
TEST(Scanner, ScansFromTheTestBackend) {
    ASSERT_TRUE(useSaneTestBackend());
    const DeviceList list = listDevices();
    ASSERT_TRUE(list.error.isEmpty()) << list.error.toStdString();
    ASSERT_EQ(list.devices.size(), 2u);
    EXPECT_EQ(list.devices[0].name, QStringLiteral("test:0"));
    const DeviceChoices choices = deviceChoices(QStringLiteral("test:0"));
    EXPECT_TRUE(choices.modes.contains(QStringLiteral("Color")));
    EXPECT_EQ(choices.mode, QStringLiteral("Color"));
    EXPECT_EQ(choices.resolution, 25);
    EXPECT_FALSE(deviceChoices(QStringLiteral("gibtsnicht:9")).error.isEmpty());

    ScanJob job;
    Waiter colour;
    ASSERT_TRUE(job.start({QStringLiteral("test:0"), {}, 0}, colour.progress(), colour.finished()));
    EXPECT_FALSE(job.start({QStringLiteral("test:0"), {}, 0}, {}, {})); // one at a time
    ASSERT_TRUE(colour.waitFor([&] { return colour.outcome.has_value(); }));
    ASSERT_EQ(colour.outcome->status, ScanStatus::Done) << colour.outcome->error.toStdString();
    EXPECT_EQ(colour.percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(colour.percents.begin(), colour.percents.end()));
    dib picture;
    GetScanedDib(&picture, colour.outcome->token);
    OwnedDib scanned(picture);
    ASSERT_TRUE(scanned);
    EXPECT_EQ(DIBBitCount(picture), 24);
    EXPECT_EQ(DIBWidth(picture), 78);
    EXPECT_EQ(DIBHeight(picture), 98);
    GetScanedDib(&picture, colour.outcome->token);
    EXPECT_EQ(picture.poi, nullptr); // handed out once

    Waiter grey;
    ASSERT_TRUE(job.start({QStringLiteral("test:1"), QStringLiteral("Gray"), 50}, grey.progress(),
                          grey.finished()));
    ASSERT_TRUE(grey.waitFor([&] { return grey.outcome.has_value(); }));
    ASSERT_EQ(grey.outcome->status, ScanStatus::Done);
    GetScanedDib(&picture, grey.outcome->token);
    OwnedDib greyPicture(picture);
    EXPECT_EQ(DIBBitCount(picture), 8);
    EXPECT_EQ(DIBWidth(picture), 157); // 80 mm at 50 dpi, rounded

    Waiter stopped;
    ASSERT_TRUE(
        job.start({QStringLiteral("test:0"), {}, 0}, stopped.progress(), stopped.finished()));
    ASSERT_TRUE(stopped.waitFor([&] { return !stopped.percents.empty(); }));
    job.cancel();
    ASSERT_TRUE(stopped.waitFor([&] { return stopped.outcome.has_value(); }));
    EXPECT_EQ(stopped.outcome->status, ScanStatus::Cancelled);
    EXPECT_EQ(stopped.outcome->token, 0u);
    EXPECT_LT(stopped.percents.back(), 100);

    Waiter missing;
    ASSERT_TRUE(job.start({QStringLiteral("gibtsnicht:9"), {}, 0}, {}, missing.finished()));
    ASSERT_TRUE(missing.waitFor([&] { return missing.outcome.has_value(); }));
    EXPECT_EQ(missing.outcome->status, ScanStatus::Failed);
    EXPECT_FALSE(missing.outcome->error.isEmpty());
}

} // namespace
