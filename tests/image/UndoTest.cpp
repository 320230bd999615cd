#include "DocumentFixture.h"

#include "TestSupport.h"

#include "imageops/Masks.h"

#include <gtest/gtest.h>

using namespace grafikrw3;

namespace {

TEST(Undo, ThreeLevelsOfTheFourLastChangesAndTheAsteriskStays) {
    DocumentFixture f(patternPicture(10, 6, 8));
    EXPECT_EQ(f.host.caption, "Bild bearbeiten - NONAME [1:1]");
    std::vector<std::vector<std::uint8_t>> states;
    for (int change = 0; change < 4; ++change) {
        states.push_back(pixelBytes(f.doc.di.get()));
        ASSERT_TRUE(f.doc.SaveForUndo());
        setpixel(f.doc.di.get(), change, 0, 200 + change);
        EXPECT_EQ(f.doc.CanUndo, std::min(change + 1, 3));
    }
    EXPECT_EQ(f.host.caption, "Bild bearbeiten - NONAME* [1:1]");
    for (int undo = 3; undo >= 1; --undo) {
        f.doc.LoadFromUndo();
        EXPECT_EQ(pixelBytes(f.doc.di.get()), states[std::size_t(undo)]) << undo;
    }
    EXPECT_EQ(f.doc.CanUndo, 0);
    const int menus = f.host.menuUpdates;
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), states[1]) << "a fourth undo does nothing";
    EXPECT_GT(f.host.menuUpdates, menus);
    EXPECT_TRUE(f.doc.changed);
    EXPECT_EQ(f.host.caption, "Bild bearbeiten - NONAME* [1:1]");
}

// Undo leaves the image changed unless it reaches the state last saved: before or after it,
// the picture on the screen differs from the file.
TEST(Undo, TheImageIsUnchangedExactlyInTheSavedState) {
    DocumentFixture f(patternPicture(10, 6, 8));
    auto change = [&](int x) {
        ASSERT_TRUE(f.doc.SaveForUndo());
        setpixel(f.doc.di.get(), x, 0, 7);
    };
    change(0);
    f.doc.markSaved(); // as a save does
    change(1);
    change(2);
    const struct {
        bool changed;
        const char* caption;
    } steps[] = {{true, "Bild bearbeiten - NONAME* [1:1]"},
                 {false, "Bild bearbeiten - NONAME [1:1]"},
                 {true, "Bild bearbeiten - NONAME* [1:1]"}};
    for (const auto& step : steps) {
        f.doc.LoadFromUndo();
        EXPECT_EQ(f.doc.changed, step.changed) << f.doc.CanUndo;
        EXPECT_EQ(f.host.caption, step.caption);
    }
    // Back at the picture as it was loaded, it is unchanged too; a recovered copy is changed
    // in every state until it is saved.
    for (const bool recovered : {false, true}) {
        DocumentFixture g(patternPicture(10, 6, 8));
        if (recovered) {
            g.doc.markUnsaved();
        }
        ASSERT_TRUE(g.doc.SaveForUndo());
        g.doc.LoadFromUndo();
        EXPECT_EQ(g.doc.changed, recovered);
    }
}

TEST(Undo, SelectAllAndLiftingComeBack) {
    DocumentFixture f(patternPicture(12, 9, 4));
    f.drag(f.tool(Tool::Select), {2, 2}, {6, 7});
    const auto selection = maskBits(f.doc.seldib.get());
    const auto picture = pixelBytes(f.doc.di.get());

    ASSERT_TRUE(f.doc.SelectAll());
    f.doc.LoadFromUndo();
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
    EXPECT_EQ(f.doc.selrect, (TRect{2, 2, 5, 6}));

    // Lifted and dropped elsewhere, then undone: the picture before the lift, the selection in
    // its old place, nothing floating.
    f.drag(f.tool(Tool::Select), {3, 3}, {7, 4});
    ASSERT_TRUE(f.doc.DragingNotFinished);
    f.doc.LoadFromUndo();
    EXPECT_EQ(pixelBytes(f.doc.di.get()), picture);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
    EXPECT_FALSE(f.doc.DragingNotFinished);
    EXPECT_FALSE(f.doc.hasFloating());
    EXPECT_FALSE(f.doc.tempdi);

    // Undoing past the first selection leaves an empty mask of the picture's size.
    f.doc.LoadFromUndo();
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_FALSE(imageops::maskHasAny(f.doc.seldib.get()));
}

TEST(Undo, AChangeWhileFloatingRestoresTheFloatingSelection) {
    DocumentFixture f(patternPicture(14, 10, 24));
    f.doc.selectShape(1, 1, 6, 4, true, SelectionMode::Replace);
    f.drag(f.tool(Tool::Hand), {3, 2}, {8, 6});
    ASSERT_TRUE(f.doc.DragingNotFinished);
    const auto picture = pixelBytes(f.doc.di.get());
    const auto background = pixelBytes(f.doc.tempdi.get());
    const auto floating = pixelBytes(f.doc.dragdi1.get());
    const auto selection = maskBits(f.doc.seldib.get());
    const TPoint at = f.doc.floatingPos;

    // A change made on the put-down selection, then merged by "select none".
    ASSERT_TRUE(f.doc.SaveForUndo());
    recht_filled(f.doc.di.get(), 0, 0, 13, 9, 0x00ff00);
    ASSERT_TRUE(f.doc.SelectNone());
    EXPECT_FALSE(f.doc.hasFloating());

    f.doc.LoadFromUndo(); // before "select none": the changed picture, still floating
    EXPECT_TRUE(f.doc.DragingNotFinished);
    f.doc.LoadFromUndo(); // before the change
    EXPECT_EQ(pixelBytes(f.doc.di.get()), picture);
    EXPECT_EQ(pixelBytes(f.doc.tempdi.get()), background);
    EXPECT_EQ(pixelBytes(f.doc.dragdi1.get()), floating);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
    EXPECT_EQ(f.doc.floatingPos, at);
    EXPECT_TRUE(f.doc.dragSel);

    // The restored floating selection can be picked up and moved on.
    f.drag(f.tool(Tool::Hand), {8, 6}, {9, 6});
    EXPECT_EQ(f.doc.floatingPos, (TPoint{at.x + 1, at.y}));
}

TEST(Undo, ANewSizeIsUndoneWithViewAndMask) {
    DocumentFixture f(patternPicture(10, 8, 8));
    f.doc.SetZoom(3, 1);
    f.doc.selectShape(0, 0, 3, 3, false, SelectionMode::Replace);
    ASSERT_TRUE(f.doc.SetNewSizedDib(patternPicture(25, 30, 8))); // records its own step
    EXPECT_EQ(f.doc.CanUndo, 1);
    EXPECT_EQ(f.host.box, QSize(75, 90));
    EXPECT_FALSE(f.doc.selaktiv);
    EXPECT_EQ(DIBWidth(f.doc.seldib.get()), 25);

    f.doc.LoadFromUndo();
    EXPECT_EQ(DIBWidth(f.doc.di.get()), 10);
    EXPECT_EQ(f.host.box, QSize(30, 24));
    EXPECT_EQ(DIBWidth(f.doc.seldib.get()), 10);
    EXPECT_EQ(DIBHeight(f.doc.seldib.get()), 8);
    EXPECT_TRUE(f.doc.selaktiv);
    EXPECT_EQ(f.host.caption, "Bild bearbeiten - NONAME [3:1]"); // back at the loaded picture
}

// When a copy for the entry cannot be made nothing is recorded and the change is refused, so
// that undo can never leave the document without its picture.
TEST(Undo, AFailedCopyRefusesTheChange) {
    DocumentFixture f(patternPicture(64, 64, 24));
    f.doc.selectShape(1, 1, 9, 9, false, SelectionMode::Replace);
    ASSERT_TRUE(f.doc.SaveForUndo());
    f.doc.changed = false;
    const auto selection = maskBits(f.doc.seldib.get());
    MessageCapture messages;
    {
        AllocationFailure failure(400); // the mask copy (512 bytes) fails, the picture's too
        EXPECT_FALSE(f.doc.SaveForUndo());
        EXPECT_FALSE(f.doc.SelectAll());
        f.click(f.tool(Tool::Select), {30, 30});
    }
    EXPECT_EQ(f.doc.CanUndo, 1);
    EXPECT_FALSE(f.doc.changed);
    EXPECT_EQ(maskBits(f.doc.seldib.get()), selection);
    EXPECT_EQ(f.doc.PaintZeug, 0);
    EXPECT_FALSE(f.doc.inPaint);
    EXPECT_EQ(messages.texts().size(), 3);
    f.doc.LoadFromUndo();
    EXPECT_TRUE(f.doc.di);
}

} // namespace
