#include "DocumentFixture.h"

#include "foundation/DibCopy.h"
#include "imageops/Masks.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace grafikrw3;

namespace {

OwnedDib copyOf(const dib& d) {
    return OwnedDib(copyDib(d));
}

// First selected pixel in scan order.
QPoint firstSelected(const ImageDocument& doc) {
    for (int y = 0; y < DIBHeight(doc.seldib.get()); ++y) {
        for (int x = 0; x < DIBWidth(doc.seldib.get()); ++x) {
            if (doc.isSelected(x, y)) {
                return {x, y};
            }
        }
    }
    return {-1, -1};
}

class Floating : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Lift an elliptic selection, drop it one pixel down (and right, partly off the image), pick
// it up again and bring it back: the hole is filled with the background colour meanwhile, the
// selection follows, and the way back restores the picture exactly.
TEST_P(Floating, LiftMoveDropPickUpAndMerge) {
    const auto [bits, width] = GetParam();
    const int height = 8;
    const OwnedDib original = patternPicture(width, height, bits);
    DocumentFixture f(copyOf(original.get()));
    const std::uint32_t background = maskFor(bits);
    ASSERT_EQ(f.doc.col2, std::int32_t(background));
    f.doc.selectShape(0, 1, width - 1, 6, true, SelectionMode::Replace);
    const OwnedDib lifted = copyOf(f.doc.seldib.get());

    const int dx = width >= 4 ? 2 : width >= 2 ? 1 : 0;
    const int dy = 1;
    const QPoint start = firstSelected(f.doc);
    f.drag(f.tool(Tool::Select), start, start + QPoint(dx, dy));
    EXPECT_TRUE(f.doc.DragingNotFinished);
    EXPECT_FALSE(f.doc.inPaint);
    EXPECT_EQ(f.doc.floatingPos, (TPoint{dx, 1 + dy}));

    OwnedDib expected = copyOf(original.get());
    OwnedDib expectedMask = emptyMask(original.get());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (getpixel(lifted.get(), x, y)) {
                setpixel(expected.get(), x, y, background);
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (getpixel(lifted.get(), x, y)) {
                setpixel(expected.get(), x + dx, y + dy, getpixel(original.get(), x, y));
                setpixel(expectedMask.get(), x + dx, y + dy, 1);
            }
        }
    }
    ASSERT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
    ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(expectedMask.get()));
    EXPECT_EQ(pixelBytes(f.doc.tempdi.get()).size(), pixelBytes(original.get()).size());

    // Back again with the hand tool: the part that hung over the edge comes back too.
    const QPoint again = firstSelected(f.doc);
    f.drag(f.tool(Tool::Hand), again, again - QPoint(dx, dy));
    ASSERT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    ASSERT_EQ(maskBits(f.doc.seldib.get()), maskBits(lifted.get()));

    f.doc.FinishDraging();
    EXPECT_FALSE(f.doc.hasFloating());
    EXPECT_FALSE(f.doc.tempdi);
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(f.doc.CanUndo, 2);
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, Floating,
                         ::testing::Combine(::testing::ValuesIn(kAllDepths),
                                            ::testing::ValuesIn(kBoundaryWidths)));

class TransparentPaste : public ::testing::TestWithParam<int> {};

// Pasted transparent pixels in the background colour are not painted, and once put down they
// no longer belong to the floating selection: moving it again moves only the others.
TEST_P(TransparentPaste, BackgroundColouredPixelsStayUnpaintedAndLeaveTheSelection) {
    const int bits = GetParam();
    const OwnedDib original = patternPicture(12, 6, bits);
    DocumentFixture f(copyOf(original.get()));
    const std::uint32_t key = std::uint32_t(f.doc.col2);
    OwnedDib pasted = patternPicture(5, 3, bits);
    for (int i = 0; i < 3; ++i) {
        setpixel(pasted.get(), i, i, key);
    }
    const OwnedDib pixels = copyOf(pasted.get());
    ASSERT_TRUE(f.doc.InitDraging(std::move(pasted), {}, false, true, 99, true));
    EXPECT_TRUE(f.host.captured);
    f.doc.PaintBox1MouseMove({}, 4, 2, f.tool(Tool::Zoom));
    // The next press of any tool puts it down, and the release does nothing more.
    f.click(f.tool(Tool::Zoom), {4, 2});
    EXPECT_FALSE(f.host.captured);
    EXPECT_EQ(f.doc.zoomin, 1);

    auto expectAt = [&](int ox, int oy) {
        OwnedDib expected = copyOf(original.get());
        OwnedDib mask = emptyMask(original.get());
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                const std::uint32_t v = getpixel(pixels.get(), x, y);
                if (v != key) {
                    setpixel(expected.get(), ox + x, oy + y, v);
                    setpixel(mask.get(), ox + x, oy + y, 1);
                }
            }
        }
        EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get())) << ox << "," << oy;
        EXPECT_EQ(maskBits(f.doc.seldib.get()), maskBits(mask.get())) << ox << "," << oy;
    };
    expectAt(4, 2);
    EXPECT_FALSE(f.doc.dragtrans);
    const QPoint grip = firstSelected(f.doc);
    f.drag(f.tool(Tool::Hand), grip, grip + QPoint(3, 1));
    expectAt(7, 3);
}

INSTANTIATE_TEST_SUITE_P(Depths, TransparentPaste, ::testing::ValuesIn(kAllDepths));

TEST(FloatingPosition, PickingUpKeepsItsPlaceAndCarriesPaintAlong) {
    // A mask with empty outer rows and columns, as text and pasted masks have.
    const OwnedDib original = patternPicture(20, 14, 24);
    DocumentFixture f(copyOf(original.get()));
    OwnedDib pixels = patternPicture(6, 6, 24);
    OwnedDib mask;
    newdib(&mask.get(), 6, 6, 1, nullptr, 0);
    recht_filled(mask.get(), 2, 2, 3, 4, 1);
    const OwnedDib floatingPixels = copyOf(pixels.get());
    const OwnedDib floatingMask = copyOf(mask.get());
    ASSERT_TRUE(f.doc.InitDraging(std::move(pixels), std::move(mask), true, false, 99, true));
    f.click(f.tool(Tool::Drop), {5, 4}, {}, TMouseButton::Middle);
    EXPECT_EQ(f.doc.selrect, (TRect{7, 6, 8, 8}));

    // Paint on the put-down selection, pick it up and put it down where it lies: nothing moves.
    setpixel(f.doc.di.get(), 7, 6, 0x0000ff);
    const std::vector<std::uint8_t> before = pixelBytes(f.doc.di.get());
    f.click(f.tool(Tool::Hand), {7, 6});
    EXPECT_EQ(pixelBytes(f.doc.di.get()), before);
    EXPECT_EQ(f.doc.selrect, (TRect{7, 6, 8, 8}));

    // One pixel to the right: the painted pixel travels with it, the background shows again.
    f.drag(f.tool(Tool::Hand), {7, 6}, {8, 6});
    OwnedDib expected = copyOf(original.get());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (getpixel(floatingMask.get(), x, y)) {
                setpixel(expected.get(), 6 + x, 4 + y, getpixel(floatingPixels.get(), x, y));
            }
        }
    }
    setpixel(expected.get(), 8, 6, 0x0000ff);
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(expected.get()));
}

TEST(FloatingPosition, DroppedPartlyOutsideKeepsOnlyTheInsideAndComesBackWhole) {
    const OwnedDib original = patternPicture(16, 12, 8);
    DocumentFixture f(copyOf(original.get()));
    f.doc.SetZoom(2, 1);
    f.doc.selectShape(0, 0, 5, 5, false, SelectionMode::Replace);
    // Pressed at paint-box (2, 2), released at (-6, -4): the corner lands at image (-4, -3).
    f.drag(f.tool(Tool::Select), {2, 2}, {-6, -4});
    EXPECT_EQ(f.doc.selrect, (TRect{0, 0, 1, 2}));
    for (int y = 0; y <= 2; ++y) {
        for (int x = 0; x <= 1; ++x) {
            EXPECT_EQ(getpixel(f.doc.di.get(), x, y), getpixel(original.get(), x + 4, y + 3));
        }
    }
    // Picked up at its visible part and moved back by the same amount: the whole block returns.
    f.drag(f.tool(Tool::Hand), {0, 0}, {8, 6});
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(f.doc.selrect, (TRect{0, 0, 5, 5}));
}

TEST(FloatingPosition, AClickInAReducedViewLeavesThePixelsInPlace) {
    const OwnedDib original = patternPicture(30, 20, 24);
    DocumentFixture f(copyOf(original.get()));
    f.doc.SetZoom(1, 3);
    f.doc.selectShape(5, 4, 10, 8, false, SelectionMode::Replace);
    f.click(f.tool(Tool::Hand), {2, 2}); // image (6, 6)
    EXPECT_EQ(f.doc.floatingPos, (TPoint{5, 4}));
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    // One paint-box pixel to the right is three image pixels.
    f.drag(f.tool(Tool::Hand), {2, 2}, {3, 2});
    EXPECT_EQ(f.doc.floatingPos, (TPoint{8, 4}));
}

// Lines and shapes drawn while a floating selection is put down go behind it.
TEST(FloatingPosition, DrawingGoesBehindThePutDownPixels) {
    const OwnedDib original = patternPicture(24, 12, 8);
    DocumentFixture f(copyOf(original.get()));
    f.doc.selectShape(4, 2, 11, 9, true, SelectionMode::Replace);
    f.drag(f.tool(Tool::Select), {8, 5}, {10, 5}); // floating now at (6, 2)
    const OwnedDib floatingPixels = copyOf(f.doc.dragdi1.get());
    const OwnedDib floatingMask = copyOf(f.doc.dragdi2.get());
    ASSERT_EQ(&f.doc.drawingTarget(), &f.doc.tempdi.get());
    line(f.doc.drawingTarget(), 0, 6, 23, 6, 77);
    f.doc.drawingDone();
    for (int x = 0; x < 24; ++x) {
        const bool covered = x >= 6 && getpixel(floatingMask.get(), x - 6, 4);
        EXPECT_EQ(getpixel(f.doc.di.get(), x, 6),
                  covered ? getpixel(floatingPixels.get(), x - 6, 4) : 77u)
            << x;
    }
    // Moved away, the line shows whole underneath.
    f.drag(f.tool(Tool::Hand), {8, 5}, {8, 11});
    for (int x = 0; x < 24; ++x) {
        EXPECT_EQ(getpixel(f.doc.di.get(), x, 6), 77u) << x;
    }
    // Removing the floating pixels leaves the background and no selection.
    f.doc.removeFloating();
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_FALSE(f.doc.hasFloating());
    EXPECT_EQ(&f.doc.drawingTarget(), &f.doc.di.get());
}

TEST(FloatingPosition, DetachingAndMergingLeavesThePictureAsItWas) {
    const OwnedDib original = patternPicture(9, 7, 4);
    DocumentFixture f(copyOf(original.get()));
    EXPECT_FALSE(f.doc.MakeSelectionDragable()) << "nothing selected";
    f.doc.selectShape(1, 1, 6, 5, true, SelectionMode::Replace);
    const auto selection = maskBits(f.doc.seldib.get());
    ASSERT_TRUE(f.doc.MakeSelectionDragable());
    EXPECT_TRUE(f.doc.DragingNotFinished);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
    EXPECT_FALSE(f.doc.MakeSelectionDragable()) << "already floating";
    f.doc.FinishDraging();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), pixelBytes(original.get()));
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
}

} // namespace
