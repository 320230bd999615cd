#pragma once

#include "foundation/OwnedDib.h"
#include "foundation/Progress.h"
#include "foundation/recovery/RecoveryStore.h"

#include <QString>

class ImageDocument;

// The document's side of the editor's file commands: a new picture, reading a file into the
// document, writing it and binding it to that file and format.
namespace documentfiles {

// Bits per pixel of the depth list's entry (0: 1 bit, 1: 4, 2: 8, anything else 24).
int depthForEntry(int entry);

// A new picture of width x height at `bits` per pixel, every pixel byte 0xFF: white at 24 bits,
// otherwise the last palette index (white in the standard palettes of 4 and 8 bits, which the
// picture gets; a 1-bit picture has black and white). No pixels when it cannot be made.
OwnedDib newImage(std::int32_t width, std::int32_t height, int bits);

// The save format bound to a file name by its extension (the letters a to z taken as upper
// case), 0 when no format has that extension.
int saveFormatFor(const QString& fileName);

// Codes of the formats that need a JPEG quality before saving.
bool needsJpegQuality(int format);

// Reads `fileName` into the document: on success the previous image, selection, floating
// selection and undo entries go, the picture is installed under the file's name unchanged,
// and the document is bound to the file and its format (cansave only when the extension names
// a format). On failure the document keeps its image and `error` holds the reason.
bool openImageFile(ImageDocument& doc, const QString& fileName, QString& error,
                   const ProgressCallback& progress = {});

// Reads the recovery copy `copyPath` into the document as `description` says: under the
// document's title, bound to its file and format, and marked changed, so that saving writes it
// where it belongs. On failure the document keeps its image and `error` holds the reason.
bool restoreImageFile(ImageDocument& doc, const QString& copyPath,
                      const recovery::Description& description, QString& error);

// Writes the image to `fileName` in format `format`. A read-only file is made writable first.
// The file is replaced only when it is complete, so a failed save keeps the previous file. On
// success the document is unchanged and bound to the file and format; on failure nothing in
// the document changes.
bool saveImageFile(ImageDocument& doc, const QString& fileName, int format,
                   const ProgressCallback& progress = {});

// The caption of the message for a file that could not be read.
QString openFailureCaption(const QString& fileName);
// The text when a save failed.
QString saveFailureText();

} // namespace documentfiles
