#include "Pictures.h"
#include "TestSupport.h"

#include "foundation/OwnedDib.h"
#include "imageops/ui/FormStorage.h"
#include "imageops/ui/TPreviewForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Adds the spin box's value to every pixel byte and turns palette entry 0 red, so that both
// pixels and palette show whether previews pile up or are undone.
class AddForm : public TPreviewForm {
public:
    AddForm() : TPreviewForm(QStringLiteral("AddForm"), QStringLiteral("Addieren"), nullptr) {
        Amount = new QSpinBox(this);
        Amount->setObjectName(QStringLiteral("Amount"));
        Amount->setRange(0, 100);
        Amount->setValue(5);
        Keep = new QCheckBox(QStringLiteral("Behalten"), this);
        Keep->setObjectName(QStringLiteral("Keep"));
        controlsLayout()->addWidget(Amount);
        controlsLayout()->addWidget(Keep);
        new FormStorage(this, {Amount, Keep});
    }
    QSpinBox* Amount;
    QCheckBox* Keep;

protected:
    void applyPreview(dib& image) override {
        for (std::int64_t i = 0; i < std::int64_t(DIBHeight(image)) * image.bytew; ++i) {
            image.poi[i] = std::uint8_t(image.poi[i] + Amount->value());
        }
        if (image.ispal) {
            image.pal.pal[0] = PALETTEENTRY{255, 0, 0, 0};
            image.pmi->colors()[0] = RGBQUAD{0, 0, 255, 0};
        }
    }
    void resetControls() override { Amount->setValue(0); }
};

struct Document {
    OwnedDib image = patternPicture(9, 5, 8);
    int undoSteps = 0;
    int repaints = 0;
    TPreviewForm::Child child() {
        return {&image.get(), [this] { ++repaints; },
                [this] {
                    ++undoSteps;
                    return true;
                }};
    }
};

// Runs `steps` on the dialog once it is shown, then leaves it with `finish`.
void whileShown(AddForm& form, std::function<void()> steps) {
    QTimer::singleShot(0, &form, std::move(steps));
}

std::vector<std::uint8_t> palettePlusPixels(const dib& d) {
    std::vector<std::uint8_t> bytes = pixelBytes(d);
    const auto* table = reinterpret_cast<const std::uint8_t*>(d.pmi->colors());
    bytes.insert(bytes.end(), table, table + 4 * DIBColorTableSize(d));
    const auto* pal = reinterpret_cast<const std::uint8_t*>(&d.pal);
    bytes.insert(bytes.end(), pal, pal + sizeof(LPAL));
    return bytes;
}

TEST(PreviewForm, PreviewsStartFromTheBackupAndCancelRestoresEveryByte) {
    Document doc;
    const std::vector<std::uint8_t> before = palettePlusPixels(doc.image.get());
    AddForm form;
    std::vector<std::uint8_t> afterOnePreview, afterTwoPreviews;
    whileShown(form, [&] {
        form.VschauBitBtn4->click();
        afterOnePreview = palettePlusPixels(doc.image.get());
        form.VschauBitBtn4->click();
        afterTwoPreviews = palettePlusPixels(doc.image.get());
        form.BacksetBitBtn3->click(); // the picture keeps the last preview
        EXPECT_EQ(palettePlusPixels(doc.image.get()), afterTwoPreviews);
        form.AbbrechenBitBtn2->click();
    });
    EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Rejected);
    EXPECT_NE(afterOnePreview, before);
    EXPECT_EQ(afterTwoPreviews, afterOnePreview);
    EXPECT_EQ(palettePlusPixels(doc.image.get()), before);
    EXPECT_EQ(doc.undoSteps, 0);
}

TEST(PreviewForm, OkRecordsOneUndoStepFromTheUnchangedPictureAndAppliesOnce) {
    Document doc;
    OwnedDib expected = patternPicture(9, 5, 8);
    for (std::int64_t i = 0; i < std::int64_t(5) * expected->bytew; ++i) {
        expected->poi[i] = std::uint8_t(expected->poi[i] + 7);
    }
    AddForm form;
    std::vector<std::uint8_t> atUndo;
    TPreviewForm::Child child = doc.child();
    child.saveForUndo = [&] {
        atUndo = pixelBytes(doc.image.get());
        ++doc.undoSteps;
        return true;
    };
    whileShown(form, [&] {
        form.VschauBitBtn4->click();
        form.Amount->setValue(7);
        form.OkBitBtn1->click();
    });
    EXPECT_EQ(runPreviewDialog(form, child), QDialog::Accepted);
    EXPECT_EQ(doc.undoSteps, 1);
    EXPECT_EQ(atUndo, pixelBytes(patternPicture(9, 5, 8).get()));
    EXPECT_EQ(pixelBytes(doc.image.get()), pixelBytes(expected.get()));
}

TEST(PreviewForm, NoBackupMeansNoDialogAndAMessage) {
    Document doc;
    MessageCapture messages;
    AddForm form;
    bool shown = false;
    whileShown(form, [&] { // only reached if the dialog were shown after all
        shown = true;
        form.reject();
    });
    {
        AllocationFailure noMemory(1);
        EXPECT_EQ(runPreviewDialog(form, doc.child()), QDialog::Rejected);
    }
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral(
                                    "Fehler: Konnte Bild nicht erstellen! (Zuwenig Speicher?)")});
    EXPECT_EQ(doc.undoSteps, 0);
    EXPECT_FALSE(shown);
}

TEST(FormStorage, StoredValuesReplaceThePresetsOnTheNextShowing) {
    QSettings().remove(QStringLiteral("Formulare/AddForm"));
    Document doc;
    {
        AddForm first;
        first.Amount->setValue(42);
        first.Keep->setChecked(true);
        QTimer::singleShot(0, &first, [&] {
            EXPECT_EQ(first.Amount->value(), 42); // nothing stored yet: the preset stays
            first.reject();                       // cancel stores too
        });
        runPreviewDialog(first, doc.child());
    }
    AddForm second;
    QTimer::singleShot(0, &second, [&] {
        EXPECT_EQ(second.Amount->value(), 42);
        EXPECT_TRUE(second.Keep->isChecked());
        second.reject();
    });
    runPreviewDialog(second, doc.child());
}

} // namespace
