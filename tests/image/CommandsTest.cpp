#include "DocumentFixture.h"

#include "TestSupport.h"

#include "foundation/DibCopy.h"
#include "imageops/Effects.h"
#include "imageops/Transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

using namespace grafikrw3;
using imageops::OpStatus;
using imageops::RotateParams;
using imageops::ShadowParams;

namespace {

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

// `picture` with `block` (top-down rectangle) replaced by `by` placed at its top-left corner:
// the pixels `mask` (of by's size, null: all) marks go in, cut to the picture.
OwnedDib withBlock(const dib& picture, QPoint corner, const dib& by, const dib* mask = nullptr) {
    OwnedDib result = copyOf(picture);
    for (int y = 0; y < DIBHeight(by); ++y) {
        for (int x = 0; x < DIBWidth(by); ++x) {
            const int tx = corner.x() + x, ty = corner.y() + y;
            if ((!mask || getpixel(*mask, x, y)) && tx < DIBWidth(picture) &&
                ty < DIBHeight(picture)) {
                setpixel(result.get(), tx, ty, getpixel(by, x, y));
            }
        }
    }
    return result;
}

OwnedDib blockOf(const dib& picture, const QRect& r) {
    OwnedDib block = imageops::newPictureLike(picture, r.width(), r.height());
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            setpixel(block.get(), x, y, getpixel(picture, r.x() + x, r.y() + y));
        }
    }
    return block;
}

// The set bits of a mask as a rectangle, or an empty one when they do not form one.
QRect maskRect(const dib& mask) {
    QRect box;
    int count = 0;
    for (int y = 0; y < DIBHeight(mask); ++y) {
        for (int x = 0; x < DIBWidth(mask); ++x) {
            if (getpixel(mask, x, y)) {
                box |= QRect(x, y, 1, 1);
                ++count;
            }
        }
    }
    return count == box.width() * box.height() ? box : QRect();
}

RotateParams quarter(bool right) {
    RotateParams p;
    p.winkel = RotateParams::Winkel::Grad90;
    p.rechts = right;
    return p;
}

class SelectionCommands : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Mirroring and turning a selected block happen in its own box at every depth and width: the
// pixels around it stay, the selection stays, each command is one undo step, and mirroring
// both ways equals half a turn.
TEST_P(SelectionCommands, MirrorAndHalfTurnStayInTheBox) {
    const auto [bits, width] = GetParam();
    const int height = 6;
    const OwnedDib original = patternPicture(width, height, bits);
    DocumentFixture f(copyOf(original.get()));
    const QRect box(width > 2 ? 1 : 0, 1, width > 2 ? width - 1 : width, 4);
    f.doc.selectShape(box.left(), box.top(), box.right(), box.bottom(), false,
                      SelectionMode::Replace);

    ASSERT_EQ(f.doc.FlipH(), OpStatus::Done);
    OwnedDib expected = withBlock(original.get(), box.topLeft(),
                                  imageops::MirrorDibH(blockOf(original.get(), box).get()).get());
    EXPECT_EQ(pixelValues(f.doc.di.get()), pixelValues(expected.get()));
    EXPECT_EQ(maskRect(f.doc.seldib.get()), box);
    EXPECT_TRUE(f.doc.DragingNotFinished);
    const auto afterFlipH = pixelValues(f.doc.di.get());

    ASSERT_EQ(f.doc.FlipV(), OpStatus::Done);
    RotateParams half;
    half.winkel = RotateParams::Winkel::Grad180;
    ASSERT_EQ(f.doc.rotate(half), OpStatus::Done);
    EXPECT_EQ(pixelValues(f.doc.di.get()), pixelValues(original.get()));
    EXPECT_EQ(maskRect(f.doc.seldib.get()), box);
    EXPECT_EQ(f.doc.CanUndo, 3);

    f.doc.LoadFromUndo();
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelValues(f.doc.di.get()), afterFlipH);
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_FALSE(f.doc.DragingNotFinished);
    EXPECT_EQ(maskRect(f.doc.seldib.get()), box);
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, SelectionCommands,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

class QuarterTurn : public ::testing::TestWithParam<int> {};

// A block lifted, moved and put down (its old place filled with the background colour) turns
// a quarter about its own corner: the block of w x h becomes h x w there, and the selection
// with it. Zoomed out, the corner stays where it was all the same.
TEST_P(QuarterTurn, TurnsAboutTheFloatingCorner) {
    const int bits = GetParam();
    const OwnedDib original = patternPicture(24, 20, bits);
    DocumentFixture f(copyOf(original.get()));
    f.doc.SetZoom(1, 3);
    const QRect block(2, 3, 7, 4);
    f.doc.selectShape(block.left(), block.top(), block.right(), block.bottom(), false,
                      SelectionMode::Replace);
    // Picked up inside, put down 9 right and 6 down (3 and 2 pixels of the paint box at 1:3).
    f.drag(f.tool(Tool::Select), {1, 1}, {4, 3});
    ASSERT_TRUE(f.doc.DragingNotFinished);
    const TPoint corner = f.doc.floatingPos;
    ASSERT_EQ(corner, (TPoint{11, 9}));
    const OwnedDib background = copyOf(f.doc.tempdi.get());

    const int steps = f.doc.CanUndo;
    ASSERT_EQ(f.doc.rotate(quarter(true)), OpStatus::Done);
    const OwnedDib turned = imageops::RotRight(blockOf(original.get(), block).get());
    const OwnedDib expected = withBlock(background.get(), {corner.x, corner.y}, turned.get());
    EXPECT_EQ(pixelValues(f.doc.di.get()), pixelValues(expected.get()));
    EXPECT_EQ(maskRect(f.doc.seldib.get()), QRect(corner.x, corner.y, 4, 7));
    EXPECT_EQ(f.doc.floatingPos, corner);
    EXPECT_EQ(f.doc.CanUndo, steps + 1);

    // Three more quarter turns to the right bring the block back as it was.
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(f.doc.rotate(quarter(true)), OpStatus::Done);
    }
    EXPECT_EQ(pixelValues(f.doc.di.get()),
              pixelValues(withBlock(background.get(), {corner.x, corner.y},
                                    blockOf(original.get(), block).get())
                              .get()));
    EXPECT_EQ(maskRect(f.doc.seldib.get()), QRect(corner.x, corner.y, 7, 4));
}

INSTANTIATE_TEST_SUITE_P(Depths, QuarterTurn, ::testing::ValuesIn(kAllDepths));

// Turned by any angle, the block starts at the old corner and its uncovered corners stay out
// of the selection and off the image, also for floating pixels that came without a mask.
TEST(Rotate, AFreeAngleLeavesTheCornersOut) {
    const OwnedDib original = patternPicture(60, 50, 24);
    for (const bool withMask : {true, false}) {
        SCOPED_TRACE(withMask);
        DocumentFixture f(copyOf(original.get()));
        const TPoint corner{6, 5};
        if (withMask) {
            f.doc.selectShape(6, 5, 15, 14, false, SelectionMode::Replace);
        } else {
            // As a pasted picture: placed without a mask, put down by the next press.
            ASSERT_TRUE(f.doc.InitDraging(patternPicture(10, 10, 24), OwnedDib(), false, false,
                                          paintzeug::kPlaceFloating, true));
            f.doc.PaintBox1MouseMove({}, corner.x, corner.y, f.tool(Tool::Select));
            f.click(f.tool(Tool::Select), {corner.x, corner.y});
            ASSERT_TRUE(f.doc.DragingNotFinished);
            ASSERT_FALSE(f.doc.dragSel);
        }
        const OwnedDib background = copyOf(f.doc.tempdi ? f.doc.tempdi.get() : f.doc.di.get());
        RotateParams p;
        p.grad = 45;
        p.rechts = true;
        ASSERT_EQ(f.doc.rotate(p), OpStatus::Done);

        // The turned mask starts at the old corner (give or take the rounding of its edge), and
        // the floating pictures start where it does.
        const TRect r = f.doc.selrect;
        EXPECT_NEAR(r.Left, corner.x, 1);
        EXPECT_NEAR(r.Top, corner.y, 1);
        EXPECT_NEAR(r.Right - r.Left + 1, 14, 1);
        EXPECT_EQ(f.doc.floatingPos, (TPoint{r.Left, r.Top}));
        ASSERT_TRUE(f.doc.dragSel);
        const QRect maskBox =
            QRect(0, 0, DIBWidth(f.doc.dragdi2.get()), DIBHeight(f.doc.dragdi2.get()));
        QRect covered;
        for (int y = 0; y < maskBox.height(); ++y) {
            for (int x = 0; x < maskBox.width(); ++x) {
                if (getpixel(f.doc.dragdi2.get(), x, y)) {
                    covered |= QRect(x, y, 1, 1);
                }
            }
        }
        EXPECT_EQ(covered.topLeft(), QPoint(0, 0));
        EXPECT_EQ(DIBWidth(f.doc.dragdi1.get()), maskBox.width());
        // The diamond's top-left corner: neither selected nor painted.
        EXPECT_FALSE(f.doc.isSelected(r.Left, r.Top));
        EXPECT_EQ(getpixel(f.doc.di.get(), r.Left, r.Top),
                  getpixel(background.get(), r.Left, r.Top));
        EXPECT_TRUE(f.doc.isSelected((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        // Outside the box nothing changed.
        for (int x = 0; x < 60; ++x) {
            EXPECT_EQ(getpixel(f.doc.di.get(), x, 30), getpixel(background.get(), x, 30));
        }
    }
}

// The whole picture turns into a new one: two undo steps, of which the first already returns
// to the picture before the command; the view keeps its zoom. When the turned picture cannot
// be made the picture stays.
TEST(Rotate, TheWholePictureTakesTwoStepsAndKeepsTheZoom) {
    const OwnedDib original = patternPicture(32, 20, 8);
    DocumentFixture f(copyOf(original.get()));
    f.doc.SetZoom(2, 1);
    ASSERT_EQ(f.doc.rotate(quarter(true)), OpStatus::Done);
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(imageops::RotRight(original.get()).get()));
    EXPECT_EQ(f.host.box, QSize(40, 64));
    EXPECT_EQ(DIBWidth(f.doc.seldib.get()), 20);
    EXPECT_EQ(f.doc.CanUndo, 2);
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(f.host.box, QSize(64, 40));

    MessageCapture messages;
    {
        AllocationFailure failure(200);
        EXPECT_EQ(f.doc.rotate(quarter(false)), OpStatus::Unchanged); // no undo step either
    }
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(f.doc.CanUndo, 1);
}

class Crop : public ::testing::TestWithParam<int> {};

// The picture becomes the selection's box; selected pixels keep their values, the others in
// the box become 0; the zoom stays and the selection ends; one undo step brings everything
// back.
TEST_P(Crop, KeepsTheSelectedPixelsOfTheBox) {
    const int bits = GetParam();
    const OwnedDib original = patternPicture(33, 17, bits);
    DocumentFixture f(copyOf(original.get()));
    f.doc.SetZoom(3, 1);
    EXPECT_EQ(f.doc.cropToSelection(), OpStatus::Unchanged); // nothing selected
    EXPECT_EQ(f.doc.CanUndo, 0);

    f.doc.selectShape(4, 2, 28, 13, true, SelectionMode::Replace);
    const OwnedDib mask = copyOf(f.doc.seldib.get());
    const TRect r = f.doc.selrect;
    std::vector<int> progress;
    ASSERT_EQ(f.doc.cropToSelection([&](int p) {
        progress.push_back(p);
        return true;
    }),
              OpStatus::Done);
    const int w = r.Right - r.Left + 1, h = r.Bottom - r.Top + 1;
    ASSERT_EQ(DIBWidth(f.doc.di.get()), w);
    ASSERT_EQ(DIBHeight(f.doc.di.get()), h);
    EXPECT_EQ(DIBBitCount(f.doc.di.get()), bits);
    OwnedDib expected = imageops::newPictureLike(original.get(), w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (getpixel(mask.get(), x + r.Left, y + r.Top)) {
                setpixel(expected.get(), x, y, getpixel(original.get(), x + r.Left, y + r.Top));
            }
        }
    }
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
    if (bits <= 8) {
        EXPECT_EQ(0, std::memcmp(f.doc.di->pal.pal, original->pal.pal, sizeof original->pal.pal));
    }
    EXPECT_EQ(f.host.box, QSize(3 * w, 3 * h));
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(progress.back(), 0);
    EXPECT_EQ(*std::max_element(progress.begin(), progress.end()), 100);
    EXPECT_EQ(f.doc.CanUndo, 1);

    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(pixelBytes(f.doc.seldib.get()), pixelBytes(mask.get()));

    // A selection one row high.
    f.doc.selectShape(3, 5, 9, 5, false, SelectionMode::Replace);
    ASSERT_EQ(f.doc.cropToSelection(), OpStatus::Done);
    EXPECT_EQ(pixelValues(f.doc.di.get()),
              pixelValues(blockOf(original.get(), QRect(3, 5, 7, 1)).get()));
}

INSTANTIATE_TEST_SUITE_P(Depths, Crop, ::testing::ValuesIn(kAllDepths));

// The operations that record their own step: one step each, only the selection changes, and
// nothing happens when the step cannot be recorded.
TEST(SelfRecording, OneStepAndOnlyTheSelection) {
    const OwnedDib original = patternPicture(20, 12, 24);
    DocumentFixture f(copyOf(original.get()));
    f.doc.selectShape(5, 3, 14, 8, false, SelectionMode::Replace);
    filtertype negative{};
    negative.divisor = -1;
    negative.bias = 255;
    negative.matrix[12] = 1;
    ASSERT_EQ(f.doc.DibFilter(negative), OpStatus::Done);
    ASSERT_EQ(f.doc.DelNoise(1), OpStatus::Done);
    f.doc.DibErodeFilter();
    f.doc.DibDilateFilter();
    ASSERT_EQ(f.doc.runBuiltinFilter(imageops::kBuiltinFilters[0]), OpStatus::Done);
    EXPECT_EQ(f.doc.CanUndo, 3);
    bool changedInside = false;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x <= 14 && y >= 3 && y <= 8;
            const std::uint32_t now = getpixel(f.doc.di.get(), x, y);
            const std::uint32_t before = getpixel(original.get(), x, y);
            if (!inside) {
                EXPECT_EQ(now, before) << x << "," << y;
            }
            changedInside = changedInside || (inside && now != before);
        }
    }
    EXPECT_TRUE(changedInside);

    const auto before = pixelBytes(f.doc.di.get());
    MessageCapture messages;
    {
        AllocationFailure failure(500);
        EXPECT_EQ(f.doc.DibFilter(negative), OpStatus::Unchanged);
    }
    EXPECT_EQ(pixelBytes(f.doc.di.get()), before);
    EXPECT_EQ(messages.texts().size(), 1);
}

} // namespace

namespace {

// A change made to the picture while a floating selection is put down (a shadow cast around
// it, a palette adjusted) reaches the background, so that moving the floating pixels on does
// not take it back.
TEST(Floating, TheBackgroundTakesChangesAroundIt) {
    DocumentFixture f(patternPicture(30, 20, 8));
    f.doc.selectShape(5, 4, 14, 11, true, SelectionMode::Replace);
    ASSERT_TRUE(f.doc.MakeSelectionDragable());
    const OwnedDib under = copyOf(f.doc.tempdi.get());
    ShadowParams shadow;
    shadow.px = 6;
    shadow.py = 3;
    shadow.color = 7;
    ASSERT_EQ(DrawShadow(f.doc.di.get(), shadow, f.doc.selection()), OpStatus::Done);
    for (int i = 0; i < 256; ++i) {
        f.doc.di->pal.pal[i].peRed = std::uint8_t(255 - i);
    }
    f.doc.backgroundFollowsImage();

    const TPoint at = f.doc.floatingPos;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool covered = x >= at.x && y >= at.y &&
                                 x < at.x + DIBWidth(f.doc.dragdi1.get()) &&
                                 y < at.y + DIBHeight(f.doc.dragdi1.get()) &&
                                 getpixel(f.doc.dragdi2.get(), x - at.x, y - at.y);
            EXPECT_EQ(getpixel(f.doc.tempdi.get(), x, y),
                      getpixel(covered ? under.get() : f.doc.di.get(), x, y))
                << x << "," << y;
        }
    }
    EXPECT_EQ(f.doc.tempdi->pal.pal[3].peRed, 252);
    EXPECT_EQ(f.doc.dragdi1->pal.pal[3].peRed, 252);
    EXPECT_EQ(f.doc.tempdi->pmi->colors()[3].rgbRed, f.doc.di->pmi->colors()[3].rgbRed);
}

} // namespace
