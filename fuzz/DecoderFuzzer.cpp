// One image decoder, chosen at build time by DECODER, fed with hostile bytes: it must never
// crash, leak or read outside the input, and a picture it returns must be whole.
#include "FuzzSupport.h"
#include "foundation/grafikrw3/codecs/Codec.h"

#include <cstdlib>

using namespace grafikrw3::codec;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Limits limits;
    limits.maxPictureBytes = kFuzzMemoryBudget / 4;
    ProgressReporter progress;
    Decoded decoded = DECODER(Bytes(data, size), limits, progress);
    if (decoded.ok()) {
        const dib& d = decoded.picture;
        if (!isSupportedBitCount(DIBBitCount(d)) || DIBWidth(d) < 1 || DIBHeight(d) < 1 ||
            !decoded.error.isEmpty()) {
            std::abort();
        }
        // Touch the last pixel byte: the picture must be fully allocated.
        volatile std::uint8_t last = d.poi[std::int64_t(DIBHeight(d)) * d.bytew - 1];
        (void)last;
    } else if (decoded.error.isEmpty()) {
        std::abort(); // a failure must say why
    }
    FreeDIB(decoded.picture);
    return 0;
}
