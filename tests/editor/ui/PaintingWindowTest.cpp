#include "ModalDialogs.h"

#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/TShape.h"
#include "image/ui/TAddTextForm.h"
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include "Pictures.h"
#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "image/ImageDocument.h"

#include <QApplication>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

using namespace grafikrw3;

namespace {

class PaintingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form.resize(900, 640);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        box = form.MDIChild1->PaintBox1;
    }
    const dib& image() { return form.doc().di.get(); }
    std::uint32_t at(int x, int y) { return getpixel(image(), x, y); }

    // Press, moves in steps of at most 4 pixels, release: as a pointer reports a drag.
    void stroke(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {},
                Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(box, button, mods, from);
        const int steps =
            std::max(1, std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y())) / 4);
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(box, from + (to - from) * i / steps);
        }
        QTest::mouseRelease(box, button, mods, to);
    }
    void click(QPoint at, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mousePress(box, b, mods, at);
        QTest::mouseRelease(box, b, mods, at);
    }

    TDIBMainForm form;
    TImagePaintBox* box = nullptr;
};

// Every painting tool chosen with its button and set with its controls, driven by presses,
// moves and releases on the paint box of the editor window.
TEST_F(PaintingWindow, EveryPaintingToolThroughButtonsControlsAndTheMouse) {
    ASSERT_EQ(DIBWidth(image()), 320);
    const OwnedDib white(copyDib(image()));

    // Brush: a hard 3-pixel square along a row.
    form.BrushBtn->click();
    EXPECT_TRUE(form.PageControl1->isTabVisible(1)) << "the brush tip tab shows";
    form.FormBox->setCurrentIndex(0);
    form.SizeEdit->setValue(3);
    form.HardEdit->setValue(100);
    stroke({10, 10}, {50, 10});
    for (int x = 9; x <= 51; ++x) {
        for (int y = 8; y <= 12; ++y) {
            ASSERT_EQ(at(x, y), y >= 9 && y <= 11 ? 0u : 0xffffffu) << x << "," << y;
        }
    }
    EXPECT_EQ(form.doc().CanUndo, 1);

    // Pipette: the right button picks the second colour; the middle button paints with it.
    setpixel(form.doc().di.get(), 300, 190, 0x2080f0);
    form.DropBtn->click();
    click({300, 190}, {}, Qt::RightButton);
    EXPECT_EQ(form.doc().col2, 0x2080f0);
    EXPECT_EQ(form.Shape2->brushColor(), QColor(0xf0, 0x80, 0x20));
    form.BrushBtn->click();
    stroke({10, 20}, {30, 20}, {}, Qt::MiddleButton);
    EXPECT_EQ(at(20, 20), 0x2080f0u);

    // Line of width 3 and a filled ellipse.
    form.LineBtn->click();
    form.BreitEdit->setValue(3);
    stroke({10, 40}, {61, 41});
    for (int x = 10; x <= 60; ++x) {
        ASSERT_EQ(at(x, 39), 0u);
        ASSERT_EQ(at(x, 41), 0u);
    }
    form.ShapeBtn->click();
    form.TypBox->setCurrentIndex(2);
    form.StilBox->setCurrentIndex(1);
    stroke({80, 10}, {121, 41});
    {
        OwnedDib ellipse(copyDib(white.get()));
        FilledEllipse(ellipse.get(), 80, 10, 120, 40, 0);
        for (int y = 10; y <= 40; ++y) {
            for (int x = 80; x <= 120; ++x) {
                ASSERT_EQ(at(x, y) == 0, getpixel(ellipse.get(), x, y) == 0) << x << "," << y;
            }
        }
    }

    // Flood fill: a linear gradient from west to east inside the ellipse.
    form.doc().setcol2(0x0000ff);
    form.FillBtn->click();
    form.FillStyleBox->setCurrentIndex(2);
    form.DirectBox->setCurrentIndex(7);
    form.TolEdit->setValue(10);
    click({100, 25}, {}, Qt::RightButton);
    EXPECT_EQ(at(80, 25), 0x0000ffu) << "the right button starts with the second colour";
    EXPECT_EQ(at(120, 25), 0u);
    EXPECT_EQ(at(100, 25), 0x80u) << "half way";

    // "Muster laden" and the pattern fill of the ground.
    QTemporaryDir folder;
    const QString patternFile = folder.filePath(QStringLiteral("muster.bmp"));
    {
        OwnedDib checks;
        newdib(&checks.get(), 2, 2, 24, nullptr, 0);
        setpixel(checks.get(), 0, 0, 0x00c000);
        setpixel(checks.get(), 1, 1, 0x00c000);
        setpixel(checks.get(), 1, 0, 0xc0c0c0);
        setpixel(checks.get(), 0, 1, 0xc0c0c0);
        ASSERT_EQ(SaveDib(checks.get(), patternFile, 3), 1);
    }
    {
        filedialogs::Script answers({patternFile});
        form.LoadPattBtn->click();
    }
    ASSERT_TRUE(form.pattern);
    form.FillStyleBox->setCurrentIndex(1);
    form.TolEdit->setValue(0);
    click({200, 150});
    EXPECT_EQ(at(200, 150), 0x00c000u);
    EXPECT_EQ(at(201, 150), 0xc0c0c0u);
    EXPECT_EQ(at(10, 10), 0u) << "the stroke is not ground";

    // Clone: Shift sets the source on the brush stroke; the stroke copies it 100 pixels down.
    form.CloneBtn->click();
    form.SizeEdit->setValue(5);
    click({30, 10}, Qt::ShiftModifier);
    stroke({30, 110}, {40, 110});
    for (int x = 28; x <= 42; ++x) {
        ASSERT_EQ(at(x, 110), at(x, 10)) << x;
    }

    // Colour replacement: the left button replaces the second colour by the first.
    form.ReplaceBtn->click();
    form.doc().setcol1(0x00ffff);
    form.doc().setcol2(0x00c000);
    form.SizeEdit->setValue(9);
    stroke({190, 140}, {230, 140});
    EXPECT_EQ(at(200, 140), 0x00ffffu);
    EXPECT_EQ(at(201, 140), 0xc0c0c0u) << "only the replaced colour changes";

    // Retouch: lighten the black of the stroke.
    form.RetouchBtn->click();
    form.SizeEdit->setValue(1);
    stroke({12, 10}, {20, 10});
    EXPECT_EQ(at(14, 10), 0x080808u);

    // Text: the dialog's lines float with the pointer until the next press puts them down.
    form.TxtBtn->click();
    whenModalShows([](QWidget* dialog) {
        auto* text = qobject_cast<TAddTextForm*>(dialog);
        ASSERT_NE(text, nullptr);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        text->setChosenFont(font);
        text->TxtMemo->setPlainText(QStringLiteral("Hallo"));
        text->OkBtn->click();
    });
    form.doc().setcol1(0xff0000);
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(box, QPoint(150, 60));
    QTest::mouseMove(box, QPoint(160, 70));
    click({160, 70});
    EXPECT_TRUE(form.doc().DragingNotFinished);
    int blue = 0;
    for (int y = 70; y < 100; ++y) {
        for (int x = 160; x < 230; ++x) {
            blue += at(x, y) == 0xff0000u;
        }
    }
    EXPECT_GT(blue, 40);

    // Undo through the tool bar takes the steps back, one per stroke.
    const int steps = form.doc().CanUndo;
    form.UndoItSpeedBtn->click();
    EXPECT_EQ(form.doc().CanUndo, steps - 1);
    EXPECT_FALSE(form.doc().DragingNotFinished);
}

// After every release the screen shows exactly the picture as it now is: no rubber band left,
// no part of the figure missing, whichever way the figure was dragged and at every zoom.
TEST_F(PaintingWindow, LinesAndShapesShowWhatWasDrawnInEveryDirectionAndZoom) {
    // The paint box as the screen shows it: the paints the event loop has pending, no more.
    auto onScreen = [&] {
        QApplication::processEvents();
        const QImage window = form.screen()->grabWindow(form.winId()).toImage();
        return window.copy(QRect(box->mapTo(&form, QPoint(0, 0)), box->size()));
    };
    struct Figure {
        QToolButton* button;
        int typ, stil;
    };
    const Figure figures[] = {{form.LineBtn, 0, 0},
                              {form.ShapeBtn, 0, 0},
                              {form.ShapeBtn, 0, 1},
                              {form.ShapeBtn, 2, 0},
                              {form.ShapeBtn, 2, 1}};
    for (const auto& [zin, zout] : {std::pair{8, 1}, {1, 1}, {3, 1}, {1, 2}}) {
        form.NewWindow(makeWhiteImage(40, 30), QStringLiteral("T"));
        form.SetZoom(zin, zout);
        auto toBox = [&](int x, int y) {
            const int inside = zin / zout / 2; // the middle of a magnified pixel
            return QPoint(x * zin / zout + inside, y * zin / zout + inside);
        };
        for (const Figure& figure : figures) {
            figure.button->click();
            form.TypBox->setCurrentIndex(figure.typ);
            form.StilBox->setCurrentIndex(figure.stil);
            for (const QPoint corner :
                 {QPoint(5, 5), QPoint(35, 4), QPoint(4, 26), QPoint(33, 25)}) {
                const QPoint from = toBox(20, 15), to = toBox(corner.x(), corner.y());
                QTest::mousePress(box, Qt::LeftButton, {}, from);
                QTest::mouseMove(box, (from + to) / 2);
                onScreen(); // the rubber band is on the screen
                QTest::mouseMove(box, to);
                onScreen();
                QTest::mouseRelease(box, Qt::LeftButton, {}, to);
                const QImage shown = onScreen();
                SCOPED_TRACE(QStringLiteral("%1:%2, tool %3/%4/%5, to (%6, %7)")
                                 .arg(zin)
                                 .arg(zout)
                                 .arg(figure.button->objectName())
                                 .arg(figure.typ)
                                 .arg(figure.stil)
                                 .arg(corner.x())
                                 .arg(corner.y())
                                 .toStdString());
                if (zout > 1) {
                    // Reduced, the view shows what a fresh paint of the whole box shows.
                    ASSERT_EQ(shown, box->grab().toImage().convertToFormat(shown.format()));
                    continue;
                }
                for (int y = 0; y < shown.height(); ++y) {
                    for (int x = 0; x < shown.width(); ++x) {
                        const std::uint32_t v = at(x / zin, y / zin);
                        ASSERT_EQ(shown.pixel(x, y),
                                  qRgb(int(v & 0xff), int((v >> 8) & 0xff), int(v >> 16)))
                            << "paint-box pixel " << x << "," << y;
                    }
                }
            }
        }
    }
}

} // namespace
