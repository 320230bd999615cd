#include "Codec.h"

namespace grafikrw3::codec {

Decoded decodePng(Bytes, const Limits&, ProgressReporter&) {
    Decoded out;
    fail(out, unsupportedText());
    return out;
}

bool encodePng(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&) {
    return false;
}

} // namespace grafikrw3::codec
