#pragma once

#include "foundation/OwnedDib.h"

#include <QByteArray>
#include <QRect>
#include <QString>

// The picture and selection-mask blocks the editor exchanges through the clipboard, built and
// read without the clipboard itself. Pictures travel as device-independent bitmaps (with file
// header as image/bmp, and as PNG for programs that prefer it); the shape of a selection
// travels beside them in the program's own mask block. Everything read here comes from other
// programs and is treated as hostile: sizes and offsets are checked before use.
namespace clipboard {

// The clipboard format of the mask block, registered under kSelectionFormatName.
inline constexpr char kSelectionFormatName[] = "VANDRIX_SELECTION";
inline constexpr char kSelectionMime[] = "application/x-vandrix-selection";
inline constexpr char kBmpMime[] = "image/bmp";
inline constexpr char kPngMime[] = "image/png";

// Bytes of the mask block before its rows: header, two colours and four unused bytes.
inline constexpr int kMaskRowsOffset = 52;

// The packed bitmap (40-byte header, colour table, bottom-up rows) of a 1-, 4-, 8- or 24-bit
// picture, and the same behind a 14-byte file header. Empty when the picture has no pixels.
QByteArray packedDib(const dib& picture);
QByteArray bmpFile(const dib& picture);

// The picture in a clipboard block: a bitmap with or without file header in any layout the
// bitmap reader knows (header sizes, short colour tables, bit fields, 2, 16 or 32 bits,
// top-down rows, run lengths) or a PNG, read into a picture of 1, 4, 8 or 24 bits. No pixels,
// and the reason in `error`, when the block is damaged or does not fit into memory.
OwnedDib readPicture(const QByteArray& block, QString* error = nullptr);

// The mask block of a 1-bit mask, and the mask in such a block when it is exactly a
// `width` x `height` 1-bit bitmap with all its rows present; no pixels otherwise.
QByteArray maskBlock(const dib& mask);
OwnedDib readMask(const QByteArray& block, std::int32_t width, std::int32_t height);

// The part of `image` inside `rect` (within the image) as a picture of the image's
// depth and colour table, and, when `mask` is given, the mask's part as a 1-bit picture. The
// whole rectangle is copied, also where the mask holds 0. Pictures without pixels when memory
// is short.
struct Region {
    OwnedDib picture;
    OwnedDib mask;
};
Region copyRegion(const dib& image, const dib* mask, const QRect& rect);

// Converts `picture` in place to the depth and colour table of `reference`: palette pictures
// take the nearest entry of the reference's palette to each pixel's colour, 24-bit pictures
// the colour itself. False, with the picture unchanged, when memory is short or either has no
// pixels.
bool MakeCompatibleDib(const dib& reference, OwnedDib& picture);

} // namespace clipboard
