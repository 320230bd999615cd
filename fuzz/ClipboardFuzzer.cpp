// Clipboard blocks come from any program: a picture block in any bitmap layout (or a PNG) and
// the selection-mask block. Reading must never crash or read outside the block; a picture that
// is read has a supported depth and converts to the depth of any image it is pasted into; a
// mask is only taken with all its rows.
#include "FuzzSupport.h"

#include "foundation/grafikrw3/grafikrw3.h"
#include "image/ClipboardPictures.h"

#include <QtEndian>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureFuzzApplication();
    const QByteArray block =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // The mask block, with the size its own header claims.
    if (size >= 12) {
        const auto width = qFromLittleEndian<std::int32_t>(data + 4);
        const auto height = qFromLittleEndian<std::int32_t>(data + 8);
        const OwnedDib mask = clipboard::readMask(block, width, height);
        if (mask && (DIBWidth(mask.get()) != width || DIBHeight(mask.get()) != height ||
                     DIBBitCount(mask.get()) != 1)) {
            std::abort();
        }
    }
    OwnedDib picture = clipboard::readPicture(block);
    if (!picture) {
        return 0;
    }
    if (!isSupportedBitCount(DIBBitCount(picture.get()))) {
        std::abort();
    }
    // Converting is linear in the pixels; the reading above is what is being fuzzed.
    if (std::int64_t(DIBWidth(picture.get())) * DIBHeight(picture.get()) > (1 << 16)) {
        return 0;
    }
    for (const int bits : {1, 4, 8, 24}) {
        OwnedDib reference;
        grafikrw3::newdib(&reference.get(), 2, 2, bits, nullptr, 0);
        OwnedDib copy = clipboard::readPicture(block);
        if (!clipboard::MakeCompatibleDib(reference.get(), copy) ||
            DIBBitCount(copy.get()) != bits) {
            std::abort();
        }
    }
    return 0;
}
