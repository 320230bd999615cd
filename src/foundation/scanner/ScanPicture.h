#pragma once

#include "../OwnedDib.h"

#include <cstdint>
#include <vector>

// Turns the frames a scanner delivers into a picture: grey (1, 8 or 16 bits a sample), colour
// with the three channels interleaved, or one frame per channel. Knows nothing of the scanner
// library, so it is tested with frames made up by the tests.
namespace scanner {

enum class FrameKind { Gray, Rgb, Red, Green, Blue };

struct FrameFormat {
    FrameKind kind = FrameKind::Gray;
    int depth = 8;           // bits per sample: 1, 8 or 16
    std::int32_t pixels = 0; // pixels per line
    std::int32_t lineBytes = 0;
    std::int32_t lines = -1; // -1 when the scanner does not know in advance
};

// Collects the bytes of one scan. Three single-channel frames make one colour picture.
class ScanPicture {
public:
    // A new frame begins; false when its format cannot be read (unknown depth, lines shorter
    // than the pixels need, channels of different size) or it would not fit into memory.
    bool beginFrame(const FrameFormat& format);
    // Bytes of the current frame as they arrive; false when they exceed the memory allowed.
    bool add(const std::uint8_t* data, std::size_t count);
    // The bytes a complete scan holds, 0 while unknown; for the progress percentage.
    std::int64_t expectedBytes() const;
    std::int64_t receivedBytes() const { return received_; }

    // The picture: 1 bit (black and white) for line art, 8 bits of grey for grey scans, 24 bits
    // for colour. Lines cut short at the end are dropped. No pixels when nothing complete came
    // or memory is short.
    OwnedDib finish() const;

    // Upper bound of the raw bytes kept, for tests; the memory budget by default.
    std::uint64_t byteLimit = 0;

private:
    struct Frame {
        FrameFormat format;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Frame> frames_;
    std::int64_t received_ = 0;
    std::uint64_t limit() const;
};

} // namespace scanner
