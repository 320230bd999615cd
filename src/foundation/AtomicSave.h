#pragma once

#include <QString>

#include <functional>

class QIODevice;

enum class SaveOutcome { Saved, CannotCreate, NotWritten };

// How the content is written: in one pass (the usual case, past the file cache), or with seeks
// back into what was written (formats whose header points at later parts, such as TIFF).
enum class SaveAccess { Sequential, Seekable };

// Writes `fileName` through `writeContent` into a temporary file beside it, which replaces the
// file only when everything was written and is on the disk: the previous file survives any
// failure, a full disk, a stopped save or a power cut included. The content is forced to the
// disk before the temporary file takes the name, and the folder entry after it; a failure of
// either counts as a failed save and puts the previous file back. (Only where the file system
// cannot swap two names atomically does a failed folder sync leave the new, complete file.)
// A file that is a symbolic link is written where the link points; a replaced file keeps its
// permissions. Sequential content bypasses the file cache (DirectFileWriter), so large files
// are written at the speed of the disk.
SaveOutcome saveAtomically(const QString& fileName,
                           const std::function<bool(QIODevice&)>& writeContent,
                           SaveAccess access = SaveAccess::Sequential);

// The part of a temporary file's name after the file's own name; recognises the leftovers of a
// save that a crash interrupted.
QString temporarySaveSuffix();

namespace filesync {

// What a save forces to the disk: the file's content, or the folder entry that names it.
enum class Target { File, Folder };

// Test hook: while set, `sync` stands in for fsync(2) (0 on success, -1 with errno set).
using SyncFunction = int (*)(Target target, int fd);
void setSyncFunction(SyncFunction sync);
void resetSyncFunction();

} // namespace filesync
