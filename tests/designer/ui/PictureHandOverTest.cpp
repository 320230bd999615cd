#include "ModalDialogs.h"

#include "designer/StitchLibraryFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TStichEditForm.h"

#include "EditorMouse.h"
#include "Pictures.h"
#include "ProgramFixture.h"
#include "TestSupport.h"
#include "editor/ui/TDIBMainForm.h"
#include "foundation/OwnedText.h"
#include "foundation/ui/TPaintBox.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using menustate::Command;

namespace {

class PictureHandOver : public ProgramFixture {
protected:
    TDIBMainForm& imageEditor() { return *windows->DIBMainForm; }

    // Puts one stitch with `picture` into the library through "Hinzufügen...".
    void addStitch(const dib& picture) {
        ProgramFixture::addStitch(QStringLiteral("Zopf"), 1, picture);
        ASSERT_EQ(main().doc.stiche.count, 1u);
    }
};

} // namespace

TEST_F(PictureHandOver, AnEditedPictureReachesPreviewStitchAndLibraryFile) {
    addStitch(makePatternPicture(40, 30, 24));
    const OwnedDib original(copyDib(main().doc.stiche[0].di));
    const QRect block(4, 4, 10, 8);
    const QPoint by(10, 4);
    const OwnedDib expected = editormouse::movedBlock(original.get(), block, by, 0xffffff);

    main().doc.stichnr = 0;
    whenShown(&editor(), [&] {
        ASSERT_TRUE(editor().BitBtn3->isEnabled());
        whenShown(&imageEditor(), [&] {
            // The editor shows the stitch's picture, with fresh read-outs.
            EXPECT_TRUE(editormouse::shows(imageEditor(), original.get()));
            EXPECT_EQ(imageEditor().windowTitle(),
                      QStringLiteral("Bild bearbeiten - NONAME [1:1]"));
            EXPECT_TRUE(imageEditor().AColTimer1->isActive());
            // Move a block and leave it floating: closing hands over what shows.
            editormouse::liftAndMove(imageEditor(), block, by);
            EXPECT_TRUE(imageEditor().commandEnabled(Command::MitUntergrundverschmelzen1));
            imageEditor().ToolButton8->click();
        });
        QTest::mouseClick(editor().BitBtn3, Qt::LeftButton);
        EXPECT_FALSE(imageEditor().isVisible());
        EXPECT_EQ(pixelBytes(editor().di), pixelBytes(expected.get()));
        // The preview, 120 pixels wide for 40, shows the white hole and the moved block.
        const QImage preview = editor().PaintBox1->grab().toImage();
        EXPECT_EQ(preview.pixel(5 * 3 + 1, 5 * 3 + 1), qRgb(255, 255, 255));
        const std::uint32_t moved = grafikrw3::getpixel(original.get(), 5, 5);
        EXPECT_EQ(preview.pixel(15 * 3 + 1, 9 * 3 + 1),
                  qRgb(moved & 0xff, (moved >> 8) & 0xff, (moved >> 16) & 0xff));
        // The image editor holds the blank start picture again, unchanged, with nothing
        // selected and nothing to undo.
        EXPECT_EQ(imageEditor().windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [1:1]"));
        EXPECT_EQ(editormouse::paintBox(imageEditor())->size(), QSize(320, 200));
        EXPECT_FALSE(imageEditor().commandEnabled(Command::Nichtauswhlen1));
        EXPECT_FALSE(imageEditor().commandEnabled(Command::Rckgngig1));
        editor().BitBtn1->click();
    });
    main().BitBtn2Click();
    EXPECT_EQ(pixelBytes(main().doc.stiche[0].di), pixelBytes(expected.get()));

    start(); // the library file holds the change
    ASSERT_EQ(main().doc.stiche.count, 1u);
    EXPECT_EQ(pixelBytes(main().doc.stiche[0].di), pixelBytes(expected.get()));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(PictureHandOver, APictureThatCannotBeCopiedStaysAndTheEditorStaysShut) {
    addStitch(makePatternPicture(60, 50, 24));
    const std::vector<std::uint8_t> before = pixelBytes(main().doc.stiche[0].di);
    main().doc.stichnr = 0;
    whenShown(&imageEditor(), [this] { imageEditor().close(); }); // must not happen
    whenShown(&editor(), [&] {
        {
            AllocationFailure noMemory(1000);
            editor().BitBtn3->click();
        }
        EXPECT_EQ(messages.texts(), QStringList{QStringLiteral(
                                        "Fehler: nicht genug Speicher, um das Bild zu "
                                        "bearbeiten! Das Bild des Stichs bleibt unverändert.")});
        EXPECT_EQ(pixelBytes(editor().di), before);
        EXPECT_FALSE(imageEditor().isVisible());
        editor().BitBtn1->click();
    });
    main().BitBtn2Click();
    EXPECT_EQ(pixelBytes(main().doc.stiche[0].di), before);
}
