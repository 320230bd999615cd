#include "ScanPicture.h"

#include "../Memory.h"
#include "../grafikrw3/PixelRows.h"
#include "../grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>

namespace scanner {

namespace {

// Sample s of a line as 0...255.
std::uint8_t sampleAt(const std::uint8_t* line, int depth, std::int64_t s) {
    switch (depth) {
    case 1:
        return ((line[s >> 3] >> (7 - (s & 7))) & 1u) ? 255 : 0;
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, line + 2 * s, 2); // the machine's byte order
        return std::uint8_t(v >> 8);
    }
    default:
        return line[s];
    }
}

std::int64_t completeLines(const FrameFormat& f, std::size_t bytes) {
    const std::int64_t whole = std::int64_t(bytes) / f.lineBytes;
    return f.lines >= 0 ? std::min<std::int64_t>(whole, f.lines) : whole;
}

int samplesPerPixel(FrameKind kind) {
    return kind == FrameKind::Rgb ? 3 : 1;
}

} // namespace

std::uint64_t ScanPicture::limit() const {
    return byteLimit ? byteLimit : memory::budgetBytes() / 2;
}

bool ScanPicture::beginFrame(const FrameFormat& format) {
    if ((format.depth != 1 && format.depth != 8 && format.depth != 16) || format.pixels < 1 ||
        format.pixels > 0x7fff'ffff / 48 || format.lineBytes < 1) {
        return false;
    }
    const std::int64_t needed =
        (std::int64_t(format.pixels) * samplesPerPixel(format.kind) * format.depth + 7) / 8;
    if (format.lineBytes < needed) {
        return false;
    }
    const bool channel = format.kind == FrameKind::Red || format.kind == FrameKind::Green ||
                         format.kind == FrameKind::Blue;
    for (const Frame& f : frames_) {
        const bool otherChannel = f.format.kind == FrameKind::Red ||
                                  f.format.kind == FrameKind::Green ||
                                  f.format.kind == FrameKind::Blue;
        // Only the channels of one colour picture come in several frames, all of one size.
        if (!channel || !otherChannel || f.format.kind == format.kind ||
            f.format.pixels != format.pixels || f.format.lines != format.lines) {
            return false;
        }
    }
    if (format.lines > 0 &&
        std::uint64_t(format.lines) * std::uint64_t(format.lineBytes) > limit()) {
        return false;
    }
    frames_.push_back({format, {}});
    if (format.lines > 0) {
        frames_.back().bytes.reserve(std::size_t(format.lines) * std::size_t(format.lineBytes));
    }
    return true;
}

bool ScanPicture::add(const std::uint8_t* data, std::size_t count) {
    if (frames_.empty()) {
        return false;
    }
    std::vector<std::uint8_t>& bytes = frames_.back().bytes;
    if (std::uint64_t(received_) + count > limit()) {
        return false;
    }
    bytes.insert(bytes.end(), data, data + count);
    received_ += std::int64_t(count);
    return true;
}

std::int64_t ScanPicture::expectedBytes() const {
    if (frames_.empty() || frames_.back().format.lines < 0) {
        return 0;
    }
    const FrameFormat& f = frames_.back().format;
    const bool channels = f.kind != FrameKind::Gray && f.kind != FrameKind::Rgb;
    return std::int64_t(f.lines) * f.lineBytes * (channels ? 3 : 1);
}

OwnedDib ScanPicture::finish() const {
    OwnedDib picture;
    if (frames_.empty()) {
        return picture;
    }
    const FrameFormat& first = frames_.front().format;
    std::int64_t lines = completeLines(first, frames_.front().bytes.size());
    for (const Frame& f : frames_) {
        lines = std::min(lines, completeLines(f.format, f.bytes.size()));
    }
    const bool separate = first.kind != FrameKind::Gray && first.kind != FrameKind::Rgb;
    if (lines < 1 || (separate && frames_.size() != 3)) {
        return picture;
    }
    const std::int32_t width = first.pixels;
    const auto height = std::int32_t(lines);
    if (first.kind == FrameKind::Gray) {
        const bool lineArt = first.depth == 1;
        grafikrw3::newdib(&picture.get(), width, height, lineArt ? 1 : 8, nullptr, 0);
        if (!picture) {
            return picture;
        }
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* line =
                frames_.front().bytes.data() + std::int64_t(y) * first.lineBytes;
            std::uint8_t* row = grafikrw3::rowAt(picture.get(), y);
            for (std::int32_t x = 0; x < width; ++x) {
                const std::uint8_t v = sampleAt(line, first.depth, x);
                // A set bit of line art is black, which is entry 0 of the picture's palette.
                grafikrw3::putIndex(row, lineArt ? 1 : 8, x, lineArt ? (v ? 0u : 1u) : v);
            }
        }
        return picture;
    }
    grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
    if (!picture) {
        return picture;
    }
    for (const Frame& f : frames_) {
        // Offset of the frame's channel in a picture pixel (blue, green, red).
        const int target = f.format.kind == FrameKind::Red     ? 2
                           : f.format.kind == FrameKind::Green ? 1
                                                               : 0;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* line = f.bytes.data() + std::int64_t(y) * f.format.lineBytes;
            std::uint8_t* row = grafikrw3::rowAt(picture.get(), y);
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* p = row + 3 * std::int64_t(x);
                if (f.format.kind == FrameKind::Rgb) {
                    p[2] = sampleAt(line, f.format.depth, 3 * std::int64_t(x));
                    p[1] = sampleAt(line, f.format.depth, 3 * std::int64_t(x) + 1);
                    p[0] = sampleAt(line, f.format.depth, 3 * std::int64_t(x) + 2);
                } else {
                    p[target] = sampleAt(line, f.format.depth, x);
                }
            }
        }
    }
    return picture;
}

} // namespace scanner
