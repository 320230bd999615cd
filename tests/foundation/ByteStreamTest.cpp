#include "foundation/ByteStream.h"
#include "CountingDevice.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// Numbers and blocks of every size from none to several buffers, in a fixed random order, so
// that every way a field can lie across block boundaries occurs. A field without bytes is an
// int32.
struct Field {
    std::int32_t value;
    QByteArray bytes;
};

std::vector<Field> sampleFields() {
    std::mt19937 random(19);
    std::vector<Field> fields;
    for (int i = 0; i < 400; ++i) {
        Field f{std::int32_t(random()), {}};
        const int length = i % 50 == 0 ? 5000 + int(random() % 3000) : int(random() % 700);
        for (int k = 0; i % 2 == 1 && k < length; ++k) {
            f.bytes.append(char(random()));
        }
        fields.push_back(f);
    }
    return fields;
}

} // namespace

TEST(ByteStream, FieldsAcrossEveryBlockBoundaryRoundTrip) {
    const std::vector<Field> fields = sampleFields();
    QByteArray expected;
    for (const Field& f : fields) {
        char b[4];
        qToLittleEndian(f.value, b);
        expected += f.bytes.isEmpty() ? QByteArray(b, 4) : f.bytes;
    }
    for (std::int64_t bufferBytes : {0, 300, 1000, 4096, 1 << 20}) {
        QBuffer device;
        device.open(QIODevice::WriteOnly);
        {
            ByteWriter out(device, bufferBytes);
            for (const Field& f : fields) {
                f.bytes.isEmpty() ? out.writeInt32(f.value)
                                  : out.writeBytes(f.bytes.constData(), f.bytes.size());
            }
            ASSERT_TRUE(out.flush());
        }
        ASSERT_EQ(device.data(), expected) << bufferBytes;

        // Read back: copies and in-place views alike, the views while they fit the buffer.
        device.close();
        device.open(QIODevice::ReadOnly);
        ByteReader in(device, expected.size(), {}, bufferBytes);
        for (const Field& f : fields) {
            std::int32_t value = 0;
            if (f.bytes.isEmpty()) {
                ASSERT_TRUE(in.readInt32(value));
                ASSERT_EQ(value, f.value);
            } else if (f.bytes.size() <= in.viewLimit() && f.value % 2 == 0) {
                const std::uint8_t* bytes = in.view(f.bytes.size());
                ASSERT_NE(bytes, nullptr);
                ASSERT_EQ(QByteArray(reinterpret_cast<const char*>(bytes), f.bytes.size()),
                          f.bytes);
            } else {
                QByteArray got(f.bytes.size(), '\0');
                ASSERT_TRUE(in.readBytes(got.data(), got.size()));
                ASSERT_EQ(got, f.bytes);
            }
        }
        EXPECT_TRUE(in.atEnd());
        EXPECT_TRUE(in.ok());
    }
}

TEST(ByteStream, ShortDeviceOrReadsPastTheEndFailForGood) {
    const QByteArray bytes("\x01\x02\x03\x04\x05\x06\x07", 7);
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    ByteReader in(device, 7);
    std::int32_t value = 42;
    ASSERT_TRUE(in.readInt32(value));
    EXPECT_EQ(value, 0x04030201);
    EXPECT_FALSE(in.readInt32(value)); // three bytes left
    EXPECT_EQ(value, 0x04030201);
    std::uint8_t b = 0;
    EXPECT_FALSE(in.readUInt8(b)); // a failed stream stays failed
    EXPECT_EQ(b, 0);

    // The device holds less than it was said to: the reader notices, it does not wait or loop.
    QBuffer shortDevice;
    shortDevice.setData(bytes);
    shortDevice.open(QIODevice::ReadOnly);
    ByteReader promised(shortDevice, 5000, {}, 1000);
    QByteArray target(3000, 'x');
    EXPECT_FALSE(promised.readBytes(target.data(), target.size()));
    EXPECT_EQ(promised.view(1), nullptr);

    // A flag is 0 or 1.
    QBuffer flags;
    flags.setData(QByteArray("\x01\x02", 2));
    flags.open(QIODevice::ReadOnly);
    ByteReader flagReader(flags, 2);
    bool flag = false;
    EXPECT_TRUE(flagReader.readFlag(flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(flagReader.readFlag(flag));
}

TEST(ByteStream, ProgressRisesPerBlockAndStopEndsTheRead) {
    const QByteArray bytes(10000, 'a');
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    std::vector<int> seen;
    ByteReader in(
        device, bytes.size(),
        [&](int percent) {
            seen.push_back(percent);
            return percent < 60;
        },
        1000);
    char target[700];
    while (in.readBytes(target, sizeof target)) {
    }
    EXPECT_TRUE(in.stopped());
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60}));
}

TEST(ByteStream, SkipLandsOnTheRightByteAndSeeksOverWhatIsNotBuffered) {
    // Byte i of the stream is i modulo 251, so that every value read tells where it came from.
    QByteArray bytes(20000, '\0');
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = char(i % 251);
    }
    const std::int64_t skips[] = {0, 1, 3, 250, 999, 1000, 1001, 5000, 2, 7000};
    for (bool sequential : {false, true}) {
        for (std::int64_t bufferBytes : {0, 1000, 1 << 20}) {
            CountingDevice device(bytes, sequential);
            ByteReader in(device, bytes.size(), {}, bufferBytes);
            std::int64_t at = 0;
            for (std::int64_t skip : skips) {
                ASSERT_TRUE(in.skip(skip)) << skip;
                at += skip;
                std::uint8_t value = 0;
                ASSERT_TRUE(in.readUInt8(value));
                ASSERT_EQ(value, at % 251) << sequential << ' ' << bufferBytes << ' ' << skip;
                ++at;
            }
            EXPECT_EQ(in.remaining(), bytes.size() - at);
            // A stream must be read to pass over it; a file is not read where the skips
            // leave the buffer behind.
            if (sequential || bufferBytes >= bytes.size()) {
                EXPECT_GE(device.bytesRead(), at);
            } else {
                EXPECT_LT(device.bytesRead(), at - 5000);
            }
            EXPECT_FALSE(in.skip(in.remaining() + 1));
            EXPECT_FALSE(in.ok());
        }
    }
}
