#include "FontRecord.h"

#include <QtEndian>

namespace FontRecord {

namespace {

constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kItalic = 2;
constexpr std::uint8_t kUnderline = 4;
constexpr std::uint8_t kStrikeOut = 8;
constexpr int kMaxNameLength = 255;
// Sizes beyond these cannot come from a font dialog.
constexpr std::int32_t kMaxPointSize = 1638;
constexpr std::int32_t kMaxPixelsPerInch = 100000;

} // namespace

bool write(ByteWriter& out, const PageFont& font) {
    const QString name = font.font.family().left(kMaxNameLength);
    out.writeUInt8(font.charset);
    out.writeInt32(std::int32_t(font.color));
    out.writeUInt8(std::uint8_t(name.size()));
    for (QChar c : name) {
        std::uint8_t b[2];
        qToLittleEndian(c.unicode(), b);
        out.writeBytes(b, 2);
    }
    out.writeUInt8(font.pitch);
    out.writeInt32(font.pixelsPerInch);
    out.writeInt32(font.pointSize());
    const std::uint8_t style = (font.font.bold() ? kBold : 0) | (font.font.italic() ? kItalic : 0) |
                               (font.font.underline() ? kUnderline : 0) |
                               (font.font.strikeOut() ? kStrikeOut : 0);
    return out.writeUInt8(style);
}

bool read(ByteReader& in, PageFont& font) {
    std::uint8_t charset = 0;
    std::int32_t color = 0;
    std::uint8_t nameLength = 0;
    in.readUInt8(charset);
    in.readInt32(color);
    in.readUInt8(nameLength);
    std::uint8_t nameBytes[2 * kMaxNameLength];
    in.readBytes(nameBytes, 2 * std::int64_t(nameLength));
    std::uint8_t pitch = 0;
    std::int32_t pixelsPerInch = 0;
    std::int32_t size = 0;
    std::uint8_t style = 0;
    in.readUInt8(pitch);
    in.readInt32(pixelsPerInch);
    in.readInt32(size);
    in.readUInt8(style);
    if (!in.ok() || pitch > 2 || pixelsPerInch < 1 || pixelsPerInch > kMaxPixelsPerInch ||
        size < 1 || size > kMaxPointSize) {
        in.fail();
        return false;
    }
    QString name(nameLength, Qt::Uninitialized);
    for (int i = 0; i < nameLength; ++i) {
        name[i] = QChar(qFromLittleEndian<std::uint16_t>(nameBytes + 2 * i));
    }
    PageFont result;
    result.charset = charset;
    result.color = std::uint32_t(color);
    result.pitch = pitch;
    result.pixelsPerInch = pixelsPerInch;
    // Fonts that are not installed keep their name; Qt draws a similar face.
    result.font = QFont(name);
    result.font.setPointSize(size);
    result.font.setFixedPitch(pitch == 2);
    result.font.setBold(style & kBold);
    result.font.setItalic(style & kItalic);
    result.font.setUnderline(style & kUnderline);
    result.font.setStrikeOut(style & kStrikeOut);
    font = result;
    return true;
}

} // namespace FontRecord
