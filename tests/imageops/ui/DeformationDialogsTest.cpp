#include "Pictures.h"

#include "foundation/DibCopy.h"
#include "imageops/ui/TPerspForm.h"
#include "imageops/ui/TWoelbenForm.h"

#include "foundation/ui/TPaintBox.h"

#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr std::uint32_t kCol2 = 0x10e0f0;

// The document the dialogs work on: a picture, a selection, and counters for the view's
// repaints and the undo steps recorded.
struct Document {
    explicit Document(int bits = 24) : image(patternPicture(23, 17, bits)) {
        grafikrw3::newdib(&mask.get(), 23, 17, 1, nullptr, 0);
        grafikrw3::recht_filled(mask.get(), 3, 2, 19, 14, 1);
    }
    OwnedDib image;
    OwnedDib mask;
    int undoSteps = 0;
    std::vector<std::uint8_t> atUndo;
    TPreviewForm::Child child() {
        return {&image.get(), [] {},
                [this] {
                    atUndo = pixelBytes(image.get());
                    ++undoSteps;
                    return true;
                }};
    }
    imageops::Selection selection() const { return {&mask.get(), true}; }
};

void whileShown(QDialog& form, std::function<void()> steps) {
    QTimer::singleShot(0, &form, std::move(steps));
}

// The picture after applying the perspective with `p` to an untouched copy of `doc`.
std::vector<std::uint8_t> perspOf(const Document& doc, const imageops::PerspParams& p) {
    OwnedDib expected(copyDib(doc.image.get()));
    imageops::Perspektive(expected.get(), doc.image.get(), p, kCol2, doc.selection());
    return pixelBytes(expected.get());
}

TEST(TPerspForm, PreviewsDoNotPileUpAndCancelRestoresEveryByte) {
    QSettings().remove(QStringLiteral("Formulare/PerspForm"));
    Document doc;
    const std::vector<std::uint8_t> before = pixelBytes(doc.image.get());
    const std::vector<std::uint8_t> skewed = perspOf(doc, {-30, false, false});
    TPerspForm form;
    form.setDocumentState(kCol2, doc.selection());
    whileShown(form, [&] {
        EXPECT_EQ(form.StarkEd2->value(), 50);
        form.SkewCheck->click();
        form.VertCheck->click();
        form.StarkEd2->setValue(-30);
        EXPECT_EQ(form.StarkED1->value(), -30); // slider and field show the same strength
        form.VschauBitBtn4->click();
        form.VschauBitBtn4->click();
        EXPECT_EQ(pixelBytes(doc.image.get()), skewed);
        form.BacksetBitBtn3->click();
        EXPECT_EQ(form.StarkED1->value(), 0);
        EXPECT_EQ(form.StarkEd2->value(), 0);
        EXPECT_EQ(pixelBytes(doc.image.get()), skewed); // reset leaves the last preview
        form.StarkED1->setValue(77);
        form.VschauBitBtn4->click();
        form.AbbrechenBitBtn2->click();
    });
    EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Rejected);
    EXPECT_EQ(pixelBytes(doc.image.get()), before);
    EXPECT_EQ(doc.undoSteps, 0);
}

TEST(TPerspForm, OkRecordsOneUndoStepAndAppliesTheValuesOnceAndTheyAreRemembered) {
    QSettings().remove(QStringLiteral("Formulare/PerspForm"));
    Document doc;
    const std::vector<std::uint8_t> before = pixelBytes(doc.image.get());
    const std::vector<std::uint8_t> expected = perspOf(doc, {65, false, true});
    {
        TPerspForm form;
        form.setDocumentState(kCol2, doc.selection());
        whileShown(form, [&] {
            form.VschauBitBtn4->click();
            form.VertCheck->click();
            form.StarkED1->setValue(65);
            form.OkBitBtn1->click();
        });
        EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Accepted);
    }
    EXPECT_EQ(doc.undoSteps, 1);
    EXPECT_EQ(doc.atUndo, before);
    EXPECT_EQ(pixelBytes(doc.image.get()), expected);

    TPerspForm again;
    again.setParams({1, true, false}); // the command's presets give way to the stored values
    whileShown(again, [&] {
        EXPECT_EQ(again.StarkED1->value(), 65);
        EXPECT_EQ(again.StarkEd2->value(), 65); // restored through the slider
        EXPECT_TRUE(again.VertCheck->isChecked());
        EXPECT_TRUE(again.PerspCheck->isChecked());
        again.reject();
    });
    runPreviewDialog(again, doc.child());
}

TEST(TPerspForm, PalettePicturesStayButOkStillRecordsAStep) {
    Document doc(8);
    const std::vector<std::uint8_t> before = pixelBytes(doc.image.get());
    TPerspForm form;
    whileShown(form, [&] { form.OkBitBtn1->click(); });
    EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Accepted);
    EXPECT_EQ(doc.undoSteps, 1);
    EXPECT_EQ(pixelBytes(doc.image.get()), before);
}

TEST(TPerspForm, SketchShowsTheNewOutline) {
    using P = imageops::PerspParams;
    EXPECT_EQ(TPerspForm::outline(P{50, true, true}, 57, 57),
              QPolygon({{56, 14}, {0, 0}, {0, 56}, {56, 42}, {56, 14}}));
    EXPECT_EQ(TPerspForm::outline(P{-50, false, true}, 57, 57),
              QPolygon({{14, 0}, {0, 56}, {56, 56}, {42, 0}, {14, 0}}));
    EXPECT_EQ(TPerspForm::outline(P{40, true, false}, 57, 57),
              QPolygon({{11, 0}, {68, 0}, {46, 56}, {-11, 56}, {11, 0}}));
    EXPECT_EQ(TPerspForm::outline(P{-40, false, false}, 57, 57),
              QPolygon({{0, -11}, {0, 46}, {56, 68}, {56, 11}, {0, -11}}));

    // What the dialog draws: the outline in black on the dialog's background.
    TPerspForm form;
    form.setParams({50, true, true});
    const QImage drawn = form.PaintBox1->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(56, 14), QColor(Qt::black));
    EXPECT_EQ(drawn.pixelColor(0, 30), QColor(Qt::black));
    EXPECT_NE(drawn.pixelColor(56, 5), QColor(Qt::black)); // above the shortened right edge
}

TEST(TWoelbenForm, ModesResetAndOkApplyTheBulge) {
    QSettings().remove(QStringLiteral("Formulare/WoelbenForm"));
    Document doc;
    const std::vector<std::uint8_t> before = pixelBytes(doc.image.get());
    OwnedDib expected(copyDib(doc.image.get()));
    imageops::Woelben(expected.get(), doc.image.get(), {1.4, false, true}, doc.selection());
    {
        TWoelbenForm form;
        form.setDocumentState(doc.selection());
        whileShown(form, [&] {
            EXPECT_TRUE(form.params().horz && form.params().vert); // "Normal"
            form.HorzCheck->click();
            EXPECT_FALSE(form.params().vert);
            form.StarkED2->setValue(6.5);
            form.VschauBitBtn4->click();
            form.VertCheck->click();
            form.BacksetBitBtn3->click(); // 1.4, not 1
            EXPECT_DOUBLE_EQ(form.StarkED2->value(), 1.4);
            form.OkBitBtn1->click();
        });
        EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Accepted);
    }
    EXPECT_EQ(doc.undoSteps, 1);
    EXPECT_EQ(doc.atUndo, before);
    EXPECT_EQ(pixelBytes(doc.image.get()), pixelBytes(expected.get()));

    TWoelbenForm again;
    whileShown(again, [&] {
        EXPECT_TRUE(again.VertCheck->isChecked());
        EXPECT_DOUBLE_EQ(again.StarkED2->value(), 1.4);
        again.reject();
    });
    runPreviewDialog(again, doc.child());
}

} // namespace
