// stiche.dat may be damaged: reading keeps the complete stitches and never crashes.
#include "FuzzSupport.h"
#include "designer/ChartDocument.h"
#include "designer/StitchLibraryFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureFuzzApplication();
    FuzzInput input(data, size);
    ChartDocument doc;
    const StitchLibraryFile::ReadResult result =
        StitchLibraryFile::read(input.device(), input.size(), doc.stiche);
    if (result.read != std::int32_t(doc.stiche.count)) {
        std::abort();
    }
    for (const TStich& s : doc.stiche) {
        if (!s.di.poi || !s.bezeichnung) {
            std::abort(); // a half-read stitch entered the library
        }
    }
    // What was read is written and read back as the same library.
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    StitchLibraryFile::write(written, doc.stiche);
    written.close();
    written.open(QIODevice::ReadOnly);
    ChartDocument again;
    if (StitchLibraryFile::read(written, written.size(), again.stiche).status != FileStatus::Ok ||
        again.stiche.count != doc.stiche.count) {
        std::abort();
    }
    return 0;
}
