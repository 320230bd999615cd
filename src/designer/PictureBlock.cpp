#include "PictureBlock.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>

namespace PictureBlock {

namespace {

// A stitch without picture is stored with a blank one, so that the file stays readable.
dib blankPicture() {
    dib d;
    grafikrw3::newdib(&d, 1, 1, 24, nullptr, 0);
    if (d.poi) {
        grafikrw3::setpixel(d, 0, 0, 0xffffff);
    }
    return d;
}

void writeHeader(ByteWriter& out, const BITMAPINFOHEADER& h) {
    out.writeInt32(std::int32_t(h.biSize));
    out.writeInt32(h.biWidth);
    out.writeInt32(h.biHeight);
    out.writeUInt8(std::uint8_t(h.biPlanes));
    out.writeUInt8(std::uint8_t(h.biPlanes >> 8));
    out.writeUInt8(std::uint8_t(h.biBitCount));
    out.writeUInt8(std::uint8_t(h.biBitCount >> 8));
    out.writeInt32(std::int32_t(h.biCompression));
    out.writeInt32(std::int32_t(h.biSizeImage));
    out.writeInt32(h.biXPelsPerMeter);
    out.writeInt32(h.biYPelsPerMeter);
    out.writeInt32(std::int32_t(h.biClrUsed));
    out.writeInt32(std::int32_t(h.biClrImportant));
}

bool readUInt16(ByteReader& in, std::uint16_t& value) {
    std::uint8_t b[2];
    if (!in.readBytes(b, 2)) {
        return false;
    }
    value = std::uint16_t(b[0] | (b[1] << 8));
    return true;
}

bool readHeader(ByteReader& in, BITMAPINFOHEADER& h) {
    std::int32_t v[9] = {};
    in.readInt32(v[0]);
    in.readInt32(h.biWidth);
    in.readInt32(h.biHeight);
    readUInt16(in, h.biPlanes);
    readUInt16(in, h.biBitCount);
    for (int i = 1; i < 7; ++i) {
        in.readInt32(v[i]);
    }
    h.biSize = std::uint32_t(v[0]);
    h.biCompression = std::uint32_t(v[1]);
    h.biSizeImage = std::uint32_t(v[2]);
    h.biXPelsPerMeter = v[3];
    h.biYPelsPerMeter = v[4];
    h.biClrUsed = std::uint32_t(v[5]);
    h.biClrImportant = std::uint32_t(v[6]);
    return in.ok();
}

} // namespace

std::int64_t size(const dib& picture) {
    if (!picture.poi) {
        return 8 + 40 + 4; // the blank 1 x 1 picture
    }
    return 8 + 40 + 4 * std::int64_t(DIBColorTableSize(picture)) +
           std::int64_t(DIBHeight(picture)) * picture.bytew;
}

bool write(ByteWriter& out, const dib& picture) {
    if (!picture.poi) {
        dib blank = blankPicture();
        const bool ok = blank.poi && write(out, blank);
        FreeDIB(blank);
        return ok;
    }
    const std::int32_t entries = std::int32_t(DIBColorTableSize(picture));
    out.writeInt32(40 + 4 * entries);
    out.writeInt32(entries);
    writeHeader(out, picture.pmi->bmiHeader);
    const RGBQUAD* colors = picture.pmi->colors();
    for (std::int32_t i = 0; i < entries; ++i) {
        out.writeBytes(&colors[i], 4);
    }
    return out.writeBytes(picture.poi, std::int64_t(DIBHeight(picture)) * picture.bytew);
}

FileStatus readInPlace(ByteReader& in, InPlace& out) {
    std::int32_t headerLength = 0;
    std::int32_t entries = 0;
    BITMAPINFOHEADER header{};
    if (!in.readInt32(headerLength) || !in.readInt32(entries) ||
        headerLength != 40 + 4 * std::int64_t(entries) || !readHeader(in, header)) {
        return FileStatus::Damaged;
    }
    const int bits = header.biBitCount;
    const std::int32_t expectedEntries = bits <= 8 ? (1 << bits) : 0;
    if (!isSupportedBitCount(bits) || entries != expectedEntries || header.biWidth < 1 ||
        header.biHeight < 1) {
        return FileStatus::Damaged;
    }
    const std::int64_t rowLength = grafikrw3::rowBytes(header.biWidth, bits);
    if (rowLength < 0 || in.remaining() < std::int64_t(entries) * 4 ||
        (in.remaining() - std::int64_t(entries) * 4) / rowLength < header.biHeight) {
        return FileStatus::Damaged; // the rows cannot be in the rest of the file
    }
    if (!in.readBytes(out.colors, std::int64_t(entries) * 4)) {
        return FileStatus::Damaged;
    }
    out.width = header.biWidth;
    out.height = header.biHeight;
    out.bits = bits;
    out.entries = entries;
    const std::int64_t rowsBytes = std::int64_t(header.biHeight) * rowLength;
    if (rowsBytes <= in.viewLimit()) {
        out.bytew = std::int32_t(rowLength);
        out.rows = in.view(rowsBytes);
        return out.rows ? FileStatus::Ok : in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    // Header and colour table as a picture information block, the colour-table source.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{header, {}};
    std::copy_n(out.colors, entries, info.colors);
    dib picture;
    grafikrw3::newdib(&picture, header.biWidth, header.biHeight, bits,
                      reinterpret_cast<const BITMAPINFO*>(&info), entries);
    out.own.reset(picture);
    if (!picture.poi) {
        return FileStatus::NoMemory;
    }
    if (!in.readBytes(picture.poi, rowsBytes)) {
        out.own.reset();
        return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    out.bytew = picture.bytew;
    out.rows = picture.poi;
    return FileStatus::Ok;
}

FileStatus read(ByteReader& in, dib& out) {
    InPlace block;
    const FileStatus status = readInPlace(in, block);
    if (status != FileStatus::Ok) {
        return status;
    }
    if (block.own) {
        out = block.own.release();
        return FileStatus::Ok;
    }
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    std::copy_n(block.colors, block.entries, info.colors);
    grafikrw3::newdib(&out, block.width, block.height, block.bits,
                      reinterpret_cast<const BITMAPINFO*>(&info), block.entries);
    if (!out.poi) {
        return FileStatus::NoMemory;
    }
    std::memcpy(out.poi, block.rows, std::size_t(block.height) * std::size_t(block.bytew));
    return FileStatus::Ok;
}

} // namespace PictureBlock
