#include "Codec.h"

namespace grafikrw3::codec {

Decoded decodeTga(Bytes, const Limits&, ProgressReporter&) {
    Decoded out;
    fail(out, unsupportedText());
    return out;
}

bool encodeTga(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&) {
    return false;
}

} // namespace grafikrw3::codec
