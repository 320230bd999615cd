#include "Codec.h"

namespace grafikrw3::codec {

Decoded decodeGif(Bytes, const Limits&, ProgressReporter&) {
    Decoded out;
    fail(out, unsupportedText());
    return out;
}

bool encodeGif(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&) {
    return false;
}

} // namespace grafikrw3::codec
