// Palette files come from anywhere: reading must never crash or read outside the input, only
// files of exactly one palette are taken, what was taken is written back byte for byte, and
// a picture converts to any palette so read.
#include "FuzzSupport.h"
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Depth.h"
#include "imageops/PaletteFile.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const imageops::PaletteFileContent content =
        imageops::parsePaletteFile(std::span<const std::uint8_t>(data, size));
    if (content.status != imageops::PaletteFileStatus::Ok) {
        return 0;
    }
    const auto bytes = imageops::paletteFileBytes(content.pal);
    if (size != bytes.size() || std::memcmp(bytes.data(), data, size) != 0) {
        std::abort();
    }
    // A small true-colour picture of every kind of colour, into the palette's depth.
    OwnedDib source;
    grafikrw3::newdib(&source.get(), 9, 5, 24, nullptr, 0);
    for (int i = 0; i < 45; ++i) {
        grafikrw3::setpixel(source.get(), i % 9, i / 9, std::uint32_t(i) * 0x05f3a7u);
    }
    const int bits = content.pal.num == 16 ? 4 : 8;
    OwnedDib target;
    grafikrw3::newdib(&target.get(), 9, 5, bits, nullptr, 0);
    for (int i = 0; i < (1 << bits); ++i) {
        const PALETTEENTRY e = content.pal.pal[i];
        target->pal.pal[i] = PALETTEENTRY{e.peRed, e.peGreen, e.peBlue, 0};
        target->pmi->colors()[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
    if (imageops::FSErrorDither(source.get(), target.get()) != imageops::OpStatus::Done ||
        imageops::NearestColours(source.get(), target.get()) != imageops::OpStatus::Done) {
        std::abort();
    }
    return 0;
}
