#include "DocumentFixture.h"

#include "PolygonReference.h"
#include "TestSupport.h"

#include "imageops/Masks.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace grafikrw3;

namespace {

// The outline as the scan defines it, pixel by pixel through getpixel.
std::vector<TPoint> referenceOutline(const dib& m) {
    const int w = DIBWidth(m), h = DIBHeight(m);
    std::vector<TPoint> points;
    auto bit = [&](int x, int y) { return getpixel(m, x, y) != 0; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool c = bit(x, y);
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
                if (c) {
                    points.push_back({x, y});
                }
                continue;
            }
            const bool r = bit(x + 1, y), b = bit(x, y + 1);
            if (!c && r) {
                points.push_back({x + 1, y});
            } else if (c && !r) {
                points.push_back({x, y});
            }
            if (!c && b) {
                points.push_back({x, y + 1});
            } else if (c && !b) {
                points.push_back({x, y});
            }
        }
    }
    return points;
}

// Outline, bounding box and flag agree with the mask.
void expectConsistent(const ImageDocument& doc) {
    const std::vector<TPoint> ref = referenceOutline(doc.seldib.get());
    ASSERT_EQ(doc.selpunkte(), ref);
    EXPECT_EQ(doc.selaktiv, !ref.empty());
    if (!ref.empty()) {
        TRect box{INT32_MAX, INT32_MAX, -1, -1};
        for (const TPoint& p : ref) {
            box = {std::min(box.Left, p.x), std::min(box.Top, p.y), std::max(box.Right, p.x),
                   std::max(box.Bottom, p.y)};
        }
        EXPECT_EQ(doc.selrect, box);
    }
}

class Selections : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Selections, ShapesCombineByTheModifiersHeldAtRelease) {
    const auto [bits, width] = GetParam();
    const int height = 9;
    DocumentFixture f(patternPicture(width, height, bits));
    OwnedDib expected = emptyMask(f.doc.di.get());
    auto check = [&](const char* step) {
        ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get())) << step;
        expectConsistent(f.doc);
    };

    // The rubber band from (0, 1) to (width, 6) outlined the pixels up to 5 and width - 1.
    f.drag(f.tool(Tool::Select), {0, 1}, {width, 6});
    recht_filled(expected.get(), 0, 1, width - 1, 5, 1);
    check("rectangle");
    EXPECT_EQ(f.doc.PaintZeug, 0);
    EXPECT_FALSE(f.doc.inPaint);

    // Shift adds an ellipse; the pointer beyond the paint box is held at its edge.
    f.drag(f.tool(Tool::Select, 2), {width / 2, 3}, {width + 5, 9}, withShift());
    FilledEllipse(expected.get(), width / 2, 3, width - 1, 8, 1);
    check("ellipse added");

    // Ctrl subtracts a square: from (1, 0) towards (3, 7) the band is held to 2 x 2 (and to
    // the paint box).
    f.drag(f.tool(Tool::Select, 1), {1, 0}, {3, 7}, withCtrl());
    recht_filled(expected.get(), 1, 0, std::min(3, width) - 1, 1, 0);
    check("square subtracted");

    // Shift and Ctrl together add; a drag up and to the left works as well.
    TShiftState both = withShift();
    both.ctrl = true;
    f.drag(f.tool(Tool::Select), {width, 9}, {width - 1, 8}, both);
    recht_filled(expected.get(), width - 2, 7, width - 1, 8, 1);
    check("both keys add");

    // Without a key, a drag starting beside the selection replaces it; a circle stays round.
    ASSERT_EQ(getpixel(f.doc.seldib.get(), 0, 0), 0u);
    f.drag(f.tool(Tool::Select, 3), {0, 0}, {width, 2});
    imageops::fillMask(expected.get(), false);
    const int side = width >= 2 ? 1 : 0;
    FilledEllipse(expected.get(), 0, 0, side, side, 1);
    check("circle replaces");
}

TEST_P(Selections, MagicWandSelectsTheConnectedAreaInEveryMode) {
    const auto [bits, width] = GetParam();
    const int height = 5;
    const std::uint32_t stripeValue = maskFor(bits);
    OwnedDib picture;
    newdib(&picture.get(), width, height, bits, nullptr, 0);
    const int stripe = width >= 3 ? width / 2 : width;
    recht_filled(picture.get(), stripe, 0, stripe, height - 1, stripeValue);
    DocumentFixture f(std::move(picture));
    OwnedDib expected = emptyMask(f.doc.di.get());
    const ToolOptions wand = f.tool(Tool::Magic);

    f.click(wand, {0, 2});
    recht_filled(expected.get(), 0, 0, stripe - 1, height - 1, 1);
    ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get()));
    expectConsistent(f.doc);

    if (stripe < width) {
        f.click(wand, {stripe, 0}, withShift());
        recht_filled(expected.get(), stripe, 0, stripe, height - 1, 1);
        ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get()));
        f.click(wand, {0, 0}, withCtrl());
        recht_filled(expected.get(), 0, 0, stripe - 1, height - 1, 0);
        ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get()));
        expectConsistent(f.doc);
    }
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, Selections,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

TEST(SelectionOutline, ListsEdgePixelsInScanOrderAtEveryWidth) {
    for (const int width : {1, 2, 7, 8, 9, 15, 16, 17, 24, 31, 33, 64, 65}) {
        for (const int height : {1, 2, 3, 6}) {
            OwnedDib mask = patternPicture(width, height, 1);
            for (int round = 0; round < 3; ++round) {
                // Noise, then its complement with garbage in the padding, then blocks that let
                // whole bytes be skipped.
                if (round == 1) {
                    imageops::invertMask(mask.get());
                } else if (round == 2) {
                    imageops::fillMask(mask.get(), true);
                    recht_filled(mask.get(), width / 3, height / 3, width / 2, height / 2, 0);
                }
                const SelectionOutline outline = buildOutline(mask.get());
                ASSERT_EQ(outline.points, referenceOutline(mask.get()))
                    << width << "x" << height << " round " << round;
                ASSERT_EQ(outline.rowStart.size(), std::size_t(height) + 1);
                for (int y = 0; y < height; ++y) {
                    for (std::size_t i = outline.rowStart[std::size_t(y)];
                         i < outline.rowStart[std::size_t(y) + 1]; ++i) {
                        ASSERT_TRUE(outline.points[i].y == y || outline.points[i].y == y + 1);
                    }
                }
            }
        }
    }
}

TEST(SelectionCommands, AllNoneAndInvertWithTheirEdgeCases) {
    DocumentFixture one(patternPicture(1, 1, 8));
    ASSERT_TRUE(one.doc.SelectAll());
    EXPECT_EQ(one.doc.selpunkte(), (std::vector<TPoint>{{0, 0}}));
    EXPECT_EQ(one.doc.selrect, (TRect{0, 0, 0, 0}));

    DocumentFixture f(patternPicture(5, 5, 4));
    ASSERT_TRUE(f.doc.InvertSelection());
    EXPECT_TRUE(f.doc.selaktiv);
    EXPECT_EQ(f.doc.selrect, (TRect{0, 0, 4, 4}));
    ASSERT_TRUE(f.doc.InvertSelection());
    EXPECT_FALSE(f.doc.selaktiv) << "the complement of everything is nothing";

    // A single pixel inside is listed for itself and for its upper and left neighbours.
    f.doc.selectShape(2, 2, 2, 2, false, SelectionMode::Replace);
    EXPECT_EQ(f.doc.selpunkte(), (std::vector<TPoint>(4, TPoint{2, 2})));
    EXPECT_EQ(f.doc.selrect, (TRect{2, 2, 2, 2}));

    const int menus = f.host.menuUpdates;
    ASSERT_TRUE(f.doc.SelectNone());
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_FALSE(imageops::maskHasAny(f.doc.seldib.get()));
    EXPECT_GT(f.host.menuUpdates, menus);
    EXPECT_EQ(f.doc.CanUndo, 3);
}

TEST(SelectionCommands, RightClickOnTheSelectionEmptiesIt) {
    DocumentFixture f(patternPicture(20, 10, 24));
    f.doc.selectShape(2, 2, 8, 6, false, SelectionMode::Replace);
    f.click(f.tool(Tool::FreeSel), {4, 4}, {}, TMouseButton::Right);
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_FALSE(imageops::maskHasAny(f.doc.seldib.get()));
    EXPECT_EQ(f.doc.CanUndo, 1);
}

TEST(FreehandSelection, OutlineIsClampedClosedAndConvertedAtRelease) {
    DocumentFixture f(patternPicture(30, 20, 8));
    f.doc.SetZoom(2, 1); // paint box 60 x 40
    const ToolOptions o = f.tool(Tool::FreeSel);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 10, 4, o);
    f.doc.PaintBox1MouseMove({}, 50, 6, o);
    f.doc.PaintBox1MouseMove({}, 90, 30, o); // held at (59, 30)
    f.doc.PaintBox1MouseMove({}, 20, -8, o); // held at (20, 0)
    ASSERT_NE(f.doc.freehandOutline(), nullptr);
    EXPECT_EQ(*f.doc.freehandOutline(), (std::vector<TPoint>{{50, 6}, {59, 30}, {20, 0}}));
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 20, -8, o);
    EXPECT_EQ(f.doc.freehandOutline(), nullptr);

    OwnedDib expected = emptyMask(f.doc.di.get());
    const std::vector<TPoint> polygon{{25, 3}, {29, 15}, {10, 0}, {5, 2}};
    imageops::fillPolygon(expected.get(), polygon, 1);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get()));

    // A press and a release without a move select the press point only.
    f.drag(o, {40, 30}, {40, 30}, withShift());
    setpixel(expected.get(), 20, 15, 1);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), maskBits(expected.get()));
}

// Unselected pixels that no 4-connected path of unselected pixels joins to the picture's edge:
// holes, around which the marching ants would run in little loops.
int enclosedPixels(const dib& mask) {
    const int w = DIBWidth(mask), h = DIBHeight(mask);
    std::vector<char> reached(std::size_t(w * h), 0);
    std::vector<QPoint> open;
    auto visit = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h && !reached[std::size_t(y * w + x)] &&
            getpixel(mask, x, y) == 0) {
            reached[std::size_t(y * w + x)] = 1;
            open.emplace_back(x, y);
        }
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!open.empty()) {
        const QPoint p = open.back();
        open.pop_back();
        visit(p.x() + 1, p.y());
        visit(p.x() - 1, p.y());
        visit(p.x(), p.y() + 1);
        visit(p.x(), p.y() - 1);
    }
    int holes = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            holes += getpixel(mask, x, y) == 0 && !reached[std::size_t(y * w + x)] ? 1 : 0;
        }
    }
    return holes;
}

// The convex hull of `points`, counter-clockwise.
std::vector<TPoint> convexHull(std::vector<TPoint> points) {
    std::sort(points.begin(), points.end(),
              [](TPoint a, TPoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3) {
        return points;
    }
    auto turn = [](TPoint o, TPoint a, TPoint b) {
        return std::int64_t(a.x - o.x) * (b.y - o.y) - std::int64_t(a.y - o.y) * (b.x - o.x);
    };
    std::vector<TPoint> hull(2 * points.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) {
            --k;
        }
        hull[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0) {
            --k;
        }
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

// Free-hand outlines drawn with the mouse at several zooms select every pixel inside them and
// their outline, as an independent fill finds them; convex ones (the first is a user's) leave
// no hole for the marching ants to loop around.
TEST(FreehandSelection, SelectsEveryPixelInsideTheOutlineAtEveryZoom) {
    DocumentFixture f(patternPicture(40, 30, 24));
    const ToolOptions o = f.tool(Tool::FreeSel);
    std::mt19937 random(4);
    for (const auto& [zin, zout] : {std::pair{8, 1}, {1, 1}, {3, 1}, {1, 2}}) {
        f.doc.SetZoom(zin, zout);
        const int boxWidth = 40 * zin / zout, boxHeight = 30 * zin / zout;
        auto toImage = [&](QPoint p) { return TPoint{p.x() * zout / zin, p.y() * zout / zin}; };
        auto toBox = [&](TPoint p) { return QPoint(p.x * zin / zout, p.y * zin / zout); };
        // Presses at the first point, moves through the others, releases at the last.
        auto drawOutline = [&](const std::vector<QPoint>& box) {
            ASSERT_TRUE(f.doc.SelectNone());
            f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, box[0].x(), box[0].y(), o);
            for (std::size_t i = 1; i < box.size(); ++i) {
                f.doc.PaintBox1MouseMove({}, box[i].x(), box[i].y(), o);
            }
            f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, box.back().x(), box.back().y(), o);
        };
        std::vector<std::vector<TPoint>> convex = {
            {{3, 3}, {12, 4}, {25, 6}, {36, 10}, {30, 20}, {20, 27}, {12, 22}, {6, 12}}};
        for (int round = 0; round < 40; ++round) {
            std::vector<QPoint> box(2 + random() % 11);
            for (QPoint& p : box) {
                p = QPoint(int(random() % std::uint32_t(boxWidth)),
                           int(random() % std::uint32_t(boxHeight)));
            }
            drawOutline(box);
            std::vector<TPoint> polygon;
            for (const QPoint& p : box) {
                polygon.push_back(toImage(p));
            }
            ASSERT_EQ(maskBits(f.doc.seldib.get()),
                      maskBits(referencePolygon(40, 30, polygon).get()))
                << zin << ":" << zout << ", round " << round;
            expectConsistent(f.doc);
            convex.push_back(convexHull(polygon));
        }
        for (const std::vector<TPoint>& hull : convex) {
            std::vector<QPoint> box;
            std::vector<TPoint> polygon;
            for (const TPoint& p : hull) {
                box.push_back(toBox(p));
                polygon.push_back(toImage(box.back()));
            }
            drawOutline(box);
            ASSERT_EQ(maskBits(f.doc.seldib.get()),
                      maskBits(referencePolygon(40, 30, polygon).get()));
            EXPECT_EQ(enclosedPixels(f.doc.seldib.get()), 0)
                << zin << ":" << zout << ", polygon of " << polygon.size();
        }
    }
}

TEST(MagicWand, ShortageLeavesTheSelectionAsItWas) {
    DocumentFixture f(patternPicture(64, 64, 8));
    f.doc.selectShape(3, 3, 9, 9, true, SelectionMode::Replace);
    const auto before = maskBits(f.doc.seldib.get());
    MessageCapture messages;
    {
        AllocationFailure failure(512);
        EXPECT_FALSE(f.doc.MagicWandSelect(40, 40, 25));
    }
    EXPECT_EQ(maskBits(f.doc.seldib.get()), before);
    EXPECT_TRUE(f.doc.selaktiv);
    EXPECT_EQ(messages.texts(), QStringList{"Fehler: nicht genug Speicher für diese Operation!"});
}

} // namespace
