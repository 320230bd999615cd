#include "imageops/ui/TDepthDownForm.h"
#include "imageops/ui/TFreeDepthForm.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using imageops::DepthDownParams;
using imageops::DepthMethod;

// Runs `steps` once the dialog is shown modally, and returns how it ended.
int runShown(QDialog& form, std::function<void()> steps) {
    QTimer::singleShot(0, &form, std::move(steps));
    return form.exec();
}

struct Enabled {
    bool optPal, stdPal, near, dither, fsErr, winCol;
    bool operator==(const Enabled&) const = default;
};

Enabled enabledOf(const TDepthDownForm& f) {
    return {f.OptPalCheck->isEnabled(), f.StdPalCheck->isEnabled(), f.NearCheck->isEnabled(),
            f.DitherCheck->isEnabled(), f.FSErrCheck->isEnabled(),  f.WinColCheck->isEnabled()};
}

TEST(TDepthDownForm, PreparesTheChoicesForEachDepth) {
    TDepthDownForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Farbtiefe verkleinern..."));
    form.prepare(1);
    EXPECT_EQ(enabledOf(form), (Enabled{false, false, true, false, true, false}));
    form.prepare(4);
    EXPECT_EQ(enabledOf(form), (Enabled{true, true, true, false, true, false}));
    EXPECT_FALSE(form.To256);
    form.prepare(8);
    EXPECT_EQ(enabledOf(form), (Enabled{true, true, true, false, true, true}));
    EXPECT_TRUE(form.To256);
    EXPECT_EQ(form.params(), (DepthDownParams{8, DepthMethod::ErrorDiffusion, true, true, 256}));
}

TEST(TDepthDownForm, OrderedDitherOnlyWithTheStandardPaletteAtEightBits) {
    TDepthDownForm form;
    form.prepare(8);
    const int result = runShown(form, [&] {
        form.StdPalCheck->click();
        EXPECT_TRUE(form.DitherCheck->isEnabled());
        EXPECT_FALSE(form.WinColCheck->isEnabled());
        form.DitherCheck->click();
        // Back to the optimised palette: the dither goes, error diffusion takes its place.
        form.OptPalCheck->click();
        EXPECT_FALSE(form.DitherCheck->isEnabled());
        EXPECT_TRUE(form.FSErrCheck->isChecked());
        form.StdPalCheck->click();
        form.DitherCheck->click();
        form.OkBtn->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(form.params(), (DepthDownParams{8, DepthMethod::OrderedDither, false, true, 256}));

    // The same choice cannot be set up for 16 colours.
    form.setParams({4, DepthMethod::OrderedDither, false, false, 16});
    EXPECT_EQ(form.params(), (DepthDownParams{4, DepthMethod::ErrorDiffusion, false, false, 16}));
    form.setParams({8, DepthMethod::Nearest, true, false, 256});
    EXPECT_EQ(form.params(), (DepthDownParams{8, DepthMethod::Nearest, true, false, 256}));
    EXPECT_EQ(runShown(form, [&] { form.AbbrechenBtn->click(); }), QDialog::Rejected);
}

TEST(TFreeDepthForm, LimitsFollowTheSourceAndTheSystemColours) {
    QSettings().remove(QStringLiteral("Formulare/FreeDepthForm"));
    TFreeDepthForm form;
    form.prepare(24);
    EXPECT_EQ(form.NumColEd->maximum(), 256);
    EXPECT_EQ(form.NumColEd->minimum(), 22); // the system colours are ticked
    form.WinColCheck->click();
    EXPECT_EQ(form.NumColEd->minimum(), 2);
    form.NumColEd->setValue(5);
    form.WinColCheck->click();
    EXPECT_EQ(form.NumColEd->value(), 22);

    // From 8 bits: at most 16, no system colours even while the box stays ticked.
    form.prepare(8);
    EXPECT_FALSE(form.WinColCheck->isEnabled());
    EXPECT_EQ(form.NumColEd->maximum(), 16);
    EXPECT_EQ(form.NumColEd->minimum(), 2);
    form.NumColEd->setValue(12);
    EXPECT_EQ(form.params(), (DepthDownParams{0, DepthMethod::ErrorDiffusion, true, false, 12}));
    EXPECT_EQ(imageops::depthDownTarget(form.params()), 4);
}

TEST(TFreeDepthForm, RemembersItsChoicesAndStartsAtSixtyFour) {
    QSettings().remove(QStringLiteral("Formulare/FreeDepthForm"));
    {
        TFreeDepthForm form;
        form.prepare(24);
        const int result = runShown(form, [&] {
            EXPECT_EQ(form.NumColEd->value(), 64);
            form.NearCheck->click();
            form.WinColCheck->click();
            form.NumColEd->setValue(7);
            form.OkBtn->click();
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(form.params(), (DepthDownParams{0, DepthMethod::Nearest, true, false, 7}));
    }
    TFreeDepthForm again;
    again.prepare(24);
    runShown(again, [&] {
        EXPECT_TRUE(again.NearCheck->isChecked());
        EXPECT_FALSE(again.FSErrCheck->isChecked());
        EXPECT_FALSE(again.WinColCheck->isChecked());
        EXPECT_EQ(again.NumColEd->value(), 64);
        again.AbbrechenBtn->click();
    });
}

} // namespace
