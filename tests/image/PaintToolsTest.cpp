#include "DocumentFixture.h"

#include "TestSupport.h"

#include "image/tools/AdaptPattern.h"

#include "foundation/DibCopy.h"
#include "foundation/Random.h"
#include "foundation/grafikrw3/Quantize.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace grafikrw3;

namespace {

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

OwnedDib filled(int width, int height, int bits, std::uint32_t value) {
    OwnedDib d;
    newdib(&d.get(), width, height, bits, nullptr, 0);
    recht_filled(d.get(), 0, 0, width - 1, height - 1, value);
    return d;
}

// A hard one-pixel brush, painting the pure colour.
ToolOptions pen(Tool tool = Tool::Brush) {
    ToolOptions o;
    o.tool = tool;
    o.tip = {0, 1, 100, 100, 0};
    return o;
}

using Pixels = std::set<std::pair<int, int>>;

Pixels pixelsOf(const dib& d, std::uint32_t value) {
    Pixels out;
    for (int y = 0; y < DIBHeight(d); ++y) {
        for (int x = 0; x < DIBWidth(d); ++x) {
            if (getpixel(d, x, y) == value) {
                out.emplace(x, y);
            }
        }
    }
    return out;
}

Pixels row(int y, int x1, int x2) {
    Pixels out;
    for (int x = x1; x <= x2; ++x) {
        out.emplace(x, y);
    }
    return out;
}

// Press, moves and release of the brush: the press dabs, each move paints on from the last
// point, the release dabs where the last move was; one undo step; the middle button paints
// the second colour; zoomed, paint-box pixels map to image pixels.
TEST(BrushTool, StrokesFromPressThroughMovesButNotToTheRelease) {
    DocumentFixture f(filled(40, 30, 24, 0xffffff));
    const ToolOptions o = pen();
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 5, 5, o);
    f.doc.PaintBox1MouseMove({}, 10, 5, o);
    f.doc.PaintBox1MouseMove({}, 10, 8, o);
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 20, 20, o);
    Pixels expected = row(5, 5, 10);
    expected.insert({{10, 6}, {10, 7}, {10, 8}});
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0), expected);
    EXPECT_EQ(f.doc.CanUndo, 1);
    EXPECT_EQ(f.doc.PaintZeug, paintzeug::kNone);
    EXPECT_FALSE(f.doc.inPaint);
    EXPECT_FALSE(f.host.captured);

    f.doc.setcol2(0x0000ff);
    f.click(o, {30, 25}, {}, TMouseButton::Middle);
    EXPECT_EQ(getpixel(f.doc.di.get(), 30, 25), 0x0000ffu);

    f.doc.SetZoom(2, 1);
    f.click(o, {9, 9});
    EXPECT_EQ(getpixel(f.doc.di.get(), 4, 4), 0u);
    f.doc.LoadFromUndo();
    f.doc.LoadFromUndo();
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0xffffff).size(), 40u * 30u);
}

// Brush, clone and replacement stay inside the selection; lines and shapes ignore it.
TEST(BrushTool, BrushesStayInTheSelectionLinesAndShapesDoNot) {
    DocumentFixture f(filled(30, 20, 8, 255));
    f.doc.selectShape(5, 5, 14, 14, false, SelectionMode::Replace);
    ToolOptions o = pen();
    o.tip.size = 3;
    f.drag(o, {0, 10}, {29, 10});
    Pixels expected = row(9, 5, 14);
    for (const auto& p : row(10, 5, 14)) {
        expected.insert(p);
    }
    for (const auto& p : row(11, 5, 14)) {
        expected.insert(p);
    }
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0), expected);

    ToolOptions line = f.tool(Tool::Line);
    f.doc.setcol1(7);
    f.drag(line, {0, 2}, {30, 3});
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 7), row(2, 0, 29));
}

TEST(CloneTool, CopiesFromTheSourceAlignedOrAnewAndSkipsWhatLiesOutside) {
    const OwnedDib original = patternPicture(100, 60, 24);
    DocumentFixture f(copyOf(original.get()));
    MessageCapture messages;
    ToolOptions o = pen(Tool::Clone);
    f.click(o, {50, 50});
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().front().startsWith("Sie müssen zuerst einen Startpunkt wählen"));
    EXPECT_EQ(f.doc.CanUndo, 0);

    f.click(o, {5, 5}, withShift());
    EXPECT_EQ(f.doc.CanUndo, 0) << "setting the source paints nothing";
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 50, 50, o);
    // The cross shows the point the brush copies from.
    EXPECT_EQ(f.doc.rubberBand().kind, RubberBand::Kind::Cross);
    EXPECT_EQ(f.doc.rubberBand().from, QPoint(5, 5));
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 50, 50, o);
    EXPECT_EQ(f.doc.rubberBand().kind, RubberBand::Kind::None);
    EXPECT_EQ(getpixel(f.doc.di.get(), 50, 50), getpixel(original.get(), 5, 5));

    // Aligned: later strokes keep the offset of the first; (80, 20) would copy from (35, -25).
    const OwnedDib before = copyOf(f.doc.di.get());
    f.click(o, {80, 20});
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(before.get()));
    f.click(o, {60, 52});
    EXPECT_EQ(getpixel(f.doc.di.get(), 60, 52), getpixel(original.get(), 15, 7));

    // Not aligned: every stroke starts copying at the source again.
    o.cloneModus = 1;
    f.click(o, {70, 30});
    EXPECT_EQ(getpixel(f.doc.di.get(), 70, 30), getpixel(original.get(), 5, 5));
}

TEST(ReplaceAndRetouch, ReplaceTakesTheUnpaintedColourRetouchWantsTrueColour) {
    DocumentFixture f(filled(10, 4, 8, 3));
    setpixel(f.doc.di.get(), 4, 1, 9);
    f.doc.setcol1(200);
    f.doc.setcol2(3);
    ToolOptions o = pen(Tool::Replace);
    o.toleranz = 0;
    o.tip.size = 3;
    f.drag(o, {1, 1}, {8, 1});
    Pixels expected;
    for (int y = 0; y <= 2; ++y) {
        for (const auto& p : row(y, 0, 9)) {
            expected.insert(p);
        }
    }
    expected.erase({4, 1});
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 200), expected) << "colour 2 becomes colour 1";
    EXPECT_EQ(getpixel(f.doc.di.get(), 4, 1), 9u);
    EXPECT_FALSE(f.doc.Replace);

    MessageCapture messages;
    const int steps = f.doc.CanUndo;
    f.drag(pen(Tool::Retouch), {1, 1}, {5, 1});
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().front().contains("Truecolor"));
    EXPECT_EQ(f.doc.CanUndo, steps);
}

// At 1:1 a drag from (10, 10) to (20, 11) draws up to (19, 10); the width spreads across the
// line: vertically for a horizontal line, horizontally for a vertical one, both ways for 45°.
TEST(LineTool, EndsBeforeThePointerAndSpreadsItsWidthAcross) {
    auto drawn = [](int width, QPoint from, QPoint to) {
        DocumentFixture f(filled(40, 40, 24, 0xffffff));
        ToolOptions o;
        o.tool = Tool::Line;
        o.breite = width;
        f.drag(o, from, to);
        return pixelsOf(f.doc.di.get(), 0);
    };
    EXPECT_EQ(drawn(1, {10, 10}, {20, 11}), row(10, 10, 19));
    Pixels two = row(10, 10, 19), three = row(9, 10, 19);
    for (const auto& p : row(11, 10, 19)) {
        two.insert(p);
        three.insert(p);
    }
    for (const auto& p : row(10, 10, 19)) {
        three.insert(p);
    }
    EXPECT_EQ(drawn(2, {10, 10}, {20, 11}), two);
    EXPECT_EQ(drawn(3, {10, 10}, {20, 11}), three);
    Pixels vertical;
    for (int y = 10; y <= 19; ++y) {
        vertical.insert({{9, y}, {10, y}, {11, y}});
    }
    EXPECT_EQ(drawn(3, {10, 10}, {11, 20}), vertical);
    // 45°: the diagonal with its neighbours across it and the gaps between them closed.
    Pixels diagonal;
    for (int i = 10; i <= 19; ++i) {
        for (const auto& [dx, dy] :
             {std::pair{0, 0}, {1, -1}, {1, 0}, {0, -1}, {0, 1}, {-1, 0}, {-1, 1}}) {
            diagonal.emplace(i + dx, i + dy);
        }
    }
    EXPECT_EQ(drawn(3, {10, 10}, {20, 20}), diagonal);
    // The line from (10, 10) to (20, 10) is drawn to (19, 9), as its rubber band showed.
    DocumentFixture f(filled(40, 40, 24, 0xffffff));
    f.drag(f.tool(Tool::Line), {10, 10}, {20, 10});
    OwnedDib expected = filled(40, 40, 24, 0xffffff);
    line(expected.get(), 10, 10, 19, 9, 0);
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
}

// Rectangle and ellipse, outlined and filled, committed on the pixels the rubber band showed;
// "Quadrat" keeps the drag square; the second colour for the right button.
TEST(ShapeTool, CommitsWhatTheRubberBandOutlined) {
    for (const int typ : {0, 2}) {
        for (const int stil : {0, 1}) {
            DocumentFixture f(filled(40, 30, 4, 15));
            ToolOptions o = f.tool(Tool::Shape, typ);
            o.stil = stil;
            f.doc.setcol2(5);
            f.drag(o, {10, 10}, {20, 20}, {}, TMouseButton::Right);
            OwnedDib expected = filled(40, 30, 4, 15);
            (typ == 0 ? (stil ? recht_filled : rechteck)
                      : (stil ? FilledEllipse : ellipse))(expected.get(), 10, 10, 19, 19, 5);
            EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get())) << typ << stil;
        }
    }
    DocumentFixture f(filled(40, 30, 24, 0xffffff));
    const ToolOptions square = f.tool(Tool::Shape, 1);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 0, 0, square);
    f.doc.PaintBox1MouseMove({}, 30, 10, square);
    EXPECT_EQ(f.doc.rubberBand().to, QPoint(10, 10));
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 30, 10, square);
    OwnedDib expected = filled(40, 30, 24, 0xffffff);
    rechteck(expected.get(), 0, 0, 9, 9, 0);
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
}

// A line drawn while a floating selection is put down goes behind it.
TEST(LineTool, GoesBehindAPutDownFloatingSelection) {
    const OwnedDib original = patternPicture(20, 12, 8);
    DocumentFixture f(copyOf(original.get()));
    f.doc.selectShape(5, 3, 9, 8, false, SelectionMode::Replace);
    ASSERT_TRUE(f.doc.MakeSelectionDragable());
    f.doc.setcol1(0);
    f.drag(f.tool(Tool::Line), {0, 6}, {20, 7});
    f.doc.FinishDraging();
    for (int x = 0; x < 20; ++x) {
        const bool under = x >= 5 && x <= 9;
        EXPECT_EQ(getpixel(f.doc.di.get(), x, 6), under ? getpixel(original.get(), x, 6) : 0u) << x;
    }
}

TEST(FillTool, RefusesWithoutPatternAndOutsideThePictureOrSelection) {
    DocumentFixture f(filled(20, 10, 24, 0xffffff));
    MessageCapture messages;
    ToolOptions o = f.tool(Tool::Fill);
    o.fillStyle = kFillPattern;
    f.click(o, {3, 3});
    EXPECT_EQ(messages.texts(), QStringList{"Sie müssen zuerst ein Muster auswählen!"});
    o.fillStyle = kFillSolid;
    f.click(o, {25, 3});
    f.doc.selectShape(0, 0, 9, 9, false, SelectionMode::Replace);
    f.click(o, {15, 3});
    EXPECT_EQ(f.doc.CanUndo, 0);
    EXPECT_FALSE(f.doc.changed);
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0xffffff).size(), 200u);

    // Without memory for the work mask: the message, no change, no undo step.
    {
        AllocationFailure shortage(1);
        f.click(o, {3, 3});
    }
    EXPECT_EQ(messages.texts().back(), "Fehler: nicht genug Speicher für diese Operation!");
    EXPECT_EQ(f.doc.CanUndo, 0);
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0xffffff).size(), 200u);

    // Inside the selection the fill stops at its edge.
    f.click(o, {3, 3});
    EXPECT_EQ(pixelsOf(f.doc.di.get(), 0).size(), 100u);
    EXPECT_EQ(f.doc.CanUndo, 1);
}

// The tool's fill uses both colours, swapped for the right button, with the tolerance, style
// and direction of the options, and the window's pattern adapted to the picture.
TEST(FillTool, GradientsTakeBothColoursAndPatternsArePlacedInThePicturesColours) {
    DocumentFixture f(filled(16, 4, 24, 0x808080));
    setpixel(f.doc.di.get(), 15, 0, 0x80808a);
    f.doc.setcol1(0x0000ff);
    f.doc.setcol2(0x00ff00);
    ToolOptions o = f.tool(Tool::Fill);
    o.fillStyle = kFillLinear;
    o.direction = 7; // W-O
    o.toleranz = 9;
    f.click(o, {3, 3}, {}, TMouseButton::Right);
    EXPECT_EQ(getpixel(f.doc.di.get(), 0, 0), 0x00ff00u);
    EXPECT_EQ(getpixel(f.doc.di.get(), 15, 3), 0x0000ffu);
    EXPECT_EQ(getpixel(f.doc.di.get(), 15, 0), 0x80808au) << "beyond the tolerance";

    // A true-colour pattern on a palette picture: each colour takes its nearest entry.
    OwnedDib grey;
    newdib(&grey.get(), 6, 4, 8, nullptr, 0);
    DocumentFixture g(std::move(grey));
    OwnedDib pattern;
    newdib(&pattern.get(), 2, 1, 24, nullptr, 0);
    setpixel(pattern.get(), 0, 0, 0x0a0a0a);
    setpixel(pattern.get(), 1, 0, 0xf0f0f0);
    o.fillStyle = kFillPattern;
    o.pattern = &pattern.get();
    g.click(o, {0, 0});
    const std::uint32_t dark = nearestPaletteIndex(g.doc.di->pal, {10, 10, 10});
    const std::uint32_t light = nearestPaletteIndex(g.doc.di->pal, {240, 240, 240});
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(getpixel(g.doc.di.get(), x, 2), x % 2 ? light : dark) << x;
    }
}

// Every pair of depths: the adapted pattern has the picture's depth and palette and shows each
// pattern colour as the picture can: exactly at 24 bits, as the nearest entry otherwise.
TEST(AdaptPatternTest, EveryPairOfDepths) {
    for (const int imageBits : kAllDepths) {
        for (const int patternBits : kAllDepths) {
            const OwnedDib image = patternPicture(3, 3, imageBits);
            const OwnedDib pattern = patternPicture(5, 3, patternBits);
            const OwnedDib adapted = AdaptPattern(image.get(), pattern.get());
            ASSERT_TRUE(adapted);
            ASSERT_EQ(DIBBitCount(adapted.get()), imageBits);
            ASSERT_EQ(DIBWidth(adapted.get()), 5);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 5; ++x) {
                    const std::uint32_t v = getpixel(pattern.get(), x, y);
                    const PALETTEENTRY e = patternBits == 24 ? PALETTEENTRY{} : pattern->pal.pal[v];
                    const Rgb colour =
                        patternBits == 24
                            ? Rgb{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16)}
                            : Rgb{e.peRed, e.peGreen, e.peBlue};
                    const std::uint32_t want =
                        imageBits == 24 ? colour.red | colour.green << 8 | colour.blue << 16
                                        : nearestPaletteIndex(image->pal, colour);
                    ASSERT_EQ(getpixel(adapted.get(), x, y), want)
                        << imageBits << "/" << patternBits << " at " << x << "," << y;
                }
            }
        }
    }
}

TextBlock sampleText(QStringList lines, TextBlock::Alignment alignment) {
    TextBlock text;
    text.lines = std::move(lines);
    text.font = QFont(QStringLiteral("DejaVu Sans"));
    text.font.setPixelSize(18);
    text.alignment = alignment;
    return text;
}

// The text floats with its corner at the pointer, the next press puts it down, merging makes
// it part of the picture in colour 1 whichever button pressed, and one undo takes it away.
TEST(TextTool, FloatsFollowsThePointerMergesAndIsUndone) {
    const OwnedDib original = filled(60, 40, 8, 200);
    DocumentFixture f(copyOf(original.get()));
    f.doc.setcol1(17);
    f.doc.selectShape(1, 1, 5, 5, false, SelectionMode::Replace);
    const ToolOptions o = f.tool(Tool::Txt);

    f.click(o, {4, 4});
    EXPECT_EQ(f.host.textAsked, 1);
    EXPECT_EQ(f.doc.CanUndo, 0) << "cancelled: nothing changes";
    EXPECT_TRUE(f.doc.selaktiv);

    f.host.textAnswer = sampleText({"Ab"}, TextBlock::Alignment::Left);
    const OwnedDib mask = renderTextMask(*f.host.textAnswer);
    ASSERT_TRUE(mask);
    f.doc.PaintBox1MouseDown(TMouseButton::Right, {}, 4, 4, o);
    EXPECT_FALSE(f.doc.selaktiv) << "the selection goes before the text shows";
    EXPECT_EQ(f.doc.PaintZeug, paintzeug::kPlaceFloating);
    EXPECT_TRUE(f.doc.inPaint);
    EXPECT_EQ(f.doc.CanUndo, 1);
    f.doc.PaintBox1MouseUp(TMouseButton::Right, {}, 4, 4, o);
    f.doc.PaintBox1MouseMove({}, 10, 8, o);
    f.doc.PaintBox1MouseMove({}, 12, 9, o);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 12, 9, f.tool(Tool::Brush));
    EXPECT_TRUE(f.doc.DragingNotFinished);
    EXPECT_EQ(f.doc.CanUndo, 1) << "putting it down paints nothing";
    f.doc.FinishDraging();

    OwnedDib expected = copyOf(original.get());
    for (int y = 0; y < DIBHeight(mask.get()); ++y) {
        for (int x = 0; x < DIBWidth(mask.get()); ++x) {
            if (getpixel(mask.get(), x, y)) {
                setpixel(expected.get(), 12 + x, 9 + y, 17);
            }
        }
    }
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
    EXPECT_GT(pixelsOf(f.doc.di.get(), 17).size(), 20u);
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
}

// Lines are measured against the widest: a short first line sits flush left, in the middle
// (its margin rounded down) or flush right of a long second line. Nothing to show, nothing done.
TEST(TextTool, AlignsLinesAgainstTheWidestAndIgnoresEmptyText) {
    const int width = textBlockSize(sampleText({"WWWWWW"}, {})).width();
    const int narrow = textBlockSize(sampleText({"ii"}, {})).width();
    for (const auto alignment :
         {TextBlock::Alignment::Left, TextBlock::Alignment::Centre, TextBlock::Alignment::Right}) {
        const TextBlock text = sampleText({"ii", "WWWWWW"}, alignment);
        const OwnedDib aligned = renderTextMask(text);
        const OwnedDib alone = renderTextMask(sampleText({"ii"}, {}));
        ASSERT_EQ(DIBWidth(aligned.get()), width);
        const int shift = alignment == TextBlock::Alignment::Left     ? 0
                          : alignment == TextBlock::Alignment::Centre ? (width - narrow) / 2
                                                                      : width - narrow;
        for (int y = 0; y < DIBHeight(alone.get()); ++y) {
            for (int x = 0; x < width; ++x) {
                const bool ink =
                    x >= shift && x - shift < narrow && getpixel(alone.get(), x - shift, y) != 0;
                ASSERT_EQ(getpixel(aligned.get(), x, y) != 0, ink)
                    << int(alignment) << " at " << x << "," << y;
            }
        }
    }
    DocumentFixture f(filled(10, 10, 24, 0xffffff));
    f.host.textAnswer = sampleText({"", ""}, {});
    f.click(f.tool(Tool::Txt), {1, 1});
    EXPECT_EQ(f.doc.CanUndo, 0);
    EXPECT_FALSE(f.doc.inPaint);

    // No memory for the text's pictures: the message, nothing floats.
    MessageCapture messages;
    ASSERT_TRUE(f.doc.SaveForUndo());
    {
        AllocationFailure shortage(1);
        EXPECT_FALSE(f.doc.InsertText(sampleText({"Ab"}, {})));
    }
    EXPECT_EQ(messages.texts(), QStringList{"Error: Not enough memory for this function!!!"});
    EXPECT_FALSE(f.doc.inPaint);
    EXPECT_FALSE(f.doc.hasFloating());
}

} // namespace

// A drag's moves and release belong to the tool whose press began it, whatever tool the
// options name by then (a tool picked from the keyboard mid-drag), and every drag leaves the
// document at rest.
TEST(ToolDrags, MovesAndReleaseFollowTheToolThatPressed) {
    TShiftState square;
    square.shift = true;
    for (const Tool tool :
         {Tool::Brush, Tool::Line, Tool::Shape, Tool::Select, Tool::FreeSel, Tool::Hand}) {
        SCOPED_TRACE(int(tool));
        const auto dragged = [&](Tool later) {
            auto f = std::make_unique<DocumentFixture>(filled(40, 30, 8, 1));
            f->host.box = QSize(1000, 1000);
            f->host.state.h = f->host.state.v = 50;
            f->doc.PaintBox1MouseDown(TMouseButton::Left, square, 5, 4, pen(tool));
            f->doc.PaintBox1MouseMove(square, 20, 9, pen(later));
            f->doc.PaintBox1MouseMove(square, 31, 25, pen(later));
            f->doc.PaintBox1MouseUp(TMouseButton::Left, square, 31, 25, pen(later));
            return f;
        };
        const auto same = dragged(tool);
        const auto switched = dragged(Tool::Zoom);
        EXPECT_EQ(pixelBytes(switched->doc.di.get()), pixelBytes(same->doc.di.get()));
        EXPECT_EQ(switched->doc.selaktiv, same->doc.selaktiv);
        EXPECT_EQ(maskBits(switched->doc.seldib.get()), maskBits(same->doc.seldib.get()));
        EXPECT_EQ(switched->host.state.h, same->host.state.h);
        EXPECT_EQ(switched->host.state.v, same->host.state.v);
        EXPECT_TRUE(pixelBytes(same->doc.di.get()) != pixelBytes(filled(40, 30, 8, 1).get()) ||
                    same->doc.selaktiv || same->host.state.h != 50)
            << "the drag did something";
        EXPECT_FALSE(same->doc.inPaint);
        EXPECT_EQ(same->doc.PaintZeug, paintzeug::kNone) << "at rest after the release";
    }
}
