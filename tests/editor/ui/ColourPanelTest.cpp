#include "Pictures.h"

#include "editor/ui/ColourPanel.h"
#include "foundation/ui/TPaintBox.h"
#include "image/DocumentFiles.h"
#include "image/ImageDocument.h"

#include <QColorDialog>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The window's part: the document's colours reach the panel.
class PanelHost : public EditorHost {
public:
    ColourPanel* panel = nullptr;
    void setCaption(const QString&) override {}
    void UpdateMenuItems() override {}
    void setStatusText(int, const QString&) override {}
    void showColor(int which, QRgb color) override { panel->showColor(which, color); }
    void showColorReadout(const ColorReadout& r) override { panel->showColorReadout(r); }
    void selectZoomBoxIndex(int) override {}
    void paletteChanged() override { panel->paletteChanged(); }
};

struct PanelFixture {
    PanelHost host;
    ImageDocument doc;
    ColourPanel panel;

    explicit PanelFixture(int bits) {
        host.panel = &panel;
        doc.setEditorHost(&host);
        panel.setDocument(&doc);
        panel.resize(180, 400);
        doc.installImage(documentfiles::newImage(20, 10, bits), QStringLiteral("NONAME"));
        panel.show();
    }
    void click(Qt::MouseButton button, int x, int y) {
        QTest::mouseClick(panel.PalPaintBox, button, {}, QPoint(x, y));
    }
    // A pointer move without a button, straight to the widget.
    void hover(QWidget* w, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }
    QStringList readout() const {
        return {panel.RedLabel->text(), panel.GreenLabel->text(), panel.BlueLabel->text(),
                panel.IndexLabel->text()};
    }
};

// Answers the next colour dialog with `colour`, or cancels it.
void answerColourDialog(QColorDialog* dialog, std::optional<QColor> colour) {
    QTimer::singleShot(0, dialog, [dialog, colour] {
        if (colour) {
            dialog->setCurrentColor(*colour);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

// The palette display's size and cells for every depth, clicks on cells and gaps, and the
// read-out of a cell.
TEST(ColourPanel, PaletteCellsForEveryDepth) {
    const struct {
        int bits;
        QSize box;
    } cases[] = {{1, {29, 17}}, {4, {29, 101}}, {8, {29, 1541}}, {24, {52, 96}}};
    for (const auto& c : cases) {
        PanelFixture f(c.bits);
        EXPECT_EQ(f.panel.PalPaintBox->size(), c.box) << c.bits;
        if (c.bits == 24) {
            continue;
        }
        EXPECT_EQ(f.doc.col1, 0);
        EXPECT_EQ(f.doc.col2, (1 << c.bits) - 1);
        // The right-hand square of the second row; its borders belong to it.
        f.click(Qt::RightButton, 27, 27);
        EXPECT_EQ(f.doc.col2, c.bits == 1 ? 1 : 3); // a 1-bit palette has no entry 3
        f.click(Qt::LeftButton, 5, 5);
        EXPECT_EQ(f.doc.col1, 0);
        f.click(Qt::LeftButton, 17, 5);
        EXPECT_EQ(f.doc.col1, 1);
        f.click(Qt::LeftButton, 16, 5); // the gap between the columns
        f.click(Qt::LeftButton, 5, 16); // and between the rows
        f.click(Qt::MiddleButton, 5, 5);
        EXPECT_EQ(f.doc.col1, 1);
        f.hover(f.panel.PalPaintBox, {20, 8});
        const PALETTEENTRY& e = f.doc.di->pal.pal[1];
        EXPECT_EQ(
            f.readout(),
            (QStringList{QStringLiteral("R %1").arg(e.peRed), QStringLiteral("G %1").arg(e.peGreen),
                         QStringLiteral("B %1").arg(e.peBlue), QStringLiteral("I  1")}));
        EXPECT_TRUE(f.panel.AColShape->isVisible());
        EXPECT_EQ(f.panel.Shape1->brushColor(), QColor(e.peRed, e.peGreen, e.peBlue));
    }
}

// The picker of 24-bit images: its corners, the right button for the background, clicks
// beside it, and the read-out that shows no index.
TEST(ColourPanel, PickerOfTrueColourImages) {
    PanelFixture f(24);
    EXPECT_EQ(f.doc.col1, 0);
    EXPECT_EQ(f.doc.col2, 0xffffff);
    f.click(Qt::LeftButton, 2, 0);
    EXPECT_EQ(f.doc.col1, 2);
    f.click(Qt::RightButton, 48, 0);
    EXPECT_EQ(f.doc.col2, 255 | 243 << 8 | 243 << 16);
    f.click(Qt::LeftButton, 49, 10);
    f.click(Qt::LeftButton, 1, 10);
    EXPECT_EQ(f.doc.col1, 2);
    f.hover(f.panel.PalPaintBox, {26, 40});
    const QRgb c = pickerColour(24, 40);
    EXPECT_EQ(
        f.readout(),
        (QStringList{QStringLiteral("R %1").arg(qRed(c)), QStringLiteral("G %1").arg(qGreen(c)),
                     QStringLiteral("B %1").arg(qBlue(c)), QStringLiteral("I  --")}));
    // The picture matches the picker's colours.
    EXPECT_EQ(grafikrw3::getpixel(f.panel.pal24dib.get(), 24, 40),
              std::uint32_t(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16));
    f.hover(f.panel.Shape2, {3, 3});
    EXPECT_EQ(f.readout(), (QStringList{QStringLiteral("R 255"), QStringLiteral("G 243"),
                                        QStringLiteral("B 243"), QStringLiteral("I  --")}));
    f.panel.AColTimer1Timer(); // three seconds later
    EXPECT_EQ(f.readout(), (QStringList{QStringLiteral("R --"), QStringLiteral("G --"),
                                        QStringLiteral("B --"), QStringLiteral("I   --")}));
    EXPECT_FALSE(f.panel.AColShape->isVisible());
    EXPECT_FALSE(f.panel.AColTimer1->isActive());
}

// Swatches: the colour dialog maps a chosen colour to the nearest palette entry (or takes it
// as it is at 24 bits), a cancelled dialog changes nothing, and swapping twice restores both.
TEST(ColourPanel, SwatchesChooseAndSwapColours) {
    PanelFixture f(4);
    answerColourDialog(f.panel.ColorDialog1, QColor(255, 0, 0));
    QTest::mouseClick(f.panel.Shape1, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.doc.col1, 9);
    EXPECT_EQ(f.panel.Shape1->brushColor(), QColor(255, 0, 0));
    answerColourDialog(f.panel.ColorDialog1, std::nullopt);
    QTest::mouseClick(f.panel.Shape2, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(f.doc.col2, 15);
    f.hover(f.panel.Shape1, {4, 4});
    EXPECT_EQ(f.panel.IndexLabel->text(), QStringLiteral("I  9"));
    f.panel.ColorChangeBtn->click();
    EXPECT_EQ(std::pair(f.doc.col1, f.doc.col2), std::pair(15, 9));
    EXPECT_EQ(f.panel.Shape2->brushColor(), QColor(255, 0, 0));
    f.panel.ColorChangeBtn->click();
    EXPECT_EQ(std::pair(f.doc.col1, f.doc.col2), std::pair(9, 15));

    PanelFixture t(24);
    answerColourDialog(t.panel.ColorDialog1, QColor(1, 2, 3));
    QTest::mouseClick(t.panel.Shape2, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(t.doc.col2, 1 | 2 << 8 | 3 << 16);
}

// Pictures of the panel for looking at, when TESSAPLAN_SHOTS names a folder.
TEST(ColourPanel, Screenshots) {
    const QString folder = qEnvironmentVariable("TESSAPLAN_SHOTS");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "TESSAPLAN_SHOTS not set";
    }
    QDir().mkpath(folder);
    for (const int bits : kAllDepths) {
        PanelFixture f(bits);
        f.panel.resize(120, 260);
        if (bits != 24) {
            f.click(Qt::LeftButton, 17, 17); // index 3
            f.click(Qt::RightButton, 5, 29); // index 4
        } else {
            f.click(Qt::LeftButton, 20, 30);
        }
        f.hover(f.panel.Shape1, {4, 4});
        f.panel.grab().save(QStringLiteral("%1/colour-panel-%2bit.png").arg(folder).arg(bits));
    }
}

} // namespace
