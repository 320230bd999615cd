#pragma once

#include "designer/StitchLibraryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

// The user's stitch library file; the test run has a data folder of its own.
inline QString libraryPath() {
    return StitchLibraryFile::dataFolder(
               QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), QString()) +
           StitchLibraryFile::kFileName;
}

// The next start finds an empty library, as a user who has deleted every stitch would; without
// a library file it would start with the standard stitches.
inline void writeEmptyLibrary() {
    QDir().mkpath(QFileInfo(libraryPath()).path());
    QFile file(libraryPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(QByteArray(4, '\0'));
    }
}
