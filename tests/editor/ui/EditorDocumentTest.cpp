#include "ModalDialogs.h"

#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/TShape.h"
#include "editor/ui/ToolCursors.h"
#include "image/ui/TMDIChild.h"

#include "EditorMouse.h"
#include "Pictures.h"
#include "image/ImageDocument.h"
#include "imageops/ui/TDepthDownForm.h"
#include "imageops/ui/TFreeDepthForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using editormouse::drag;

namespace {

class EditorDocument : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    ImageDocument& doc() { return form.doc(); }
    QAction* command(const char* name) { return form.findChild<QAction*>(QLatin1String(name)); }
    // Enabled ('E') or not ('D') on screen, in the order of `names`.
    QString onScreen(std::initializer_list<const char*> names) {
        QString letters;
        for (const char* name : names) {
            letters += command(name)->isEnabled() ? QLatin1Char('E') : QLatin1Char('D');
        }
        return letters;
    }
    void show(OwnedDib picture) { form.NewWindow(std::move(picture), QStringLiteral("T")); }

    TDIBMainForm form;
};

QRgb paletteColour(const dib& d, int index) {
    const PALETTEENTRY& e = d.pal.pal[index];
    return qRgb(e.peRed, e.peGreen, e.peBlue);
}

} // namespace

TEST_F(EditorDocument, StartsWhiteAndReportsColoursReadOutStatusAndCursors) {
    const dib& start = doc().di.get();
    EXPECT_EQ(DIBWidth(start), 320);
    EXPECT_EQ(DIBHeight(start), 200);
    EXPECT_EQ(DIBBitCount(start), 24);
    EXPECT_EQ(pixelBytes(start), std::vector<std::uint8_t>(pixelBytes(start).size(), 0xff));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [1:1]"));
    EXPECT_EQ(form.Shape1->brushColor(), QColor(Qt::black));
    EXPECT_EQ(form.Shape2->brushColor(), QColor(Qt::white));

    // The drawn cursors reach the paint box through the frame.
    QWidget* box = editormouse::paintBox(form);
    form.SelectBtn->click();
    QTest::mouseMove(box, QPoint(30, 20));
    EXPECT_EQ(box->cursor().pixmap().toImage(),
              form.toolCursor(ToolCursor::GeoSel).pixmap().toImage());
    EXPECT_EQ(form.statusText(0), QStringLiteral("( 30 , 20 )"));
    EXPECT_EQ(form.statusText(1), QStringLiteral("Bild: 320 x 200 x 16777216 - 187 KByte   "));

    // A palette picture: swatches show its first and last entries, the pipette the index.
    OwnedDib palette = patternPicture(9, 5, 8);
    const QRgb first = paletteColour(palette.get(), 0);
    const QRgb last = paletteColour(palette.get(), 255);
    const std::uint32_t value = patternValue(3, 2, 8);
    const QRgb valueColour = paletteColour(palette.get(), int(value));
    show(std::move(palette));
    EXPECT_EQ(form.Shape1->brushColor(), QColor(first));
    EXPECT_EQ(form.Shape2->brushColor(), QColor(last));
    form.DropBtn->click();
    QTest::mouseMove(box, QPoint(3, 2));
    EXPECT_EQ(box->cursor().pixmap().toImage(),
              form.toolCursor(ToolCursor::Drop).pixmap().toImage());
    EXPECT_EQ(form.RedLabel->text(), QStringLiteral("R %1").arg(qRed(valueColour)));
    EXPECT_EQ(form.BlueLabel->text(), QStringLiteral("B %1").arg(qBlue(valueColour)));
    EXPECT_EQ(form.IndexLabel->text(), QStringLiteral("I  %1").arg(value));
    EXPECT_TRUE(form.AColShape->isVisible());
    EXPECT_EQ(form.AColShape->brushColor(), QColor(valueColour));
    EXPECT_TRUE(form.AColTimer1->isActive());
    QTest::mouseClick(box, Qt::RightButton, {}, QPoint(3, 2));
    EXPECT_EQ(doc().col2, std::int32_t(value));
    EXPECT_EQ(form.Shape2->brushColor(), QColor(valueColour));
    form.AColTimer1Timer();
    EXPECT_EQ(form.IndexLabel->text(), QStringLiteral("I   --"));
    EXPECT_EQ(form.GreenLabel->text(), QStringLiteral("G --"));
    EXPECT_FALSE(form.AColShape->isVisible());
    EXPECT_FALSE(form.AColTimer1->isActive());
}

TEST_F(EditorDocument, CommandsFollowDepthSelectionFloatingAndUndoOnScreen) {
    // The depth menus and items, the submenus ruled by the depth, then items that wait for
    // their operation (whose meant state the window keeps).
    const auto depthMenus = {"Farbtiefeverkleinern1",
                             "N2Farbent1Bit1",
                             "N16Farbent4Bit1",
                             "N256Farbent8Bit1",
                             "XFarben4Bit8Bit1",
                             "Farbtiefevergrern1",
                             "N16Farbent4Bit2",
                             "N256Farbent8Bit2",
                             "N16MillionenFarbent24Bit1",
                             "Deformationen1",
                             "EckFilter1",
                             "Strungen1",
                             "Anpassen1"};
    struct Step {
        int bits;
        const char* shown;
        bool palette, notOneBit;
    };
    // Blank items of the depth table keep what the depth before left.
    const Step steps[] = {
        {24, "EEEEEDEEEEEEE", false, true}, {1, "DEEEEEEEEDDDD", false, false},
        {4, "EEDDDEDEEDDDE", true, true},   {8, "EEEDEEDDEDDDE", true, true},
        {24, "EEEEEDDDEEEEE", false, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.bits);
        show(patternPicture(12, 7, step.bits));
        EXPECT_EQ(onScreen(depthMenus), QString::fromLatin1(step.shown));
        EXPECT_EQ(form.commandEnabled(menustate::Command::Paletteladen1), step.palette);
        EXPECT_EQ(form.commandEnabled(menustate::Command::Graustufen1), step.notOneBit);
        EXPECT_EQ(form.commandEnabled(menustate::Command::BenutzerdefinierteFilter1),
                  step.bits == 24);
    }

    const auto selection = {"Nichtauswhlen1", "VomUntergrundlsen1", "MitUntergrundverschmelzen1",
                            "Rckgngig1"};
    EXPECT_EQ(onScreen(selection), QStringLiteral("DDDD"));
    EXPECT_FALSE(form.UndoItSpeedBtn->isEnabled());
    command("Allesauswhlen1")->trigger();
    EXPECT_TRUE(doc().selaktiv);
    EXPECT_EQ(onScreen(selection), QStringLiteral("EEDE"));
    EXPECT_TRUE(form.UndoItSpeedBtn->isEnabled());
    command("VomUntergrundlsen1")->trigger();
    EXPECT_TRUE(doc().DragingNotFinished);
    EXPECT_EQ(onScreen(selection), QStringLiteral("EDEE"));
    command("MitUntergrundverschmelzen1")->trigger();
    EXPECT_FALSE(doc().DragingNotFinished);
    EXPECT_EQ(onScreen(selection), QStringLiteral("EEDE"));
    command("Auswahlumkeheren1")->trigger();
    EXPECT_FALSE(doc().selaktiv); // everything was selected
    EXPECT_EQ(onScreen(selection), QStringLiteral("DDDE"));
    form.UndoItSpeedBtn->click();
    EXPECT_TRUE(doc().selaktiv);
    command("Nichtauswhlen1")->trigger();
    EXPECT_EQ(onScreen(selection), QStringLiteral("DDDE"));
    EXPECT_EQ(doc().CanUndo, 2); // lifting and merging record no step of their own
    for (int i = 0; i < 2; ++i) {
        command("Rckgngig1")->trigger();
    }
    EXPECT_EQ(onScreen(selection), QStringLiteral("DDDD"));
    EXPECT_FALSE(form.UndoItSpeedBtn->isEnabled());
}

TEST_F(EditorDocument, DepthCommandsAskFirstAndUndoBringsPictureAndColoursBack) {
    show(patternPicture(33, 9, 24));
    const std::vector<std::uint8_t> original = pixelBytes(doc().di.get());

    // Cancelled: nothing changes, no undo step.
    whenModalShows([](QWidget* w) {
        auto* dialog = qobject_cast<TDepthDownForm*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->To256);
        dialog->reject();
    });
    command("N256Farbent8Bit1")->trigger();
    EXPECT_EQ(DIBBitCount(doc().di.get()), 24);
    EXPECT_EQ(doc().CanUndo, 0);

    whenModalShows([](QWidget* w) {
        auto* dialog = qobject_cast<TFreeDepthForm*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->WinColCheck->setChecked(false);
        dialog->NumColEd->setValue(3);
        dialog->accept();
    });
    command("XFarben4Bit8Bit1")->trigger();
    EXPECT_EQ(DIBBitCount(doc().di.get()), 4);
    EXPECT_EQ(doc().col2, 15);
    EXPECT_EQ(form.ShowProzent->value(), 0);
    command("N256Farbent8Bit2")->trigger(); // no dialog
    EXPECT_EQ(DIBBitCount(doc().di.get()), 8);
    EXPECT_EQ(doc().col2, 255);
    EXPECT_EQ(form.Shape2->brushColor(), QColor(paletteColour(doc().di.get(), 255)));

    // Undo takes the depth back, and the colours with it: an index is no RGB value.
    command("Rckgngig1")->trigger();
    EXPECT_EQ(DIBBitCount(doc().di.get()), 4);
    EXPECT_EQ(doc().col2, 15);
    command("Rckgngig1")->trigger();
    EXPECT_EQ(pixelBytes(doc().di.get()), original);
    EXPECT_EQ(doc().col1, 0);
    EXPECT_EQ(doc().col2, 0xffffff);
    EXPECT_EQ(form.Shape2->brushColor(), QColor(Qt::white));

    // A floating selection is merged into the picture that is converted.
    command("Allesauswhlen1")->trigger();
    command("VomUntergrundlsen1")->trigger();
    whenModalShows([](QWidget* w) { qobject_cast<TDepthDownForm*>(w)->accept(); });
    command("N2Farbent1Bit1")->trigger();
    EXPECT_EQ(DIBBitCount(doc().di.get()), 1);
    EXPECT_FALSE(doc().hasFloating());
    EXPECT_EQ(doc().col2, 1);
    EXPECT_EQ(form.Shape2->brushColor(), QColor(paletteColour(doc().di.get(), 1)));
    EXPECT_TRUE(command("N16Farbent4Bit2")->isEnabled());
}

// Closing the editor hands over the picture as the user sees it, whatever state the floating
// selection is in, and the document starts afresh.
class HandOver : public EditorDocument, public ::testing::WithParamInterface<int> {};

TEST_P(HandOver, TheShownPictureGoesAndTheBlankStartStays) {
    enum { PutDown, Moving, Placing };
    OwnedDib picture = patternPicture(40, 30, 24);
    OwnedDib original(copyDib(picture.get()));
    show(std::move(picture));
    form.SetZoom(1, 1);
    const QRect block(4, 4, 10, 8);
    const QPoint by(10, 4);
    OwnedDib expected;
    switch (GetParam()) {
    case PutDown:
    case Moving:
        editormouse::liftAndMove(form, block, by, GetParam() == PutDown);
        EXPECT_EQ(doc().DragingNotFinished, GetParam() == PutDown);
        expected = editormouse::movedBlock(original.get(), block, by, 0xffffff);
        break;
    case Placing: {
        // As a paste or a text does: the pixels follow the pointer until the next press.
        OwnedDib pixels = patternPicture(block.width(), block.height(), 24);
        OwnedDib all;
        grafikrw3::newdib(&all.get(), block.width(), block.height(), 1, nullptr, 0);
        std::fill_n(all->poi, std::size_t(all->bytew) * std::size_t(block.height()), 0xff);
        ASSERT_TRUE(doc().InitDraging(std::move(pixels), std::move(all), true, false,
                                      paintzeug::kPlaceFloating, true));
        QTest::mouseMove(editormouse::paintBox(form), block.topLeft() + by);
        expected = OwnedDib(copyDib(original.get()));
        for (int y = 0; y < block.height(); ++y) {
            for (int x = 0; x < block.width(); ++x) {
                grafikrw3::setpixel(expected.get(), x + 14, y + 8, patternValue(x, y, 24));
            }
        }
        break;
    }
    }
    ASSERT_NE(pixelBytes(expected.get()), pixelBytes(original.get()));
    form.SetZoom(3, 1);
    const OwnedDib handed = form.takePicture();
    ASSERT_TRUE(handed);
    EXPECT_EQ(pixelBytes(handed.get()), pixelBytes(expected.get()));
    QTest::mouseRelease(editormouse::paintBox(form), Qt::LeftButton);

    const ImageDocument& d = doc();
    EXPECT_EQ(DIBWidth(d.di.get()), TDIBMainForm::kStartWidth);
    EXPECT_EQ(DIBHeight(d.di.get()), TDIBMainForm::kStartHeight);
    EXPECT_EQ(DIBWidth(d.seldib.get()), TDIBMainForm::kStartWidth);
    EXPECT_FALSE(d.selaktiv || d.hasFloating() || d.DragingNotFinished || d.inPaint);
    EXPECT_EQ(d.CanUndo, 0);
    EXPECT_FALSE(d.changed);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [1:1]"));
    EXPECT_EQ(form.ZoomBox->currentText(), QStringLiteral("1:1"));
    EXPECT_EQ(form.commandEnabled(menustate::Command::Rckgngig1), false);
}

std::string floatingStateName(const ::testing::TestParamInfo<int>& info) {
    const char* const names[] = {"PutDown", "Moving", "Placing"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(FloatingStates, HandOver, ::testing::Range(0, 3), floatingStateName);
