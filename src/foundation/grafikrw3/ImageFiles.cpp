#include "ImageFiles.h"

#include "../AtomicSave.h"
#include "../Memory.h"
#include "codecs/Codec.h"
#include "grafikrw3.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <atomic>
#include <vector>

namespace grafikrw3 {

namespace {

using namespace codec;

using Decoder = Decoded (*)(Bytes, const Limits&, ProgressReporter&);
using Encoder = bool (*)(const dib&, QIODevice&, const EncodeOptions&, ProgressReporter&);

struct FormatEntry {
    int code;
    const char* extension;
    const char* description;
    Decoder decode;
    Encoder encode;
    RowEncoderStart rows; // for formats that can be written band by band
};

// In code order; the save filter follows it.
const std::array<FormatEntry, 12> kFormats{{
    {3, ".BMP", "Windows-Bitmap", decodeBmp, encodeBmp, startBmpRows},
    {4, ".DIB", "Geräteunabhängige Bitmap", decodeBmp, encodeBmp, startBmpRows},
    {5, ".GIF", "CompuServe GIF", decodeGif, encodeGif, nullptr},
    {6, ".IFF", "Amiga IFF", decodeIlbm, encodeIlbm, nullptr},
    {7, ".JIF", "JPEG (JIF)", decodeJpeg, encodeJpeg, nullptr},
    {8, ".JPG", "JPEG", decodeJpeg, encodeJpeg, nullptr},
    {9, ".LBM", "Deluxe Paint LBM", decodeIlbm, encodeIlbm, nullptr},
    {10, ".PCX", "ZSoft PCX", decodePcx, encodePcx, startPcxRows},
    {11, ".RLE", "Windows-Bitmap, RLE-komprimiert", decodeBmp, encodeBmp, startBmpRows},
    {12, ".TGA", "Truevision Targa", decodeTga, encodeTga, startTgaRows},
    {13, ".TIF", "TIFF", decodeTiff, encodeTiff, startTiffRows},
    {14, ".PNG", "Portable Network Graphics", decodePng, encodePng, startPngRows},
}};

// Further extensions the open filter offers for the same decoders.
const char* const kExtraOpenPatterns[] = {".JPEG", ".JPE", ".TIFF"};

// Read by writers on other threads (recovery copies) while the window may set it.
std::atomic<int> jpegQuality{75};

// Room for the error text in a picture's palette, terminator included.
constexpr std::size_t kPaletteBytes = sizeof(LPAL::pal);
constexpr qsizetype kErrorTextUnits = qsizetype(kPaletteBytes / sizeof(char16_t));

const FormatEntry* entryFor(int code) {
    for (const FormatEntry& e : kFormats) {
        if (e.code == code) {
            return &e;
        }
    }
    return nullptr;
}

bool startsWith(Bytes data, const char* magic, std::size_t offset = 0) {
    const std::size_t n = std::strlen(magic);
    return data.size() >= offset + n && std::memcmp(data.data() + offset, magic, n) == 0;
}

// The decoder for the file's content; the extension decides only for formats without a
// signature (Targa).
Decoder decoderFor(Bytes data, const QString& fileName) {
    if (startsWith(data, "BM")) {
        return decodeBmp;
    }
    if (startsWith(data, "GIF8")) {
        return decodeGif;
    }
    if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return decodeJpeg;
    }
    if (startsWith(data, "\x89PNG\r\n\x1a\n")) {
        return decodePng;
    }
    // Classic TIFF (42) and BigTIFF (43), in either byte order.
    for (const std::uint8_t version : {std::uint8_t(42), std::uint8_t(43)}) {
        const std::uint8_t intel[] = {'I', 'I', version, 0};
        const std::uint8_t motorola[] = {'M', 'M', 0, version};
        if (data.size() >= 4 && (std::memcmp(data.data(), intel, 4) == 0 ||
                                 std::memcmp(data.data(), motorola, 4) == 0)) {
            return decodeTiff;
        }
    }
    if (startsWith(data, "FORM") && (startsWith(data, "ILBM", 8) || startsWith(data, "PBM ", 8))) {
        return decodeIlbm;
    }
    const int code = formatForExtension(QFileInfo(fileName).suffix());
    if (code == int(ImageFormat::Tga)) {
        return decodeTga;
    }
    if (data.size() >= 4 && data[0] == 0x0A && data[1] <= 5 && data[2] == 1) {
        return decodePcx;
    }
    if (const FormatEntry* e = entryFor(code)) {
        return e->decode;
    }
    return nullptr;
}

QString patternsFor(const char* extension) {
    const QString upper = QString::fromLatin1(extension);
    return QStringLiteral("*") + upper.toLower() + QStringLiteral(";*") + upper;
}

EncodeOptions encodeOptions(int code) {
    EncodeOptions options;
    options.jpegQuality = jpegQuality;
    options.rle = code == int(ImageFormat::Rle);
    return options;
}

// TIFF points back at its directory from the start of the file; the others are written in one
// pass.
SaveAccess saveAccess(int code) {
    return code == int(ImageFormat::Tif) ? SaveAccess::Seekable : SaveAccess::Sequential;
}

} // namespace

QString formatExtension(int code) {
    const FormatEntry* e = entryFor(code);
    return e ? QString::fromLatin1(e->extension) : QString();
}

int formatForExtension(const QString& extension) {
    QString dotted =
        extension.startsWith(QLatin1Char('.')) ? extension : QLatin1Char('.') + extension;
    dotted = dotted.toUpper();
    for (const FormatEntry& e : kFormats) {
        if (dotted == QLatin1String(e.extension)) {
            return e.code;
        }
    }
    return 0;
}

QString dibErrorText(const dib& picture) {
    const auto* units = reinterpret_cast<const char16_t*>(picture.pal.pal);
    qsizetype length = 0;
    while (length < kErrorTextUnits && units[length] != 0) {
        ++length;
    }
    return QString::fromUtf16(units, length);
}

void setDibErrorText(dib& picture, const QString& text) {
    std::memset(picture.pal.pal, 0, sizeof picture.pal.pal);
    const qsizetype length = std::min(text.size(), kErrorTextUnits - 1);
    std::memcpy(picture.pal.pal, text.utf16(), std::size_t(length) * sizeof(char16_t));
}

void OpenDib(dib* out, const QString& fileName, int, const ProgressCallback& progress) {
    *out = dib{};
    auto failWith = [out](const QString& text) {
        FreeDIB(*out);
        *out = dib{};
        setDibErrorText(*out, text);
    };
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        failWith(QStringLiteral("Die Datei konnte nicht geöffnet werden."));
        return;
    }
    // The file and the picture it holds must both fit.
    const std::uint64_t budget = memory::budgetBytes();
    if (std::uint64_t(file.size()) > budget / 2) {
        failWith(tooLargeText());
        return;
    }
    const QByteArray content = file.readAll();
    if (content.size() != file.size()) {
        failWith(QStringLiteral("Die Datei konnte nicht gelesen werden."));
        return;
    }
    OpenDibFromBytes(out, content, fileName, progress);
}

void OpenDibFromBytes(dib* out, const QByteArray& content, const QString& nameHint,
                      const ProgressCallback& progress) {
    *out = dib{};
    auto failWith = [out](const QString& text) {
        FreeDIB(*out);
        *out = dib{};
        setDibErrorText(*out, text);
    };
    const std::uint64_t budget = memory::budgetBytes();
    if (std::uint64_t(content.size()) >= budget) {
        failWith(tooLargeText());
        return;
    }
    const Bytes data(reinterpret_cast<const std::uint8_t*>(content.constData()),
                     std::size_t(content.size()));
    const Decoder decode = decoderFor(data, nameHint);
    if (!decode) {
        failWith(damagedText());
        return;
    }
    Limits limits;
    limits.maxPictureBytes = std::int64_t(
        std::min<std::uint64_t>(kMaxImageBytes, budget - std::uint64_t(content.size())));
    ProgressReporter reporter(progress);
    Decoded decoded = decode(data, limits, reporter);
    if (!decoded.ok()) {
        failWith(decoded.error.isEmpty() ? damagedText() : decoded.error);
        return;
    }
    *out = decoded.picture;
}

bool WriteDib(const dib& picture, QIODevice& out, int code, const ProgressCallback& progress) {
    const FormatEntry* e = entryFor(code);
    if (!e || !picture.poi || !isSupportedBitCount(DIBBitCount(picture))) {
        return false;
    }
    ProgressReporter reporter(progress);
    return e->encode(picture, out, encodeOptions(code), reporter);
}

QByteArray SaveDibToBytes(const dib& picture, int code) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return WriteDib(picture, buffer, code) ? bytes : QByteArray();
}

int SaveDib(const dib& picture, const QString& fileName, int code,
            const ProgressCallback& progress) {
    if (!entryFor(code) || !picture.poi || !isSupportedBitCount(DIBBitCount(picture))) {
        return 0;
    }
    const SaveOutcome outcome = saveAtomically(
        fileName, [&](QIODevice& out) { return WriteDib(picture, out, code, progress); },
        saveAccess(code));
    return outcome == SaveOutcome::Saved ? 1 : 0;
}

struct BandWriter::State {
    std::unique_ptr<RowEncoder> encoder;
    PictureHeader header;
    std::vector<RGBQUAD> colors; // the header's, kept for the writer's life
    std::int32_t rowsWritten = 0;
    ProgressReporter progress;
    bool failed = false;
};

bool BandWriter::writesInBands(int code) {
    const FormatEntry* e = entryFor(code);
    return e && e->rows;
}

BandWriter::BandWriter(QIODevice& out, int code, const dib& like, std::int32_t height,
                       const ProgressCallback& progress)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.progress = ProgressReporter(progress);
    const FormatEntry* e = entryFor(code);
    s.header = headerOf(like);
    s.header.height = height;
    if (s.header.colors && s.header.bits <= 8) {
        s.colors.assign(s.header.colors, s.header.colors + (1 << s.header.bits));
        s.header.colors = s.colors.data();
    }
    if (e && e->rows && like.poi && isSupportedBitCount(s.header.bits) && height > 0) {
        s.encoder = e->rows(s.header, out, encodeOptions(code));
    }
    s.failed = !s.encoder;
}

BandWriter::~BandWriter() = default;

SaveOutcome BandWriter::save(const QString& fileName, int code, const dib& like,
                             std::int32_t height, const std::function<bool(BandWriter&)>& bands,
                             const ProgressCallback& progress) {
    return saveAtomically(
        fileName,
        [&](QIODevice& out) {
            BandWriter writer(out, code, like, height, progress);
            return writer.ok() && bands(writer) && writer.finish();
        },
        saveAccess(code));
}

bool BandWriter::ok() const {
    return !state_->failed;
}

bool BandWriter::bottomUp() const {
    return state_->encoder && state_->encoder->bottomUp();
}

bool BandWriter::write(const dib& band) {
    State& s = *state_;
    const std::int32_t rows = DIBHeight(band);
    if (s.failed || !band.poi || DIBWidth(band) != s.header.width ||
        DIBBitCount(band) != s.header.bits || rows > s.header.height - s.rowsWritten) {
        s.failed = true;
        return false;
    }
    // Memory holds the band's rows bottom-up.
    for (std::int32_t r = 0; r < rows && !s.failed; ++r) {
        const std::int32_t memoryRow = s.encoder->bottomUp() ? r : rows - 1 - r;
        s.failed = !s.encoder->row(band.poi + std::int64_t(memoryRow) * band.bytew) ||
                   !s.progress.report(++s.rowsWritten, s.header.height);
    }
    return !s.failed;
}

bool BandWriter::finish() {
    State& s = *state_;
    if (s.failed || s.rowsWritten != s.header.height || !s.encoder->finish()) {
        s.failed = true;
    }
    return !s.failed;
}

QString GetDIBOpenFilter() {
    QStringList all;
    QStringList entries;
    for (const FormatEntry& e : kFormats) {
        all << patternsFor(e.extension);
        entries << QString::fromUtf8(e.description) + QStringLiteral(" (*") +
                       QString::fromLatin1(e.extension) + QStringLiteral(")|") +
                       patternsFor(e.extension);
    }
    for (const char* extra : kExtraOpenPatterns) {
        all << patternsFor(extra);
    }
    return QStringLiteral("Alle Bilddateien|") + all.join(QLatin1Char(';')) + QLatin1Char('|') +
           entries.join(QLatin1Char('|'));
}

QString GetDIBSaveFilter() {
    QStringList entries;
    for (const FormatEntry& e : kFormats) {
        entries << QString::fromUtf8(e.description) + QStringLiteral(" (*") +
                       QString::fromLatin1(e.extension) + QStringLiteral(")|") +
                       patternsFor(e.extension);
    }
    return entries.join(QLatin1Char('|'));
}

void SetJPEGQual(int quality) {
    jpegQuality = std::clamp(quality, 1, 99);
}

} // namespace grafikrw3
