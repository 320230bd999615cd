#pragma once

#include "designer/FileStatus.h"
#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QString>

#include <cstdint>

class QIODevice;

// The stitch library file stiche.dat: int32 N, then N stitches, each four text records, the
// int32 width in cells and the picture block.
namespace StitchLibraryFile {

inline const QString kFileName = QStringLiteral("stiche.dat");

// The per-user data folder of the program: `dataLocation` (the platform's per-user data
// folder; `fallback` when that is unknown) followed by "Orvenal/Tessaplan-Designer/", ending
// in a separator.
QString dataFolder(const QString& dataLocation, const QString& fallback);

bool write(QIODevice& out, const TDynaArrayOf<TStich>& stiche);

struct ReadResult {
    FileStatus status = FileStatus::Ok;
    // N from the file; 0 when the file is too short to hold that many stitches, for then N is
    // no count but damage.
    std::int32_t declared = 0;
    std::int32_t read = 0; // stitches appended
};

// Appends the stitches of a library file of `size` bytes to `stiche`. Only complete stitches
// enter the library: on a damaged or truncated file the stitches read so far stay.
ReadResult read(QIODevice& in, std::int64_t size, TDynaArrayOf<TStich>& stiche);

// Keeps a copy of the damaged library file `path` for rescue, since the next change of the
// library replaces the file. The first copy is `path` + ".beschaedigt", later ones are
// numbered (".beschaedigt-2", ...), so that no earlier copy is lost; a copy with the same
// content is used again. Returns the copy's name, empty when none could be made.
QString keepDamagedCopy(const QString& path);

} // namespace StitchLibraryFile
