// The edit every image command goes through: one refresh per command, a failed command leaves
// nothing behind, and the drawing colours follow depth and palette without a window.
#include "DocumentFixture.h"

#include "image/ClipboardCommands.h"
#include "image/ClipboardPictures.h"

#include "foundation/DibCopy.h"
#include "imageops/Adjustments.h"
#include "imageops/Depth.h"
#include "imageops/Transforms.h"

#include <gtest/gtest.h>

#include <functional>

using imageops::OpStatus;

namespace {

OpStatus invert(ImageDocument& d) {
    return d.changeInPlace(
        [](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::DibInvert(image, sel, bar);
        });
}

OpStatus depthTo(ImageDocument& d, int bits) {
    ImageEdit edit = d.beginEdit();
    d.FinishDraging();
    edit.coloursStartAgain();
    return edit.finish(imageops::DepthUpTo(edit.image(), bits, {}));
}

struct Command {
    const char* name;
    std::function<void(ImageDocument&)> run;
    // A tool's press starts a drag that repaints as it goes: it repaints what it changed, never
    // the whole view, and leaves the palette alone.
    bool press = false;
};

std::function<void(ImageDocument&)> pressWith(Tool tool, TMouseButton button = TMouseButton::Left) {
    return [tool, button](ImageDocument& d) {
        ToolOptions o;
        o.tool = tool;
        d.PaintBox1MouseDown(button, {}, 4, 4, o);
    };
}

} // namespace

// Each command asks the window for palette, view and menus once, with or without a selection
// (the selection makes several of them float and compose their pixels on the way); a tool's
// press asks for the menus once and repaints only what it changed.
TEST(ImageEdit, EveryCommandRefreshesOnce) {
    imageops::RotateParams quarter;
    quarter.winkel = imageops::RotateParams::Winkel::Grad90;
    const Command commands[] = {
        {"FlipH", [](ImageDocument& d) { d.FlipH(); }},
        {"FlipV", [](ImageDocument& d) { d.FlipV(); }},
        {"rotate", [&](ImageDocument& d) { d.rotate(quarter); }},
        {"crop", [](ImageDocument& d) { d.cropToSelection(); }},
        {"in place", [](ImageDocument& d) { invert(d); }},
        {"self-recording", [](ImageDocument& d) { d.DibDilateFilter(); }},
        {"DelNoise", [](ImageDocument& d) { d.DelNoise(3); }},
        {"new size",
         [](ImageDocument& d) {
             d.changeSize([](const dib& image) {
                 return imageops::NewCanvas(image, {30, 20, 2, 2}, 0);
             });
         }},
        {"SetNewSizedDib",
         [](ImageDocument& d) { (void)d.SetNewSizedDib(patternPicture(9, 9, 8)); }},
        {"depth", [](ImageDocument& d) { depthTo(d, 24); }},
        {"undo", [](ImageDocument& d) { d.LoadFromUndo(); }},
        {"nested",
         [](ImageDocument& d) {
             ImageEdit outer = d.beginEdit();
             outer.finish(d.DibErodeFilter());
         }},
        {"SelectAll", [](ImageDocument& d) { d.SelectAll(); }},
        {"SelectNone", [](ImageDocument& d) { d.SelectNone(); }},
        {"InvertSelection", [](ImageDocument& d) { d.InvertSelection(); }},
        {"delete", [](ImageDocument& d) { clipboard::deleteSelection(d); }},
        {"paste",
         [](ImageDocument& d) {
             clipboard::pasteAsSelection(d, clipboard::bmpFile(patternPicture(5, 4, 8).get()), {},
                                         false);
         }},
        {"fill", pressWith(Tool::Fill)},
        {"brush", pressWith(Tool::Brush), true},
        {"replace", pressWith(Tool::Replace, TMouseButton::Right), true},
        {"line", pressWith(Tool::Line), true},
        {"shape", pressWith(Tool::Shape), true},
        {"select or lift", pressWith(Tool::Select), true},
        {"select or empty", pressWith(Tool::Select, TMouseButton::Right), true},
        {"free hand", pressWith(Tool::FreeSel), true},
        {"magic wand", pressWith(Tool::Magic), true},
        {"text", pressWith(Tool::Txt), true},
    };
    for (const bool selected : {false, true}) {
        for (const Command& c : commands) {
            SCOPED_TRACE(testing::Message() << c.name << (selected ? " with selection" : ""));
            DocumentFixture f(patternPicture(20, 12, 8));
            ASSERT_TRUE(f.doc.SaveForUndo()); // something to undo
            if (selected) {
                f.doc.selectShape(2, 2, 9, 7, false, SelectionMode::Replace);
            }
            f.host.textAnswer.emplace().lines = QStringList{QStringLiteral("Ab")};
            f.host.menuUpdates = f.host.paletteChanges = f.host.invalidatedAll = 0;
            f.host.invalidated.clear();
            c.run(f.doc);
            EXPECT_EQ(f.host.menuUpdates, 1);
            EXPECT_EQ(f.host.paletteChanges, c.press ? 0 : 1);
            EXPECT_EQ(f.host.invalidatedAll, c.press ? 0 : 1);
            if (!c.press) {
                EXPECT_TRUE(f.host.invalidated.empty());
            }
        }
    }
}

// A command that ran short of memory or was stopped leaves picture, palette, selection,
// floating pixels, undo entries and caption as they were, a full history included.
TEST(ImageEdit, AFailedCommandLeavesNothingBehind) {
    for (const OpStatus failure : {OpStatus::NoMemory, OpStatus::Stopped}) {
        for (const int steps : {0, 1, 3}) {
            SCOPED_TRACE(testing::Message() << int(failure) << " after " << steps << " steps");
            DocumentFixture f(patternPicture(20, 12, 8));
            for (int i = 0; i < steps; ++i) {
                ASSERT_EQ(invert(f.doc), OpStatus::Done);
            }
            f.doc.selectShape(2, 2, 9, 7, false, SelectionMode::Replace);
            ASSERT_TRUE(f.doc.MakeSelectionDragable());
            f.doc.markSaved();
            f.doc.UpdateCaption();
            const std::vector<std::uint8_t> image = pixelBytes(f.doc.di.get());
            const PALETTEENTRY entry = f.doc.di->pal.pal[5];
            const std::vector<std::uint8_t> mask = pixelBytes(f.doc.seldib.get());
            const std::vector<std::uint8_t> floating = pixelBytes(f.doc.dragdi1.get());
            std::vector<std::vector<std::uint8_t>> entries;
            for (int i = 0; i < f.doc.CanUndo; ++i) {
                entries.push_back(pixelBytes(f.doc.UndoInfo[std::size_t(i)].image.get()));
            }
            const QString caption = f.host.caption;

            const OpStatus status = f.doc.changeInPlace(
                [&](dib& picture, const imageops::Selection&, const ProgressCallback&) {
                    picture.pal.pal[5].peRed ^= 0xff;
                    grafikrw3::setpixel(picture, 3, 3, 1);
                    return failure;
                });
            EXPECT_EQ(status, failure);
            EXPECT_EQ(pixelBytes(f.doc.di.get()), image);
            EXPECT_EQ(f.doc.di->pal.pal[5].peRed, entry.peRed);
            EXPECT_EQ(pixelBytes(f.doc.seldib.get()), mask);
            EXPECT_TRUE(f.doc.DragingNotFinished);
            EXPECT_EQ(pixelBytes(f.doc.dragdi1.get()), floating);
            ASSERT_EQ(f.doc.CanUndo, int(entries.size()));
            for (std::size_t i = 0; i < entries.size(); ++i) {
                EXPECT_EQ(pixelBytes(f.doc.UndoInfo[i].image.get()), entries[i]);
            }
            EXPECT_FALSE(f.doc.changed);
            EXPECT_EQ(f.host.caption, caption);
        }
    }
}

// The drawing colours follow the picture through the document alone: another depth starts
// them again at 0 and the last colour, undo across depths too; a change that keeps the depth
// keeps the values and shows them with the present palette.
TEST(ImageEdit, ColoursFollowDepthAndPalette) {
    struct Case {
        const char* name;
        int bits;
        std::function<void(ImageDocument&)> change;
        std::int32_t col1, col2;
    };
    const Case cases[] = {
        {"depth up", 4, [](ImageDocument& d) { depthTo(d, 24); }, 0, 0xffffff},
        {"depth 1 to 8", 1, [](ImageDocument& d) { depthTo(d, 8); }, 0, 255},
        {"undo across depths", 4,
         [](ImageDocument& d) {
             depthTo(d, 24);
             d.setcol1(0x123456);
             d.LoadFromUndo();
         },
         0, 15},
        {"new sized picture of another depth", 24,
         [](ImageDocument& d) { (void)d.SetNewSizedDib(patternPicture(5, 5, 8)); }, 0, 255},
        {"in place keeps them", 8, [](ImageDocument& d) { invert(d); }, 3, 7},
        {"same-depth undo keeps them", 8,
         [](ImageDocument& d) {
             invert(d);
             d.LoadFromUndo();
         },
         3, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentFixture f(patternPicture(12, 6, c.bits));
        f.doc.setcol1(3);
        f.doc.setcol2(c.bits == 1 ? 1 : 7);
        c.change(f.doc);
        EXPECT_EQ(f.doc.col1, c.col1);
        EXPECT_EQ(f.doc.col2, c.col2);
        EXPECT_EQ(f.host.colors[1], f.doc.screenColor(f.doc.col1));
        EXPECT_EQ(f.host.colors[2], f.doc.screenColor(f.doc.col2));
    }
}
