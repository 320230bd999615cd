#include "designer/ProjectFile.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "designer/ChartRecovery.h"
#include "designer/FontRecord.h"
#include "designer/PictureBlock.h"
#include "foundation/DibCopy.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr std::uint64_t kPlenty = std::numeric_limits<std::uint64_t>::max();

QByteArray writeProject(const ChartDocument& doc, const PageSettings& settings) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(ProjectFile::write(buffer, doc, settings));
    return buffer.data();
}

FileStatus readProject(const QByteArray& bytes, ChartDocument& doc, PageSettings& settings,
                       std::uint64_t budget = kPlenty, ProgressCallback progress = {}) {
    return readFrom(bytes, [&](QBuffer& b, std::int64_t size) {
        return ProjectFile::read(b, size, doc, settings, budget, progress);
    });
}

PageFont fontNamed(const QString& family, int points) {
    PageFont f;
    f.font = QFont(family);
    f.font.setPointSize(points);
    return f;
}

// A chart with stitches of every depth and width, the other cells empty.
void buildSampleChart(ChartDocument& doc) {
    ASSERT_TRUE(doc.buildChart(3, 4, -1));
    const int depths[] = {1, 4, 8, 24};
    for (int i = 0; i < 4; ++i) {
        TFeld& cell = doc.cellAt(i % 3, i);
        dib picture = makePatternPicture(7 + 9 * i, 5 + i, depths[i]);
        if (depths[i] <= 8) {
            picture.pmi->colors()[1] = RGBQUAD{10, 20, std::uint8_t(30 + i), 0};
        }
        fillCell(doc, cell, QStringLiteral("Stich %1 ä").arg(i), i + 1, picture);
        cell.feldrect = CellRect{i, -i, 100 + i, 200};
    }
}

PageSettings sampleSettings() {
    PageSettings s;
    s.breitMm = 7.25;
    s.breitLegendeMm = 9.5;
    s.randMm = 0.0;
    s.penWidMm = 0.5;
    s.alleRechts = true;
    s.ersteRechts = false;
    s.dontShowLinks = true;
    s.firstRow = 12;
    s.caption = QStringLiteral("Zopfpullover");
    s.text = QStringLiteral("Maschenprobe 22 M.\r\nNadeln 3,5");
    s.numberFont = fontNamed(QStringLiteral("DejaVu Sans"), 9);
    s.numberFont.color = 0x00336699;
    s.numberFont.charset = 0;
    s.numberFont.pitch = 2;
    s.numberFont.pixelsPerInch = 120;
    s.captionFont.font.setItalic(true);
    s.captionFont.font.setUnderline(true);
    s.textFont.font.setStrikeOut(true);
    return s;
}

void expectSameFont(const PageFont& a, const PageFont& b) {
    EXPECT_EQ(a.font.family(), b.font.family());
    EXPECT_EQ(a.font.pointSize(), b.font.pointSize());
    EXPECT_EQ(a.font.bold(), b.font.bold());
    EXPECT_EQ(a.font.italic(), b.font.italic());
    EXPECT_EQ(a.font.underline(), b.font.underline());
    EXPECT_EQ(a.font.strikeOut(), b.font.strikeOut());
    EXPECT_EQ(a.color, b.color);
    EXPECT_EQ(a.charset, b.charset);
    EXPECT_EQ(a.pitch, b.pitch);
    EXPECT_EQ(a.pixelsPerInch, b.pixelsPerInch);
}

Bytes defaultFontRecord(int points, bool bold) {
    Bytes b;
    b.u8(1).i32(std::int32_t(0xFF000008u)).u8(6);
    for (QChar c : QStringLiteral("Tahoma")) {
        b.u8(std::uint8_t(c.unicode())).u8(0);
    }
    return b.u8(0).i32(96).i32(points).u8(bold ? 1 : 0);
}

// The 1 x 1 chart with an empty cell, heading "abc", no text and the default fonts.
QByteArray smallProject() {
    Bytes b;
    b.i32(1).i32(1).i32(1);                     // part 1
    b.i32(1).u8(0).i32(1).i32(2).i32(3).i32(4); // part 2
    b.f64(6.5).f64(10).f64(0.35).i32(0).u8(0).u8(1).u8(0);
    b.text(QStringLiteral("abc")).text(QString());
    b.data += defaultFontRecord(8, false).data + defaultFontRecord(11, true).data +
              defaultFontRecord(8, false).data;
    b.f64(6.5).i32(1).i32(1).u8(0); // tail
    return b.data;
}

} // namespace

TEST(ProjectFile, SmallProjectIsWrittenByteForByte) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(1, 1, -1));
    doc.cellAt(0, 0).feldrect = CellRect{1, 2, 3, 4};
    PageSettings settings;
    settings.caption = QStringLiteral("abc");
    const QByteArray written = writeProject(doc, settings);
    EXPECT_EQ(written.size(), 179);
    EXPECT_EQ(written, smallProject());
}

TEST(ProjectFile, PictureBlockHeaderAndSizePerDepth) {
    const struct {
        int bits;
        std::int32_t h, p;
        std::int64_t bytes;
    } cases[] = {{24, 40, 0, 8 + 40 + 20 * 60},
                 {8, 1064, 256, 8 + 1064 + 20 * 20},
                 {4, 104, 16, 8 + 104 + 20 * 12},
                 {1, 48, 2, 8 + 48 + 20 * 4}};
    for (const auto& c : cases) {
        PictureOwner picture(makePatternPicture(20, 20, c.bits));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ByteWriter out(buffer);
        ASSERT_TRUE(PictureBlock::write(out, picture.picture));
        ASSERT_TRUE(out.flush());
        const QByteArray bytes = buffer.data();
        EXPECT_EQ(bytes.size(), c.bytes) << c.bits;
        EXPECT_EQ(PictureBlock::size(picture.picture), c.bytes);
        EXPECT_EQ(qFromLittleEndian<std::int32_t>(bytes.constData()), c.h);
        EXPECT_EQ(qFromLittleEndian<std::int32_t>(bytes.constData() + 4), c.p);
        // Rows in memory order, bottom row first, padding included.
        EXPECT_EQ(bytes.right(20 * picture.picture.bytew),
                  QByteArray(reinterpret_cast<const char*>(picture.picture.poi),
                             20 * picture.picture.bytew));
    }
}

TEST(ProjectFile, SaveAndLoadRoundTripEveryCellSettingAndFont) {
    ChartDocument original;
    buildSampleChart(original);
    const PageSettings settings = sampleSettings();
    const QByteArray bytes = writeProject(original, settings);

    ChartDocument loaded;
    PageSettings read;
    ASSERT_EQ(readProject(bytes, loaded, read), FileStatus::Ok);
    ASSERT_EQ(loaded.azeilen, 3);
    ASSERT_EQ(loaded.aspalten, 4);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            const TFeld& a = original.cellAt(r, c);
            const TFeld& b = loaded.cellAt(r, c);
            ASSERT_EQ(a.belegt, b.belegt);
            EXPECT_EQ(std::memcmp(&a.feldrect, &b.feldrect, sizeof(CellRect)), 0);
            if (!a.belegt) {
                continue;
            }
            const SharedStitch& x = *a.stich;
            const SharedStitch& y = *b.stich;
            EXPECT_EQ(ownedTextToString(x.bezeichnung), ownedTextToString(y.bezeichnung));
            EXPECT_EQ(ownedTextToString(x.abkuerzung), ownedTextToString(y.abkuerzung));
            EXPECT_EQ(ownedTextToString(x.hinreihe), ownedTextToString(y.hinreihe));
            EXPECT_EQ(ownedTextToString(x.rueckreihe), ownedTextToString(y.rueckreihe));
            EXPECT_EQ(a.breite, b.breite);
            EXPECT_EQ(DIBWidth(x.di), DIBWidth(y.di));
            EXPECT_EQ(DIBBitCount(x.di), DIBBitCount(y.di));
            EXPECT_EQ(pixelBytes(x.di), pixelBytes(y.di));
            const std::uint32_t entries = DIBColorTableSize(x.di);
            EXPECT_EQ(std::memcmp(x.di.pmi->colors(), y.di.pmi->colors(), entries * 4), 0);
        }
    }
    EXPECT_EQ(read.breitMm, settings.breitMm);
    EXPECT_EQ(read.breitLegendeMm, settings.breitLegendeMm);
    EXPECT_EQ(read.randMm, settings.randMm);
    EXPECT_EQ(read.penWidMm, settings.penWidMm);
    EXPECT_EQ(read.alleRechts, settings.alleRechts);
    EXPECT_EQ(read.ersteRechts, settings.ersteRechts);
    EXPECT_EQ(read.dontShowLinks, settings.dontShowLinks);
    EXPECT_EQ(read.firstRow, settings.firstRow);
    EXPECT_EQ(read.caption, settings.caption);
    EXPECT_EQ(read.text, settings.text);
    expectSameFont(read.numberFont, settings.numberFont);
    expectSameFont(read.captionFont, settings.captionFont);
    expectSameFont(read.textFont, settings.textFont);

    // Writing what was read gives the same file again.
    EXPECT_EQ(writeProject(loaded, read), bytes);
}

TEST(ProjectFile, FilesWithoutTheOptionalTailLoad) {
    const QByteArray full = smallProject();
    const int fontsEnd = full.size() - 8 - 9;
    PageSettings settings;
    settings.breitLegendeMm = 42;

    ChartDocument doc;
    ASSERT_EQ(readProject(full.left(fontsEnd), doc, settings), FileStatus::Ok);
    EXPECT_EQ(settings.breitLegendeMm, 42);
    EXPECT_EQ(settings.caption, QStringLiteral("abc"));
    ASSERT_EQ(readProject(full.left(fontsEnd + 8), doc, settings), FileStatus::Ok);
    EXPECT_EQ(settings.breitLegendeMm, 6.5);

    // Without the widths every stitch of the chart has width 0.
    ChartDocument sample;
    buildSampleChart(sample);
    QByteArray bytes = writeProject(sample, PageSettings{});
    const int tail = 4 + 3 * (4 + 4) + 4 * 4; // R, C and four flags per row, four widths
    bytes.chop(tail);
    ChartDocument loaded;
    ASSERT_EQ(readProject(bytes, loaded, settings), FileStatus::Ok);
    EXPECT_EQ(loaded.cellAt(0, 0).breite, 0);
    EXPECT_EQ(loaded.cellAt(0, 3).breite, 0);
}

// Every cut of a valid file either loads (only where the optional parts end) or fails with
// the previous chart and settings untouched, read in full or for a preview that passes over
// most pixel rows.
TEST(ProjectFile, TruncationAtEveryByteFailsCleanlyOrLoadsTheShortForms) {
    ChartDocument sample;
    buildSampleChart(sample);
    // Small pictures keep the loop short.
    const QByteArray full = writeProject(sample, sampleSettings());
    const int tailStart = full.size() - (4 + 3 * (4 + 4) + 4 * 4) - 8;

    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(2, 2, -1));
    const TFeld* before = &doc.cellAt(0, 0);
    const PageSettings original;
    for (int attempt = 0; attempt < 2 * full.size(); ++attempt) {
        const int cut = attempt / 2;
        // What a failed load read is given back, shared pictures included.
        ASSERT_EQ(doc.pool.size(), 0u) << cut;
        PageSettings settings = original;
        const FileStatus status =
            attempt % 2 == 0 ? readProject(full.left(cut), doc, settings)
                             : readFrom(full.left(cut), [&](QBuffer& b, std::int64_t size) {
                                   return ProjectFile::readPreview(b, size, doc, settings, kPlenty,
                                                                   [](int, int) { return 2; });
                               });
        if (cut == tailStart || cut == tailStart + 8) {
            ASSERT_EQ(status, FileStatus::Ok) << cut;
            ASSERT_TRUE(doc.buildChart(2, 2, -1));
            before = &doc.cellAt(0, 0);
            continue;
        }
        ASSERT_EQ(status, FileStatus::Damaged) << "cut at " << cut;
        ASSERT_EQ(doc.azeilen, 2);
        ASSERT_EQ(doc.aspalten, 2);
        ASSERT_EQ(&doc.cellAt(0, 0), before);
        ASSERT_EQ(settings.caption, original.caption);
        ASSERT_EQ(settings.breitMm, original.breitMm);
    }
}

TEST(ProjectFile, SharedCellsAreWrittenInFullAndReadBackShared) {
    // Cells of equal content share a record; cells that differ only in the colour table or in
    // one text do not. The file holds every cell's picture block in full.
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(4, 5, -1));
    dib base = makePatternPicture(13, 7, 8);
    dib otherColours = copyDib(base);
    otherColours.pmi->colors()[200] = RGBQUAD{1, 2, 3, 0};
    const struct {
        QString name;
        const dib* picture;
    } kinds[] = {{QStringLiteral("Noppe"), &base},
                 {QStringLiteral("Noppe"), &otherColours},
                 {QStringLiteral("Noppe "), &base}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            if ((r + c) % 4 != 3) {
                fillCell(doc, doc.cellAt(r, c), kinds[(r * 5 + c) % 3].name, 1 + c % 2,
                         copyDib(*kinds[(r * 5 + c) % 3].picture));
            }
        }
    }
    ASSERT_EQ(doc.pool.size(), 3u);
    const QByteArray bytes = writeProject(doc, PageSettings{});

    QBuffer blockBuffer;
    blockBuffer.open(QIODevice::WriteOnly);
    {
        ByteWriter out(blockBuffer);
        PictureBlock::write(out, base);
    }
    const QByteArray block = blockBuffer.data();
    int blocks = 0;
    for (qsizetype at = bytes.indexOf(block); at >= 0; at = bytes.indexOf(block, at + 1)) {
        ++blocks;
    }
    int withBase = 0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            withBase += (r + c) % 4 != 3 && (r * 5 + c) % 3 != 1 ? 1 : 0;
        }
    }
    EXPECT_EQ(blocks, withBase);

    ChartDocument loaded;
    PageSettings settings;
    ASSERT_EQ(readProject(bytes, loaded, settings), FileStatus::Ok);
    EXPECT_EQ(loaded.pool.size(), 3u);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 5; ++c) {
            const TFeld& a = doc.cellAt(r, c);
            const TFeld& b = loaded.cellAt(r, c);
            ASSERT_EQ(a.belegt, b.belegt);
            EXPECT_EQ(a.breite, b.breite);
            // Same sharing as before: equal cells in the one chart are equal in the other.
            EXPECT_EQ(b.stich == loaded.cellAt(0, 0).stich, a.stich == doc.cellAt(0, 0).stich);
            EXPECT_EQ(b.stich == loaded.cellAt(0, 1).stich, a.stich == doc.cellAt(0, 1).stich);
        }
    }
    EXPECT_EQ(writeProject(loaded, settings), bytes);
    FreeDIB(base);
    FreeDIB(otherColours);
}

TEST(ProjectFile, ImplausibleCountsSizesAndValuesAreDamage) {
    ChartDocument sample;
    ASSERT_TRUE(sample.buildChart(2, 2, -1));
    fillCell(sample, sample.cellAt(1, 1), QStringLiteral("x"), 2, makePatternPicture(3, 2, 8));
    const QByteArray valid = writeProject(sample, PageSettings{});

    // Offsets: part 1 at 0; row 0 at 12 (C, then two empty cells of 17 bytes); row 1 at 50.
    const int row1 = 12 + 4 + 2 * 17;
    const int stitch = row1 + 4 + 17 + 17; // the texts of cell (1, 1)
    const int picture = stitch + 4 + 2 + 4 + 2 + 4 + 28 + 4 + 30;
    const int tailRows = valid.size() - (4 + 2 * (4 + 2) + 4);
    auto patched = [&](int offset, std::int32_t value) {
        QByteArray b = valid;
        qToLittleEndian(value, b.data() + offset);
        return b;
    };
    auto patchedByte = [&](int offset, char value) {
        QByteArray b = valid;
        b[offset] = value;
        return b;
    };
    double nan = std::numeric_limits<double>::quiet_NaN();
    QByteArray nanWidth = valid;
    std::memcpy(nanWidth.data() + picture + 8 + 1064 + 8, &nan, 8);

    const struct {
        const char* what;
        QByteArray bytes;
    } damaged[] = {
        {"columns differ from the rows' cells", patched(0, 3)},
        {"negative rows", patched(4, -2)},
        {"rows differ from row blocks", patched(8, 3)},
        {"absurd row count", patched(4, 0x7fffffff)},
        {"row with other cell count", patched(row1, 1)},
        {"flag neither 0 nor 1", patchedByte(12 + 4, 2)},
        {"negative text length", patched(stitch, -1)},
        {"text longer than the file", patched(stitch, 0x40000000)},
        {"header length not 40 + 4P", patched(picture, 1060)},
        {"colour entries not of the depth", patched(picture + 4, 16)},
        {"width too large for the file", patched(picture + 8 + 4, 100000)},
        {"height zero", patched(picture + 8 + 8, 0)},
        {"depth 16", patched(picture + 8 + 12, 0x00100001)},
        {"NaN in the settings", nanWidth},
        {"tail with other row count", patched(tailRows, 3)},
        {"tail with other cell count", patched(tailRows + 4, 3)},
        {"tail flag differs from the chart", patchedByte(tailRows + 8, 1)},
        {"stitch width 11", patched(valid.size() - 4, 11)},
    };
    for (const auto& d : damaged) {
        ChartDocument doc;
        ASSERT_TRUE(doc.buildChart(1, 1, -1));
        PageSettings settings;
        EXPECT_EQ(readProject(d.bytes, doc, settings), FileStatus::Damaged) << d.what;
        EXPECT_EQ(doc.azeilen, 1) << d.what;
        EXPECT_EQ(doc.zeilen.count, 1u) << d.what;
    }
    ChartDocument doc;
    PageSettings settings;
    EXPECT_EQ(readProject(valid, doc, settings), FileStatus::Ok);
}

TEST(ProjectFile, TooLargeForMemoryOrStoppedLeavesTheChart) {
    ChartDocument sample;
    buildSampleChart(sample);
    const QByteArray bytes = writeProject(sample, PageSettings{});
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(1, 1, -1));
    PageSettings settings;
    EXPECT_EQ(readProject(bytes, doc, settings, 1000), FileStatus::NoMemory);
    EXPECT_EQ(doc.azeilen, 1);

    std::vector<int> seen;
    EXPECT_EQ(readProject(bytes, doc, settings, kPlenty,
                          [&](int percent) {
                              seen.push_back(percent);
                              return percent < 50;
                          }),
              FileStatus::Stopped);
    EXPECT_EQ(doc.azeilen, 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.back(), 50);
}

TEST(FontRecord, DefaultFontIsTwentyEightBytesAndMapsToElevenPixels) {
    const PageFont font = PageSettings::defaultFont(11, false);
    EXPECT_EQ(font.pixelHeight(96), 11);
    EXPECT_EQ(PageSettings::defaultFont(15, true).pixelHeight(96), 15);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ByteWriter out(buffer);
    ASSERT_TRUE(FontRecord::write(out, font));
    ASSERT_TRUE(out.flush());
    EXPECT_EQ(buffer.data(), defaultFontRecord(8, false).data);
}

namespace {

// The repeat's extension as the file stores it, built field by field.
QByteArray repeatExtension(std::int32_t top, std::int32_t left, std::int32_t rows,
                           std::int32_t columns, std::uint32_t crc) {
    Bytes b;
    b.data += "RAPP";
    b.i32(1).i32(20).i32(top).i32(left).i32(rows).i32(columns).i32(std::int32_t(crc));
    return b.data;
}

} // namespace

TEST(ProjectFile, TheRepeatIsAnExtensionAfterEverythingElse) {
    ChartDocument doc;
    ASSERT_TRUE(doc.buildChart(1, 1, -1));
    doc.cellAt(0, 0).feldrect = CellRect{1, 2, 3, 4};
    PageSettings settings;
    settings.caption = QStringLiteral("abc");
    doc.repeat = {0, 0, 1, 1};
    // The chart without a repeat byte for byte, then the extension (CRC-32 of the four fields
    // by Python's zlib.crc32). A reader that stops after the tail reads the same chart.
    const QByteArray written = writeProject(doc, settings);
    EXPECT_EQ(written, smallProject() + repeatExtension(0, 0, 1, 1, 0x98ad2caeu));
    doc.repeat = {};
    EXPECT_EQ(writeProject(doc, settings), smallProject());

    // Round trip of a larger chart, in full and for a preview, and through a recovery copy.
    ChartDocument sample;
    buildSampleChart(sample);
    sample.repeat = {1, 1, 2, 3};
    const QByteArray bytes = writeProject(sample, sampleSettings());
    ChartDocument loaded;
    PageSettings loadedSettings;
    QStringList notes{QStringLiteral("old")};
    ASSERT_EQ(readFrom(bytes,
                       [&](QBuffer& b, std::int64_t size) {
                           return ProjectFile::read(b, size, loaded, loadedSettings, kPlenty, {},
                                                    &notes);
                       }),
              FileStatus::Ok);
    EXPECT_EQ(loaded.repeat, sample.repeat);
    EXPECT_TRUE(notes.isEmpty());
    EXPECT_EQ(writeProject(loaded, loadedSettings), bytes);
    ASSERT_EQ(readFrom(bytes,
                       [&](QBuffer& b, std::int64_t size) {
                           return ProjectFile::readPreview(b, size, loaded, loadedSettings, kPlenty,
                                                           [](int, int) { return 2; });
                       }),
              FileStatus::Ok);
    EXPECT_EQ(loaded.repeat, sample.repeat);
    ChartRecoverySource source(sample, [] { return sampleSettings(); });
    const auto snapshot = source.snapshot();
    snapshot->prepare();
    ASSERT_EQ(snapshot->take(QDeadlineTimer::Forever), recovery::Snapshot::Step::Done);
    QBuffer copy;
    copy.open(QIODevice::WriteOnly);
    ASSERT_TRUE(snapshot->write(copy, {}));
    EXPECT_EQ(copy.data(), bytes);
}

TEST(ProjectFile, ADamagedOrUnknownExtensionIsPassedOverAndTheChartLoads) {
    ChartDocument sample;
    buildSampleChart(sample);
    sample.repeat = {0, 1, 2, 2};
    const QByteArray bytes = writeProject(sample, sampleSettings());
    const QByteArray extension = bytes.right(32);
    const QByteArray chart = bytes.chopped(32);
    ASSERT_TRUE(extension.startsWith("RAPP"));
    auto changed = [&](int at, char value) {
        QByteArray e = extension;
        e[at] = value;
        return chart + e;
    };
    Bytes unknown;
    unknown.data += "NEU!";
    unknown.i32(3).i32(5).zeros(5);
    struct Case {
        const char* what;
        QByteArray file;
        CellBlock repeat; // what loads
        QString note;     // a word of the note
    } cases[] = {
        {"unknown, before it", chart + unknown.data + extension, sample.repeat, "neueren"},
        {"unknown, after it", bytes + unknown.data, sample.repeat, "neueren"},
        {"newer version", changed(4, 2), {}, "neueren Form"},
        {"checksum", changed(12, 1), {}, "beschädigt"},
        {"field", changed(16, 9), {}, "beschädigt"},
        // Rows 2 to 3 of a 3-row chart, with the right checksum.
        {"outside the chart", chart + repeatExtension(2, 3, 2, 2, 0xf4a97330u), {}, "beschädigt"},
        {"length beyond the end", changed(8, 21), {}, "Ende"},
        {"negative length", changed(11, char(0x80)), {}, "Ende"},
        {"a stray byte", chart + QByteArray(1, 'R'), {}, "Ende"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ChartDocument doc;
        PageSettings settings;
        QStringList notes;
        ASSERT_EQ(readFrom(c.file,
                           [&](QBuffer& b, std::int64_t size) {
                               return ProjectFile::read(b, size, doc, settings, kPlenty, {},
                                                        &notes);
                           }),
                  FileStatus::Ok);
        EXPECT_EQ(doc.repeat, c.repeat);
        ASSERT_EQ(notes.size(), 1) << notes.join('|').toStdString();
        EXPECT_TRUE(notes[0].contains(c.note)) << notes[0].toStdString();
        EXPECT_EQ(writeProject(doc, settings), c.repeat.isEmpty() ? chart : bytes);
    }
    // Cut anywhere inside the extension: the chart, without its repeat.
    for (int cut = 1; cut < extension.size(); ++cut) {
        ChartDocument doc;
        PageSettings settings;
        QStringList notes;
        ASSERT_EQ(readFrom(chart + extension.left(cut),
                           [&](QBuffer& b, std::int64_t size) {
                               return ProjectFile::read(b, size, doc, settings, kPlenty, {},
                                                        &notes);
                           }),
                  FileStatus::Ok)
            << cut;
        EXPECT_TRUE(doc.repeat.isEmpty());
        EXPECT_EQ(notes.size(), 1);
        EXPECT_EQ(doc.azeilen, 3);
    }
}
