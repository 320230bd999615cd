#include "Codec.h"

namespace grafikrw3::codec {

Decoded decodeBmp(Bytes, const Limits&, ProgressReporter&) {
    Decoded out;
    fail(out, unsupportedText());
    return out;
}

bool encodeBmp(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&) {
    return false;
}

} // namespace grafikrw3::codec
