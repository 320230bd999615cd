#include "PictureBlock.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

namespace {

// The block up to its pixel rows into `out` (size, depth, colour table); `rowLength` is the
// length of a stored row.
FileStatus readHead(ByteReader& in, InPlace& out, BITMAPINFOHEADER& header,
                    std::int64_t& rowLength) {
    std::int32_t headerLength = 0;
    std::int32_t entries = 0;
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
    rowLength = grafikrw3::rowBytes(header.biWidth, bits);
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
    return FileStatus::Ok;
}

// A picture of `width` x `height` with the block's depth and colour table, owned by `out`.
bool makeOwn(InPlace& out, const BITMAPINFOHEADER& header, std::int32_t width,
             std::int32_t height) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{header, {}};
    std::copy_n(out.colors, out.entries, info.colors);
    dib picture;
    grafikrw3::newdib(&picture, width, height, out.bits, reinterpret_cast<const BITMAPINFO*>(&info),
                      out.entries);
    out.own.reset(picture);
    return picture.poi != nullptr;
}

// The pixel rows after readHead: in place when they fit the reader's buffer.
FileStatus readRows(ByteReader& in, InPlace& out, const BITMAPINFOHEADER& header,
                    std::int64_t rowLength) {
    const std::int64_t rowsBytes = std::int64_t(header.biHeight) * rowLength;
    if (rowsBytes <= in.viewLimit()) {
        out.bytew = std::int32_t(rowLength);
        out.rows = in.view(rowsBytes);
        return out.rows ? FileStatus::Ok : in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    if (!makeOwn(out, header, out.width, out.height)) {
        return FileStatus::NoMemory;
    }
    const dib& picture = out.own.get();
    if (!in.readBytes(picture.poi, rowsBytes)) {
        out.own.reset();
        return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    out.bytew = picture.bytew;
    out.rows = picture.poi;
    return FileStatus::Ok;
}

} // namespace

FileStatus readInPlace(ByteReader& in, InPlace& out) {
    BITMAPINFOHEADER header{};
    std::int64_t rowLength = 0;
    const FileStatus head = readHead(in, out, header, rowLength);
    return head == FileStatus::Ok ? readRows(in, out, header, rowLength) : head;
}

FileStatus readInPlace(ByteReader& in, InPlace& out, std::int32_t maxWidth,
                       std::int32_t maxHeight) {
    BITMAPINFOHEADER header{};
    std::int64_t rowLength = 0;
    const FileStatus head = readHead(in, out, header, rowLength);
    if (head != FileStatus::Ok) {
        return head;
    }
    const std::int32_t width = out.width;
    const std::int32_t height = out.height;
    if (width <= maxWidth && height <= maxHeight) {
        return readRows(in, out, header, rowLength);
    }
    // The largest size that fits, in the picture's proportions, as symbols are fitted.
    std::int32_t w = std::max(1, maxWidth);
    std::int32_t h = std::int32_t(std::int64_t(height) * w / width);
    if (h > maxHeight) {
        h = std::max(1, maxHeight);
        w = std::int32_t(std::int64_t(width) * h / height);
    }
    w = std::max(1, w);
    h = std::max(1, h);
    if (!makeOwn(out, header, w, h)) {
        return FileStatus::NoMemory;
    }
    dib& picture = out.own.get();
    std::vector<std::uint8_t> longRow;
    std::int64_t next = 0; // the stored row the stream is at, counted from the bottom
    for (std::int32_t k = h - 1; k >= 0; --k) {
        // Row k from the top shows row height * k / h, as a picture is drawn scaled; stored
        // rows run bottom up, so the rows are met in the order of the file.
        const std::int64_t stored = height - 1 - std::int64_t(height) * k / h;
        const std::uint8_t* row = nullptr;
        if (in.skip((stored - next) * rowLength)) {
            if (rowLength <= in.viewLimit()) {
                row = in.view(rowLength);
            } else {
                longRow.resize(std::size_t(rowLength));
                row = in.readBytes(longRow.data(), rowLength) ? longRow.data() : nullptr;
            }
        }
        if (!row) {
            out.own.reset();
            return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
        }
        next = stored + 1;
        std::uint8_t* target = grafikrw3::rowAt(picture, k);
        grafikrw3::forDepth(out.bits, [&](auto format) {
            for (std::int32_t x = 0; x < w; ++x) {
                format.put(target, x, format.get(row, std::int32_t(std::int64_t(width) * x / w)));
            }
        });
    }
    if (!in.skip((height - next) * rowLength)) {
        out.own.reset();
        return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
    }
    out.width = w;
    out.height = h;
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
