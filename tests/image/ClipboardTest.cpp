#include "DocumentFixture.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/Quantize.h"
#include "image/ClipboardCommands.h"
#include "image/ClipboardPictures.h"
#include "imageops/Masks.h"
#include "imageops/Palettes.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <tuple>

using namespace grafikrw3;
using namespace clipboard;

namespace {

// Red, green and blue of pixel (x, y) whatever the depth.
QRgb colourAt(const dib& d, int x, int y) {
    const std::uint32_t v = getpixel(d, x, y);
    if (DIBBitCount(d) == 24) {
        return qRgb(int(v & 0xff), int((v >> 8) & 0xff), int(v >> 16));
    }
    const RGBQUAD& c = d.pmi->colors()[v];
    return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

std::vector<QRgb> colours(const dib& d) {
    std::vector<QRgb> all;
    for (int y = 0; y < DIBHeight(d); ++y) {
        for (int x = 0; x < DIBWidth(d); ++x) {
            all.push_back(colourAt(d, x, y));
        }
    }
    return all;
}

// Writes packed bitmaps the way other programs put them on the clipboard.
struct PackedWriter {
    QByteArray bytes;
    void u16(int v) { bytes.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.append(char((v >> (8 * i)) & 0xff));
        }
    }
    // Header of `headerBytes` (40 or more; the rest zero) with masks placed inside it when it
    // is long enough.
    void header(std::uint32_t headerBytes, int width, int height, int bits,
                std::uint32_t compression, std::uint32_t colorsUsed,
                const std::array<std::uint32_t, 4>& masks = {}) {
        u32(headerBytes);
        u32(std::uint32_t(width));
        u32(std::uint32_t(height));
        u16(1);
        u16(bits);
        u32(compression);
        u32(0);
        u32(2835);
        u32(2835);
        u32(colorsUsed);
        u32(0);
        for (std::uint32_t at = 40, i = 0; at < headerBytes; at += 4, ++i) {
            u32(i < 4 ? masks[i] : 0);
        }
    }
};

// The colour every test picture of the layout tests has at (x, y).
QRgb layoutColour(int x, int y) {
    return qRgb((x * 40 + 8) & 0xf8, (y * 60 + 4) & 0xfc, ((x + y) * 24) & 0xf8);
}

enum class Layout { Bitfields32TopDown, Rgb32V5, Bitfields565, ShortTable8, Rgb24Info };

// The same 5 x 3 picture in other programs' layouts; every one reads as the same colours.
QByteArray layoutBlock(Layout layout) {
    constexpr int w = 5, h = 3;
    PackedWriter out;
    auto rowsBottomUp = [&](bool topDown, auto pixel, int bytesPerPixel) {
        for (int r = 0; r < h; ++r) {
            const int y = topDown ? r : h - 1 - r;
            int written = 0;
            for (int x = 0; x < w; ++x, written += bytesPerPixel) {
                pixel(layoutColour(x, y), x);
            }
            for (; written % 4; ++written) {
                out.bytes.append('\0');
            }
        }
    };
    auto argb = [&](QRgb c, int) { out.u32(0xff000000u | c); };
    switch (layout) {
    case Layout::Bitfields32TopDown:
        out.header(40, w, -h, 32, 3, 0);
        out.u32(0xff0000);
        out.u32(0x00ff00);
        out.u32(0x0000ff);
        rowsBottomUp(true, argb, 4);
        break;
    case Layout::Rgb32V5:
        out.header(124, w, h, 32, 0, 0);
        rowsBottomUp(false, argb, 4);
        break;
    case Layout::Bitfields565:
        out.header(56, w, h, 16, 3, 0, {0xf800, 0x07e0, 0x001f, 0});
        rowsBottomUp(
            false,
            [&](QRgb c, int) {
                out.u16(((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3));
            },
            2);
        break;
    case Layout::ShortTable8: {
        // Only the colours used, in a table of w * h entries.
        out.header(40, w, h, 8, 0, w * h);
        for (int i = 0; i < w * h; ++i) {
            const QRgb c = layoutColour(i % w, i / w);
            out.bytes.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            out.bytes.append('\0');
        }
        for (int r = 0; r < h; ++r) {
            const int y = h - 1 - r; // bottom row first
            for (int x = 0; x < w; ++x) {
                out.bytes.append(char(y * w + x));
            }
            out.bytes.append(QByteArray(3, '\0'));
        }
        break;
    }
    case Layout::Rgb24Info:
        out.header(40, w, h, 24, 0, 0);
        rowsBottomUp(
            false,
            [&](QRgb c, int) {
                out.bytes.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            },
            3);
        break;
    }
    return out.bytes;
}

class ClipboardLayouts : public ::testing::TestWithParam<Layout> {};

// Pictures other programs put on the clipboard read as their colours, and pasted into a
// 24-bit image they keep them.
TEST_P(ClipboardLayouts, ReadAsTheirColoursAndKeepThemInATrueColourImage) {
    QString error;
    OwnedDib picture = readPicture(layoutBlock(GetParam()), &error);
    ASSERT_TRUE(picture) << error.toStdString();
    ASSERT_EQ(DIBWidth(picture.get()), 5);
    ASSERT_EQ(DIBHeight(picture.get()), 3);
    // Five and six bits a channel widen to eight by scaling.
    auto widen = [](int v, int bits) {
        const int most = (1 << bits) - 1;
        const int kept = v >> (8 - bits);
        return (kept * 255 + most / 2) / most;
    };
    std::vector<QRgb> expected;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QRgb c = layoutColour(x, y);
            expected.push_back(
                GetParam() == Layout::Bitfields565
                    ? qRgb(widen(qRed(c), 5), widen(qGreen(c), 6), widen(qBlue(c), 5))
                    : c);
        }
    }
    EXPECT_EQ(colours(picture.get()), expected);

    DocumentFixture f(makeWhiteImage(8, 8));
    const PasteResult pasted =
        pasteAsSelection(f.doc, layoutBlock(GetParam()), QByteArray(), false);
    ASSERT_EQ(pasted.status, PasteStatus::Pasted);
    ASSERT_TRUE(f.doc.dragdi1);
    EXPECT_EQ(DIBBitCount(f.doc.dragdi1.get()), 24);
    EXPECT_EQ(colours(f.doc.dragdi1.get()), expected);
    EXPECT_FALSE(f.doc.dragSel);
    EXPECT_EQ(f.doc.CanUndo, 1);
}

INSTANTIATE_TEST_SUITE_P(OtherPrograms, ClipboardLayouts,
                         ::testing::Values(Layout::Bitfields32TopDown, Layout::Rgb32V5,
                                           Layout::Bitfields565, Layout::ShortTable8,
                                           Layout::Rgb24Info));

class ClipboardDepths : public ::testing::TestWithParam<std::tuple<int, int>> {};

// The program's own blocks: with and without file header, every depth and boundary width, the
// picture comes back byte for byte with its colour table.
TEST_P(ClipboardDepths, OwnBlocksRoundTrip) {
    const auto [bits, width] = GetParam();
    const OwnedDib original = patternPicture(width, 5, bits);
    for (const QByteArray& block : {bmpFile(original.get()), packedDib(original.get())}) {
        OwnedDib back = readPicture(block);
        ASSERT_TRUE(back);
        EXPECT_EQ(DIBBitCount(back.get()), bits);
        EXPECT_EQ(pixelBytes(back.get()), pixelBytes(original.get()));
        EXPECT_EQ(colours(back.get()), colours(original.get()));
    }
    // The packed block is header, full colour table and rows, nothing else.
    const std::uint32_t table = bits <= 8 ? 4u << bits : 0u;
    EXPECT_EQ(packedDib(original.get()).size(),
              qsizetype(40 + table + std::uint32_t(original->bytew) * 5));
}

// Converting to another depth takes, for every pixel, the nearest entry of the target's
// palette to its colour (checked against a plain search) or, into true colour, the colour.
TEST_P(ClipboardDepths, MakeCompatibleDibMapsToEveryDepth) {
    const auto [bits, width] = GetParam();
    for (const int target : kAllDepths) {
        OwnedDib reference = target == 24 ? makeWhiteImage(2, 2) : patternPicture(2, 2, 1);
        if (target == 4 || target == 8) {
            // A palette unlike the picture's, so that the mapping matters.
            reference = patternPicture(2, 2, target);
            for (int i = 0; i < (1 << target); ++i) {
                const auto r = std::uint8_t(i * 13), g = std::uint8_t(255 - i * 7),
                           b = std::uint8_t(i * 5);
                reference->pmi->colors()[i] = {b, g, r, 0};
                reference->pal.pal[i] = {r, g, b, 0};
            }
        }
        OwnedDib picture(copyDib(patternPicture(width, 3, bits).get()));
        const std::vector<QRgb> before = colours(picture.get());
        ASSERT_TRUE(MakeCompatibleDib(reference.get(), picture));
        ASSERT_EQ(DIBBitCount(picture.get()), target);
        std::vector<QRgb> expected;
        for (const QRgb c : before) {
            if (target == 24) {
                expected.push_back(c);
                continue;
            }
            const auto i = nearestPaletteIndex(
                reference->pal,
                Rgb{std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
            const RGBQUAD& e = reference->pmi->colors()[i];
            expected.push_back(qRgb(e.rgbRed, e.rgbGreen, e.rgbBlue));
        }
        EXPECT_EQ(colours(picture.get()), expected) << "to " << target << " bits";
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, ClipboardDepths,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

// Damaged blocks are refused without reading past their end (the sanitizer watches): every
// shortened copy of a picture block and of a mask block, and headers that lie.
TEST(ClipboardDamage, ShortenedAndLyingBlocksAreRefused) {
    const OwnedDib picture = patternPicture(9, 4, 8);
    const QByteArray packed = packedDib(picture.get());
    for (qsizetype n = 0; n < packed.size(); ++n) {
        QString error;
        OwnedDib back = readPicture(packed.left(n), &error);
        // Only the last row's padding may be missing.
        EXPECT_EQ(bool(back), n >= packed.size() - 3) << n;
        if (!back) {
            EXPECT_FALSE(error.isEmpty());
        }
    }
    QByteArray huge = packed;
    qToLittleEndian<std::int32_t>(0x7fff0000, huge.data() + 4);
    EXPECT_FALSE(readPicture(huge));

    OwnedDib mask;
    newdib(&mask.get(), 9, 4, 1, nullptr, 0);
    imageops::fillMask(mask.get(), true);
    const QByteArray block = maskBlock(mask.get());
    ASSERT_EQ(block.size(), 52 + 4 * 4);
    OwnedDib back = readMask(block, 9, 4);
    ASSERT_TRUE(back);
    EXPECT_EQ(pixelBytes(back.get()), pixelBytes(mask.get()));
    for (qsizetype n = 0; n < block.size(); ++n) {
        EXPECT_FALSE(readMask(block.left(n), 9, 4)) << n;
    }
    EXPECT_FALSE(readMask(block, 8, 4)); // another size than the picture
    QByteArray deep = block;
    deep[14] = 8;
    EXPECT_FALSE(readMask(deep, 9, 4));
}

// Copy without a selection is the whole image; with one, its bounding box and the mask beside
// it, and pasting that back as a selection restores the shape and the pixels.
TEST(ClipboardCommands, CopyAndPasteKeepTheSelectionsShape) {
    DocumentFixture whole(makeWhiteImage(320, 200));
    const Outgoing all = copySelection(whole.doc);
    EXPECT_EQ(all.bmp.size(), 14 + 40 + 200 * 960);
    EXPECT_TRUE(all.mask.isEmpty());
    EXPECT_FALSE(all.png.isEmpty());

    for (const int bits : kAllDepths) {
        DocumentFixture f(patternPicture(33, 9, bits));
        f.doc.selectShape(3, 2, 20, 8, true, SelectionMode::Replace);
        ASSERT_TRUE(f.doc.selaktiv);
        const TRect box = f.doc.selrect;
        const Outgoing out = copySelection(f.doc);
        ASSERT_TRUE(out.ok());
        ASSERT_FALSE(out.mask.isEmpty());
        const OwnedDib original(copyDib(f.doc.di.get()));
        const OwnedDib selection(copyDib(f.doc.seldib.get()));

        const PasteResult r = pasteAsSelection(f.doc, out.bmp, out.mask, false);
        ASSERT_EQ(r.status, PasteStatus::Pasted) << bits;
        ASSERT_TRUE(f.doc.dragSel);
        const int w = box.Right - box.Left + 1, h = box.Bottom - box.Top + 1;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(getpixel(f.doc.dragdi2.get(), x, y),
                          getpixel(selection.get(), box.Left + x, box.Top + y));
                EXPECT_EQ(getpixel(f.doc.dragdi1.get(), x, y),
                          getpixel(original.get(), box.Left + x, box.Top + y));
            }
        }
    }
}

// Delete fills the selection (or everything) with the background colour and removes a floating
// selection; each records one undo step.
TEST(ClipboardCommands, DeleteFillsWithTheBackgroundColour) {
    for (const int bits : kAllDepths) {
        DocumentFixture f(patternPicture(17, 6, bits));
        f.doc.setcol2(bits == 24 ? 0x123456 : 1);
        f.doc.selectShape(2, 1, 9, 4, false, SelectionMode::Replace);
        const OwnedDib before(copyDib(f.doc.di.get()));
        ASSERT_TRUE(deleteSelection(f.doc));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 17; ++x) {
                const bool inside = x >= 2 && x <= 9 && y >= 1 && y <= 4;
                EXPECT_EQ(getpixel(f.doc.di.get(), x, y),
                          inside ? std::uint32_t(f.doc.col2) : getpixel(before.get(), x, y));
            }
        }
        ASSERT_TRUE(f.doc.SelectNone());
        ASSERT_TRUE(deleteSelection(f.doc));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 17; ++x) {
                ASSERT_EQ(getpixel(f.doc.di.get(), x, y), std::uint32_t(f.doc.col2));
            }
        }
        // A pasted picture put down, then deleted: the image underneath comes back.
        const OwnedDib filled(copyDib(f.doc.di.get()));
        ASSERT_EQ(
            pasteAsSelection(f.doc, bmpFile(patternPicture(4, 3, bits).get()), {}, false).status,
            PasteStatus::Pasted);
        f.click(DocumentFixture::tool(Tool::Select), {5, 2});
        ASSERT_TRUE(f.doc.DragingNotFinished);
        ASSERT_TRUE(deleteSelection(f.doc));
        EXPECT_FALSE(f.doc.hasFloating());
        EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(filled.get()));
    }
}

// A 24-bit picture pasted into a 4-bit image of the standard palette takes the nearest of its
// 16 colours; an 8-bit picture with another palette is mapped as well.
TEST(ClipboardCommands, PastedPicturesTakeTheImagesPalette) {
    OwnedDib image;
    newdib(&image.get(), 4, 4, 4, nullptr, 0);
    for (int i = 0; i < 16; ++i) {
        const Rgb c = imageops::StdPal16[std::size_t(i)];
        image->pmi->colors()[i] = {c.blue, c.green, c.red, 0};
        image->pal.pal[i] = {c.red, c.green, c.blue, 0};
    }
    DocumentFixture f(std::move(image));
    OwnedDib red = makeWhiteImage(2, 1);
    setpixel(red.get(), 0, 0, 0x0000f0); // nearly pure red
    ASSERT_EQ(pasteAsSelection(f.doc, bmpFile(red.get()), {}, true).status, PasteStatus::Pasted);
    EXPECT_EQ(DIBBitCount(f.doc.dragdi1.get()), 4);
    EXPECT_EQ(getpixel(f.doc.dragdi1.get(), 0, 0), 9u);
    EXPECT_EQ(getpixel(f.doc.dragdi1.get(), 1, 0), 15u);
    EXPECT_TRUE(f.doc.dragtrans);

    OwnedDib grey = patternPicture(3, 1, 4); // grey ramp: index 15 is white
    setpixel(grey.get(), 0, 0, 15);
    ASSERT_EQ(pasteAsSelection(f.doc, bmpFile(grey.get()), {}, false).status, PasteStatus::Pasted);
    EXPECT_EQ(getpixel(f.doc.dragdi1.get(), 0, 0), 15u);

    const int undoSteps = f.doc.CanUndo;
    const PasteResult damaged = pasteAsSelection(f.doc, QByteArray("BMxx"), {}, false);
    EXPECT_EQ(damaged.status, PasteStatus::Damaged);
    EXPECT_EQ(f.doc.CanUndo, undoSteps); // refused before anything changed
    EXPECT_TRUE(pasteFailureText(damaged).startsWith(QStringLiteral("Das Bild")));
}

} // namespace
