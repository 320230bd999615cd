#pragma once

#include "FilterType.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

class QIODevice;

// The file of the user-defined filters, UserFilt.dat: the magic number 0x00051A7E, the count N
// (both 32-bit, little-endian) and N filter records of 1136 bytes, in list order.
namespace userfilters {

constexpr std::uint32_t kMagic = 0x00051A7E;
inline const QString kFileName = QStringLiteral("UserFilt.dat");

enum class ReadStatus {
    Ok,       // a complete, sound file (or none at all: an empty list)
    Damaged,  // something was wrong; the filters that could be taken are in the list
    NoMemory, // the list could not grow; the filters read so far are in the list
};

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    bool foreign = false;             // the file does not start with the magic number
    bool badCount = false;            // N is missing or negative
    std::int32_t declared = 0;        // N as the file gives it
    std::int32_t complete = 0;        // records present in full
    std::vector<QString> zeroDivisor; // names of records left out for their divisor of 0
    bool trailingBytes = false;       // bytes after the last record
};

// Reads a file of `size` bytes. Only complete records with a non-zero divisor enter `filters`
// (which is cleared first); everything else is described in the result.
ReadResult read(QIODevice& in, std::int64_t size, std::vector<filtertype>& filters);
ReadResult read(const QByteArray& bytes, std::vector<filtertype>& filters);

// The file's bytes for `filters`; records with a divisor of 0 are never written.
QByteArray toBytes(const std::vector<filtertype>& filters);

// A German message about a damaged file, or empty when it is sound. `backupPath` names the
// copy of the damaged file, empty when none could be made.
QString damageReport(const ReadResult& result, const QString& path, const QString& backupPath);

// The list as the dialog opens it, from the file at `path` (a missing file is an empty list).
// A damaged file is copied to `path` + ".beschaedigt" before anything else happens; when that
// copy fails, `mayOverwrite` is false and the damaged file must stay as it is.
struct Loaded {
    std::vector<filtertype> filters;
    QString message; // for the user, empty when all is well
    bool mayOverwrite = true;
};
Loaded load(const QString& path);

// Writes the list to `path` in one piece (a crash leaves the old file), creating its folder.
bool save(const QString& path, const std::vector<filtertype>& filters);

// Where the file lives: the program's folder while the program may write there (a program
// unpacked into a folder of its own), otherwise the per-user data folder that also holds the
// stitch library (an installed program). Both folders end in a separator.
QString filePath(const QString& programFolder, const QString& userDataFolder);

// filePath for this program: its own folder and
// <per-user data folder>/Orvenal/Tessaplan-Designer/.
QString defaultFilePath();

} // namespace userfilters
