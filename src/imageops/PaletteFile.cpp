#include "PaletteFile.h"

#include "Depth.h"
#include "Palettes.h"
#include "foundation/AtomicSave.h"
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace imageops {

namespace {

const QString kLoadError = QStringLiteral("Fehler beim Laden der Palette!");

OpMessage error(const QString& text) {
    return OpMessage{MessageIcon::Error, text, {}};
}

std::uint16_t word(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

} // namespace

std::array<std::uint8_t, kPaletteFileSize> paletteFileBytes(const LPAL& pal) {
    std::array<std::uint8_t, kPaletteFileSize> bytes{};
    bytes[0] = std::uint8_t(pal.ver);
    bytes[1] = std::uint8_t(pal.ver >> 8);
    bytes[2] = std::uint8_t(pal.num);
    bytes[3] = std::uint8_t(pal.num >> 8);
    for (std::size_t i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = pal.pal[i];
        std::uint8_t* p = bytes.data() + 4 + 4 * i;
        p[0] = e.peRed;
        p[1] = e.peGreen;
        p[2] = e.peBlue;
        p[3] = e.peFlags;
    }
    return bytes;
}

PaletteFileContent parsePaletteFile(std::span<const std::uint8_t> bytes) {
    PaletteFileContent content;
    if (bytes.size() < kPaletteFileSize) {
        return content;
    }
    content.status = PaletteFileStatus::Illegal;
    const std::uint16_t num = word(bytes.data() + 2);
    if (bytes.size() > kPaletteFileSize || word(bytes.data()) != kPaletteVersion ||
        (num != 16 && num != 256)) {
        return content;
    }
    content.pal.ver = kPaletteVersion;
    content.pal.num = num;
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint8_t* p = bytes.data() + 4 + 4 * i;
        content.pal.pal[i] = PALETTEENTRY{p[0], p[1], p[2], p[3]};
    }
    content.status = PaletteFileStatus::Ok;
    return content;
}

PaletteFileContent readPaletteFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // One byte more than a palette tells a longer file from a palette file.
    const QByteArray bytes = file.read(qint64(kPaletteFileSize) + 1);
    if (file.error() != QFileDevice::NoError) {
        return {};
    }
    return parsePaletteFile(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size()));
}

bool writePaletteFile(const QString& path, const LPAL& pal) {
    const auto bytes = paletteFileBytes(pal);
    return saveAtomically(path, [&](QIODevice& file) {
               return file.write(reinterpret_cast<const char*>(bytes.data()),
                                 qint64(bytes.size())) == qint64(bytes.size());
           }) == SaveOutcome::Saved;
}

QString paletteFileFilter() {
    // Names on Linux keep their case: a palette saved as "x.pal" must show as well.
    return QStringLiteral("Vandrix Paletten|*.PAL;*.pal");
}

bool hasFilePalette(const dib& di) {
    const std::uint32_t colours = DIBColorCount(di);
    return di.poi && (colours == 16 || colours == 256);
}

PaletteCommandResult savepal(const dib& di, const QString& path) {
    PaletteCommandResult result;
    if (!hasFilePalette(di)) {
        return result;
    }
    // The file must be loadable again: its header says what the picture is.
    LPAL pal = di.pal;
    pal.ver = kPaletteVersion;
    pal.num = std::uint16_t(DIBColorCount(di));
    if (!writePaletteFile(path, pal)) {
        result.messages.append(error(QStringLiteral("Fehler beim Speichern der Palette!")));
        return result;
    }
    result.status = OpStatus::Done;
    return result;
}

PaletteCommandResult loadpal(dib& di, const QString& path) {
    PaletteCommandResult result;
    const PaletteFileContent content = readPaletteFile(path);
    if (content.status == PaletteFileStatus::ReadError) {
        result.messages.append(error(kLoadError));
        return result;
    }
    const std::uint32_t entries = hasFilePalette(di) ? DIBColorCount(di) : 0;
    if (content.status != PaletteFileStatus::Ok || content.pal.num != entries) {
        result.messages.append(
            error(QStringLiteral("Palette paßt nicht zum Bild oder illegale Palette!")));
        return result;
    }
    RGBQUAD* table = di.pmi->colors();
    for (std::uint32_t i = 0; i < entries; ++i) {
        const PALETTEENTRY& e = content.pal.pal[i];
        di.pal.pal[i] = e;
        table[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, table[i].rgbReserved};
    }
    result.status = OpStatus::Done;
    return result;
}

OpMessage loadpal0Question() {
    return OpMessage{
        MessageIcon::Question,
        QStringLiteral(
            "Wollen Sie das Bild durch Floyd-Steinberg Fehlerverteilung (Dithering) anpassen?"),
        QStringLiteral("Farbpalette laden?")};
}

PaletteCommandResult
loadpal0(dib& di, const QString& path,
         const std::function<std::optional<bool>(const OpMessage&)>& askErrorDiffusion,
         const ProgressCallback& progress) {
    PaletteCommandResult result;
    if (!di.poi) {
        return result;
    }
    const PaletteFileContent content = readPaletteFile(path);
    if (content.status != PaletteFileStatus::Ok) {
        result.messages.append(error(content.status == PaletteFileStatus::ReadError
                                         ? kLoadError
                                         : QStringLiteral("Illegale Palette!")));
        return result;
    }
    const int bits = content.pal.num == 16 ? 4 : 8;
    OwnedDib converted;
    grafikrw3::newdib(&converted.get(), DIBWidth(di), DIBHeight(di), bits, nullptr, 0);
    if (!converted) {
        result.status = OpStatus::NoMemory;
        result.messages.append(error(depthFailureText(OpStatus::NoMemory)));
        result.messages.append(error(kLoadError));
        return result;
    }
    std::vector<Rgb> colours(content.pal.num);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const PALETTEENTRY& e = content.pal.pal[i];
        colours[i] = Rgb{e.peRed, e.peGreen, e.peBlue};
    }
    setPaletteEntries(converted.get(), colours);
    converted->pal.num = content.pal.num;

    const std::optional<bool> diffuse =
        askErrorDiffusion ? askErrorDiffusion(loadpal0Question()) : false;
    if (!diffuse) {
        return result;
    }
    result.status = *diffuse ? FSErrorDither(di, converted.get(), progress)
                             : NearestColours(di, converted.get(), progress);
    if (result.status == OpStatus::Done) {
        FreeDIB(di);
        di = converted.release();
    }
    return result;
}

} // namespace imageops
