#include "Pictures.h"

#include "foundation/DibCopy.h"
#include "imageops/ColourModel.h"
#include "imageops/ui/TColizeForm.h"
#include "imageops/ui/TGammaForm.h"
#include "imageops/ui/THKForm.h"
#include "imageops/ui/TLightForm.h"
#include "imageops/ui/TPosterFaktor.h"
#include "imageops/ui/TRGBForm.h"
#include "imageops/ui/TSolarfaktor.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace imageops;

namespace {

using Op = std::function<OpStatus(dib&, const Selection&)>;

// One preview dialog: how to make it, values away from its defaults with the operation they
// mean, and the operation its reset values mean.
struct PreviewDialog {
    const char* name;
    std::function<std::unique_ptr<TAdjustPreviewForm>()> make;
    std::function<void(TAdjustPreviewForm&)> moveControls;
    Op moved;
    Op reset;
};

template <typename Form>
Form& as(TAdjustPreviewForm& form) {
    return static_cast<Form&>(form);
}

std::vector<PreviewDialog> previewDialogs() {
    return {
        {"THKForm", [] { return std::make_unique<THKForm>(); },
         [](TAdjustPreviewForm& f) {
             as<THKForm>(f).setParams({-30, 140, 25});
         },
         [](dib& d, const Selection& s) {
             (void)Helligkeit(d, -30, s);
             (void)Kontrast(d, 140, s);
             return Saettigung(d, 25, s);
         },
         [](dib&, const Selection&) { return OpStatus::Unchanged; }},
        {"TGammaForm", [] { return std::make_unique<TGammaForm>(); },
         [](TAdjustPreviewForm& f) { as<TGammaForm>(f).GammaEdit->setValue(0.6); },
         [](dib& d, const Selection& s) { return Gamma(d, 0.6, s); },
         [](dib& d, const Selection& s) { return Gamma(d, 1.8, s); }},
        {"TLightForm", [] { return std::make_unique<TLightForm>(); },
         [](TAdjustPreviewForm& f) {
             as<TLightForm>(f).setParams({180, 100, 60});
         },
         [](dib& d, const Selection& s) { return HighMidShadow(d, 180, 100, 60, s); },
         [](dib& d, const Selection& s) { return HighMidShadow(d, 255, 128, 0, s); }},
        {"TRGBForm", [] { return std::make_unique<TRGBForm>(); },
         [](TAdjustPreviewForm& f) {
             as<TRGBForm>(f).setParams({50, -20, -100});
         },
         [](dib& d, const Selection& s) { return RedGreenBlue(d, 50, -20, -100, s); },
         [](dib&, const Selection&) { return OpStatus::Unchanged; }},
        {"TColizeForm", [] { return std::make_unique<TColizeForm>(); },
         [](TAdjustPreviewForm& f) {
             as<TColizeForm>(f).setParams({20, 240});
         },
         [](dib& d, const Selection& s) { return Colorize(d, 20, 240, s); },
         [](dib& d, const Selection& s) { return Colorize(d, 128, 128, s); }},
    };
}

OwnedDib selectionMask(int w, int h) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), w, h, 1, nullptr, 0);
    grafikrw3::recht_filled(mask.get(), 1, 1, w - 2, h - 1, 1);
    return mask;
}

std::vector<std::uint8_t> after(const dib& original, const Op& op, const Selection& selection) {
    OwnedDib copy(copyDib(original));
    (void)op(copy.get(), selection);
    return pixelBytes(copy.get());
}

TEST(AdjustmentForms, PreviewShowsTheControlsResetRestoresDefaultsOkAppliesOnce) {
    QSettings().remove(QStringLiteral("Formulare"));
    for (const PreviewDialog& d : previewDialogs()) {
        SCOPED_TRACE(d.name);
        OwnedDib image = patternPicture(11, 6, 24);
        const OwnedDib original(copyDib(image.get()));
        const OwnedDib mask = selectionMask(11, 6);
        const Selection selection(&mask.get(), true);
        int undoSteps = 0;
        std::vector<std::uint8_t> atUndo, preview, twice, afterReset;
        int progressCalls = 0;

        const std::unique_ptr<TAdjustPreviewForm> form = d.make();
        form->setSelection(selection);
        form->setProgress([&](int) { return ++progressCalls, true; });
        QTimer::singleShot(0, form.get(), [&] {
            d.moveControls(*form);
            form->VschauBitBtn4->click();
            preview = pixelBytes(image.get());
            form->VschauBitBtn4->click();
            twice = pixelBytes(image.get());
            form->BacksetBitBtn3->click();
            afterReset = pixelBytes(image.get());
            form->OkBitBtn1->click();
        });
        const int result = runPreviewDialog(*form, {&image.get(), [] {},
                                                    [&] {
                                                        atUndo = pixelBytes(image.get());
                                                        return ++undoSteps, true;
                                                    }});

        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(preview, after(original.get(), d.moved, selection));
        EXPECT_EQ(twice, preview);
        EXPECT_EQ(afterReset, preview); // resetting touches only the controls
        EXPECT_EQ(undoSteps, 1);
        EXPECT_EQ(atUndo, pixelBytes(original.get()));
        EXPECT_EQ(pixelBytes(image.get()), after(original.get(), d.reset, selection));
        EXPECT_GT(progressCalls, 0);
    }
}

TEST(AdjustmentForms, ValuesAreKeptBetweenRunsAndTheColourFieldFollowsTheTrackBars) {
    QSettings().remove(QStringLiteral("Formulare"));
    OwnedDib image = patternPicture(4, 3, 24);
    auto run = [&](TAdjustPreviewForm& form, const std::function<void()>& whileShown) {
        QTimer::singleShot(0, &form, [&] {
            whileShown();
            form.reject();
        });
        runPreviewDialog(form, {&image.get(), [] {}, [] { return true; }});
    };
    {
        THKForm hk;
        TGammaForm gamma;
        TLightForm light;
        TRGBForm rgb;
        TColizeForm colize;
        run(hk, [&] { hk.setParams({5, 6, 7}); });
        run(gamma, [&] { gamma.GammaEdit->setValue(2.5); });
        run(light, [&] { light.setParams({250, 120, 3}); });
        run(rgb, [&] { rgb.setParams({-1, -2, -3}); });
        run(colize, [&] {
            colize.setParams({170, 255});
            EXPECT_EQ(colize.Shape1->brushColor(), QColor(1, 1, 255)); // lightness 128
            colize.TrackBar2->setFocus();
        });
    }
    THKForm hk;
    TGammaForm gamma;
    TLightForm light;
    TRGBForm rgb;
    TColizeForm colize;
    run(hk, [&] { EXPECT_EQ(hk.params(), (HKParams{5, 6, 7})); });
    run(gamma, [&] { EXPECT_DOUBLE_EQ(gamma.params().gam, 2.5); });
    run(light, [&] { EXPECT_EQ(light.params(), (LightParams{250, 120, 3})); });
    run(rgb, [&] { EXPECT_EQ(rgb.params(), (RGBParams{-1, -2, -3})); });
    run(colize, [&] {
        EXPECT_EQ(colize.params(), (ColizeParams{170, 255}));
        EXPECT_EQ(colize.focusWidget(), colize.TrackBar2);
        const RgbBytes c = HSLToRGB(170, 255, 128);
        EXPECT_EQ(colize.Shape1->brushColor(), QColor(c.red, c.green, c.blue));
        colize.TrackBar1->setValue(0);
        EXPECT_EQ(colize.Shape1->brushColor(), QColor(255, 1, 1));
    });
}

TEST(AdjustmentForms, ParameterDialogsStartAtTheirDefaultsEveryTime) {
    for (int run = 0; run < 2; ++run) {
        TPosterFaktor poster;
        TSolarfaktor solar;
        QTimer::singleShot(0, &poster, [&] {
            EXPECT_EQ(poster.PosterEdit->value(), 4);
            poster.PosterEdit->setValue(9); // beyond the range: 7
            poster.OkBitBtn1->click();
        });
        ASSERT_EQ(poster.exec(), QDialog::Accepted);
        EXPECT_EQ(poster.params().faktor(), 1);
        QTimer::singleShot(0, &solar, [&] {
            EXPECT_EQ(solar.SolarEdit->value(), 128);
            EXPECT_EQ(solar.OkBitBtn1->text(), QStringLiteral("&Ok"));
            solar.SolarEdit->setValue(0);
            solar.AbbrechenBitBtn2->click();
        });
        ASSERT_EQ(solar.exec(), QDialog::Rejected);
        EXPECT_EQ(solar.params().grenzwert, 1);
    }
}

} // namespace
