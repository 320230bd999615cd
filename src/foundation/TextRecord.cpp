#include "TextRecord.h"

#include "Memory.h"
#include "OwnedText.h"

#include <QtEndian>

bool WriteTextRecord(ByteWriter& out, const char16_t* text) {
    const qsizetype length = ownedTextLength(text);
    if (length > 0x7fffffff) {
        return false;
    }
    out.writeInt32(std::int32_t(length));
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        return out.writeBytes(text, length * 2);
    }
    for (qsizetype i = 0; i < length; ++i) {
        std::uint8_t b[2];
        qToLittleEndian(std::uint16_t(text[i]), b);
        out.writeBytes(b, 2);
    }
    return out.ok();
}

char16_t* ReadTextRecord(ByteReader& in) {
    std::int32_t length = 0;
    if (!in.readInt32(length)) {
        return nullptr;
    }
    // Check before allocating: the characters must be in the rest of the file.
    if (length < 0 || std::int64_t(length) * 2 > in.remaining()) {
        in.fail();
        return nullptr;
    }
    auto* text = static_cast<char16_t*>(memory::allocZeroed((std::size_t(length) + 1) * 2));
    if (!text) {
        in.fail();
        return nullptr;
    }
    if (!in.readBytes(text, std::int64_t(length) * 2)) {
        memory::release(text);
        return nullptr;
    }
    if constexpr (Q_BYTE_ORDER != Q_LITTLE_ENDIAN) {
        for (std::int32_t i = 0; i < length; ++i) {
            text[i] = char16_t(qFromLittleEndian<std::uint16_t>(&text[i]));
        }
    }
    return text;
}
