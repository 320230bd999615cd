#pragma once

#include <QString>

#include <functional>

class QIODevice;

enum class SaveOutcome { Saved, CannotCreate, NotWritten };

// Writes `fileName` through `writeContent` into a temporary file beside it, which replaces the
// file only when everything was written and is on the disk: the previous file survives any
// failure, a full disk or a stopped save included. The content bypasses the file cache
// (DirectFileWriter), so large files are written at the speed of the disk.
SaveOutcome saveAtomically(const QString& fileName,
                           const std::function<bool(QIODevice&)>& writeContent);
