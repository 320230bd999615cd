#include "Pictures.h"
#include "SaneTestBackend.h"

#include "editor/ui/TJPEGQForm.h"
#include "editor/ui/TNewForm.h"
#include "editor/ui/TPaleditForm.h"
#include "editor/ui/TScannerForm.h"
#include "foundation/ui/TPaintBox.h"
#include "image/DocumentFiles.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A pointer move without a button, straight to the widget.
void hover(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

TEST(EditorDialogs, NewFormStartsAtItsDefaults) {
    TNewForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Neues Bild"));
    EXPECT_EQ(form.BreitEdit->value(), 320);
    EXPECT_EQ(form.HochEdit->value(), 200);
    EXPECT_EQ(form.TiefeBox->count(), 4);
    EXPECT_EQ(form.TiefeBox->itemText(0), QStringLiteral("2 Bit - Schwarz/Weiß"));
    form.setParams({40000, 0, 1}); // out of range: limited
    EXPECT_EQ(form.params().width, 32767);
    EXPECT_EQ(form.params().height, 1);
    EXPECT_EQ(form.params().depthEntry, 1);
}

// The slider and the number follow each other, and the slider's value is kept for the next
// dialog, also when it was closed with Abbrechen.
TEST(EditorDialogs, JpegQualityFollowsAndPersists) {
    {
        TJPEGQForm form;
        EXPECT_EQ(form.quality(), 75);
        QTimer::singleShot(0, &form, [&] {
            form.QualEd2->setValue(40);
            EXPECT_EQ(form.QualED1->value(), 40);
            form.QualED1->setValue(88);
            EXPECT_EQ(form.QualEd2->value(), 88);
            form.CancelBtn->click();
        });
        EXPECT_EQ(form.exec(), QDialog::Rejected);
    }
    TJPEGQForm again;
    EXPECT_EQ(again.quality(), 88);
    EXPECT_EQ(again.QualEd2->value(), 88);
    again.QualED1->setValue(75);
    QTimer::singleShot(0, &again, [&] { again.OkBtn->click(); });
    again.exec(); // leaves the default for the tests that follow
}

// A 256-colour palette: 18 squares a row; pointing names entry and colour, a click edits the
// entry through the colour dialog, Abbrechen in the colour dialog keeps it, and applyTo writes
// both palette copies of the picture.
TEST(EditorDialogs, PaletteEditorEditsAnEntry) {
    OwnedDib picture = documentfiles::newImage(4, 4, 8);
    TPaleditForm form;
    form.pal = picture->pal;
    form.show();
    EXPECT_EQ(form.PaintBox1->size(), QSize(337, 281));
    EXPECT_EQ(form.entryAt(2 * 18 + 3, 18 + 3), 20); // third square of the second row
    EXPECT_EQ(form.entryAt(16, 3), -1);              // gap
    EXPECT_EQ(form.entryAt(3 * 18 + 3, 14 * 18 + 3), 255);
    EXPECT_EQ(form.entryAt(4 * 18 + 3, 14 * 18 + 3), -1); // beyond the last entry
    hover(form.PaintBox1, QPoint(2 * 18 + 8, 18 + 8));
    const PALETTEENTRY e = picture->pal.pal[20];
    EXPECT_EQ(
        form.InfoLabel->text(),
        QStringLiteral("Index: 20 ; R: %1 G:%2 B:%3").arg(e.peRed).arg(e.peGreen).arg(e.peBlue));
    hover(form.PaintBox1, QPoint(17, 17)); // a gap keeps the text
    EXPECT_TRUE(form.InfoLabel->text().startsWith(QStringLiteral("Index: 20")));

    QTimer::singleShot(0, form.ColorDialog1, [&] { form.ColorDialog1->reject(); });
    QTest::mouseClick(form.PaintBox1, Qt::LeftButton, {}, QPoint(2 * 18 + 15, 18 + 15));
    EXPECT_EQ(form.pal.pal[20].peRed, e.peRed);
    QTimer::singleShot(0, form.ColorDialog1, [&] {
        EXPECT_EQ(form.ColorDialog1->currentColor(), QColor(e.peRed, e.peGreen, e.peBlue));
        form.ColorDialog1->setCurrentColor(QColor(10, 20, 30));
        form.ColorDialog1->accept();
    });
    QTest::mouseClick(form.PaintBox1, Qt::RightButton, {}, QPoint(2 * 18, 18));
    EXPECT_EQ(form.pal.pal[20].peRed, 10);
    EXPECT_EQ(form.pal.pal[20].peBlue, 30);
    EXPECT_EQ(form.pal.pal[20].peFlags, e.peFlags);

    grafikrw3::setpixel(picture.get(), 1, 1, 20);
    const auto pixels = pixelBytes(picture.get());
    form.applyTo(picture.get());
    EXPECT_EQ(picture->pal.pal[20].peGreen, 20);
    const RGBQUAD& c = picture->pmi->colors()[20];
    EXPECT_EQ(std::tuple(c.rgbRed, c.rgbGreen, c.rgbBlue), std::tuple(10, 20, 30));
    EXPECT_EQ(pixelBytes(picture.get()), pixels); // the indexes stay
}

// The palette editor on a light ground, where the squares' black outlines show and the room
// after the last entry is not taken for black entries; pointing at squares moves neither the
// buttons nor the dialog.
TEST(EditorDialogs, PaletteEditorIsReadableAndKeepsItsButtonsInPlace) {
    OwnedDib picture = documentfiles::newImage(4, 4, 4);
    TPaleditForm form;
    form.pal = picture->pal;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QImage shown = form.PaintBox1->grab().toImage();
    const QColor ground = form.palette().color(QPalette::Base);
    EXPECT_GT(ground.lightness(), 200);
    for (const QPoint p :
         {QPoint(16, 3), QPoint(3, 16), QPoint(16 * 18 + 5, 5), QPoint(5, 23), QPoint(336, 280)}) {
        EXPECT_EQ(shown.pixelColor(p), ground) << p.x() << "," << p.y();
    }
    EXPECT_EQ(shown.pixelColor(15 * 18, 0), QColor(Qt::black)); // the white entry's outline

    const QRect ok = form.BitBtn1->geometry(), cancel = form.BitBtn2->geometry();
    const QSize size = form.size();
    for (const int entry : {0, 15, 7}) {
        hover(form.PaintBox1, QPoint(entry * 18 + 8, 8));
        QApplication::processEvents();
        EXPECT_TRUE(form.InfoLabel->text().startsWith(QStringLiteral("Index: %1 ").arg(entry)));
        EXPECT_EQ(form.BitBtn1->geometry(), ok);
        EXPECT_EQ(form.BitBtn2->geometry(), cancel);
        EXPECT_EQ(form.size(), size);
    }
}

// The scanner list from the test backend, with modes and resolutions of the chosen device, and
// the choice kept for the next run.
TEST(EditorDialogs, ScannerFormListsTheTestBackend) {
    ASSERT_TRUE(useSaneTestBackend());
    TScannerForm form;
    const scanner::DeviceList devices = scanner::listDevices();
    ASSERT_EQ(devices.devices.size(), 2u);
    form.setDevices(devices.devices, {QStringLiteral("test:1"), QStringLiteral("Gray"), 0});
    EXPECT_EQ(form.DeviceList->currentRow(), 1);
    EXPECT_EQ(form.ModeBox->currentText(), QStringLiteral("Graustufen"));
    EXPECT_EQ(form.ResolutionBox->currentData().toInt(), 25);
    form.DeviceList->setCurrentRow(0);
    EXPECT_EQ(form.ModeBox->currentData().toString(), QStringLiteral("Color"));
    form.ResolutionBox->setCurrentIndex(form.ResolutionBox->findData(100));
    const scanner::ScanSettings chosen = form.settings();
    EXPECT_EQ(chosen.device, QStringLiteral("test:0"));
    EXPECT_EQ(chosen.resolution, 100);
    TScannerForm::storeSettings(chosen);
    const scanner::ScanSettings kept = TScannerForm::storedSettings();
    EXPECT_EQ(kept.device, chosen.device);
    EXPECT_EQ(kept.mode, chosen.mode);
    EXPECT_EQ(kept.resolution, 100);

    form.setDevices({}, {});
    EXPECT_FALSE(form.OkBtn->isEnabled());
}

} // namespace
