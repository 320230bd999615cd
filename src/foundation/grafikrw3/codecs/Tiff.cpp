#include "Codec.h"

namespace grafikrw3::codec {

Decoded decodeTiff(Bytes, const Limits&, ProgressReporter&) {
    Decoded out;
    fail(out, unsupportedText());
    return out;
}

bool encodeTiff(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&) {
    return false;
}

} // namespace grafikrw3::codec
