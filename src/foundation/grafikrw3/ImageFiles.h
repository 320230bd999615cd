#pragma once

#include "../AtomicSave.h"
#include "../Progress.h"
#include "../dib.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

// Image files of the image library: reading any known format, writing in a chosen one.
namespace grafikrw3 {

// Format codes of SaveDib: the position in the save filter plus 2.
enum class ImageFormat : int {
    Bmp = 3,
    Dib = 4,
    Gif = 5,
    Iff = 6,
    Jif = 7,
    Jpg = 8,
    Lbm = 9,
    Pcx = 10,
    Rle = 11,
    Tga = 12,
    Tif = 13,
    Png = 14,
};
constexpr int kFirstFormatCode = 3;
constexpr int kLastFormatCode = 14;

// Extension of a format code in upper case with its dot (".BMP"); empty for unknown codes.
QString formatExtension(int code);
// Format code for an extension ("bmp", ".Jpg" ...), 0 when no format has it.
int formatForExtension(const QString& extension);

// Reads the image file `fileName` into `out`. On failure `out` holds no picture and the
// record's palette carries the reason as a zero-terminated UTF-16 text (dibErrorText).
// `reserved` is 0. Progress is reported as a percentage.
void OpenDib(dib* out, const QString& fileName, int reserved = 0,
             const ProgressCallback& progress = {});

// Reads a picture from the whole content of a file held in memory, as OpenDib does; the format
// follows the content, and `nameHint`'s extension only where the content has no signature.
void OpenDibFromBytes(dib* out, const QByteArray& content, const QString& nameHint = {},
                      const ProgressCallback& progress = {});

// Writes a file of format `code` holding `picture` to `out`; false when it cannot be written.
// Safe on any thread for a picture no one changes meanwhile.
bool WriteDib(const dib& picture, QIODevice& out, int code, const ProgressCallback& progress = {});
// The bytes of a file of format `code` holding `picture`; empty when it cannot be written.
QByteArray SaveDibToBytes(const dib& picture, int code);

// Writes `picture` in the format `code` to `fileName` through a temporary file that replaces
// the target only when complete and on the disk (saveAtomically). Returns 1 on success, 0
// otherwise.
int SaveDib(const dib& picture, const QString& fileName, int code,
            const ProgressCallback& progress = {});

// Writes a picture file band by band while the picture is being made, so that the picture never
// needs to be whole in memory. Only formats whose files keep the rows one after another are
// written this way (PNG, TIFF, BMP/DIB/RLE, TGA, PCX); the bytes are those WriteDib writes for
// the whole picture.
class BandWriter {
public:
    // Whether format `code` is written band by band.
    static bool writesInBands(int code);

    // Writes `fileName` as SaveDib does (saveAtomically): `bands` hands a writer on the new file
    // all its bands; the file replaces `fileName` only when they were written and the file is
    // complete.
    static SaveOutcome save(const QString& fileName, int code, const dib& like, std::int32_t height,
                            const std::function<bool(BandWriter&)>& bands,
                            const ProgressCallback& progress = {});

    // Starts a file on `out` for a picture `height` rows high with the width, depth, colour
    // table and resolution of `like`. Progress counts the rows written.
    BandWriter(QIODevice& out, int code, const dib& like, std::int32_t height,
               const ProgressCallback& progress = {});
    ~BandWriter();
    BandWriter(const BandWriter&) = delete;
    BandWriter& operator=(const BandWriter&) = delete;

    // False when the file could not be started (a format not written in bands, a picture the
    // format cannot hold, a device that refuses the first bytes), and after any failure since.
    bool ok() const;
    // The bands come from the bottom of the picture up where the file keeps the bottom row
    // first (BMP, TGA), and from the top down otherwise.
    bool bottomUp() const;
    // Writes the rows of `band`, a picture of the same width and depth, as the next band.
    // False when writing failed or the user stopped it.
    bool write(const dib& band);
    // Writes what follows the last band; false when a row is missing or anything failed.
    bool finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Filter texts for file dialogs: description and pattern pairs separated by "|". The open
// filter starts with "Alle Bilddateien"; the save filter lists the formats in code order.
QString GetDIBOpenFilter();
QString GetDIBSaveFilter();

// Quality (1 to 99) of the next JPEG save.
void SetJPEGQual(int quality);

// The error text a failed OpenDib left in `picture`, and the way it is put there.
QString dibErrorText(const dib& picture);
void setDibErrorText(dib& picture, const QString& text);

} // namespace grafikrw3
