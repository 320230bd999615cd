#pragma once

#include "ImageOp.h"
#include "OpMessage.h"
#include "foundation/dib.h"

#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

// Palette files: the 1028-byte image of a logical palette (version 0x300, the number of
// entries in use, 16 or 256, then 256 entries of red, green, blue and flags), little-endian.
// The document's three palette commands are functions here; the editor window asks for the
// file name and shows the messages they return.
namespace imageops {

inline constexpr std::size_t kPaletteFileSize = 1028;
inline constexpr std::uint16_t kPaletteVersion = 0x300;

enum class PaletteFileStatus {
    Ok,
    ReadError, // the file could not be read, or it is shorter than a palette
    Illegal,   // not a palette file: longer than one, another version, neither 16 nor 256 entries
};

struct PaletteFileContent {
    PaletteFileStatus status = PaletteFileStatus::ReadError;
    LPAL pal{}; // when Ok
};

// The bytes of a palette file holding `pal` (all 256 entries, whatever `num` says).
std::array<std::uint8_t, kPaletteFileSize> paletteFileBytes(const LPAL& pal);
// Reads those bytes; nothing beyond `bytes` is touched.
PaletteFileContent parsePaletteFile(std::span<const std::uint8_t> bytes);

PaletteFileContent readPaletteFile(const QString& path);
// Replaces the file only when every byte was written; false on any failure.
[[nodiscard]] bool writePaletteFile(const QString& path, const LPAL& pal);

// The filter of the palette file dialogs, in the form filedialogs takes, and the extension they
// propose.
QString paletteFileFilter();
inline constexpr const char* kPaletteFileSuffix = "PAL";

// Whether the picture's palette can be saved to or loaded from a palette file (16 or 256
// colours); the commands do nothing for other pictures.
bool hasFilePalette(const dib& di);

struct PaletteCommandResult {
    OpStatus status = OpStatus::Unchanged; // Done: the picture (or the file) was changed
    QList<OpMessage> messages;             // to show in this order
};

// "Palette speichern": writes the picture's logical palette to `path`.
[[nodiscard]] PaletteCommandResult savepal(const dib& di, const QString& path);

// "Palette laden": gives a 16- or 256-colour picture the colours of a palette file with as many
// entries; the pixels keep their indexes. Done: the document re-applies col1 and col2 (so that
// the swatches show the new colours) and repaints the palette panel.
[[nodiscard]] PaletteCommandResult loadpal(dib& di, const QString& path);

// The question "Palette laden + Bild anpassen" asks before it converts: Yes (true) for error
// diffusion, No for the nearest colour.
OpMessage loadpal0Question();

// "Palette laden + Bild anpassen": converts the picture (any depth) to the palette of the file,
// 4 bits for 16 entries and 8 bits for 256. `askErrorDiffusion` shows loadpal0Question() and
// returns true for Yes, false for No, and nothing when the user dismissed the question: then
// nothing changes (status Unchanged). It is asked only when the file is good and before `di`
// changes, so the caller records its undo step once it has the answer. Done: `di` is the new
// picture; the document sets col1 to 0 and col2 to lastColour(new depth) and repaints the
// palette panel.
[[nodiscard]] PaletteCommandResult
loadpal0(dib& di, const QString& path,
         const std::function<std::optional<bool>(const OpMessage&)>& askErrorDiffusion,
         const ProgressCallback& progress = {});

} // namespace imageops
