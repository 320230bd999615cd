#include "imageops/ui/TAddBForm.h"
#include "imageops/ui/TButtonForm.h"
#include "imageops/ui/TCanvasSForm.h"
#include "imageops/ui/TDelNoiseForm.h"
#include "imageops/ui/TMosaikForm.h"
#include "imageops/ui/TNoiseForm.h"
#include "imageops/ui/TResizeForm.h"
#include "imageops/ui/TRotateForm.h"
#include "imageops/ui/TShadowForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Replaces a number field's text by `text` as the user would, key by key.
void type(QAbstractSpinBox* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

void forgetStoredValues(const char* form) {
    QSettings().remove(QStringLiteral("Formulare/") + QLatin1String(form));
}

TEST(TResizeForm, KeepingTheRatioLinksTheFieldsOneWayAtATime) {
    forgetStoredValues("ResizeForm");
    TResizeForm form;
    form.setOldSize(200, 100);
    form.show();
    EXPECT_EQ(form.BreitEdit->value(), 200);
    EXPECT_EQ(form.HochEdit->value(), 100);

    type(form.BreitEdit, QStringLiteral("150"));
    EXPECT_EQ(form.HochEdit->value(), 75);
    type(form.HochEdit, QStringLiteral("33"));
    EXPECT_EQ(form.BreitEdit->value(), 66);
    EXPECT_EQ(form.HochEdit->value(), 33); // the written width did not come back

    // A width whose height is already there writes nothing; the next height is followed.
    QTest::keyClick(form.BreitEdit, Qt::Key_Up);
    EXPECT_EQ(form.BreitEdit->value(), 67);
    EXPECT_EQ(form.HochEdit->value(), 33);
    EXPECT_FALSE(form.init);
    type(form.HochEdit, QStringLiteral("50"));
    EXPECT_EQ(form.BreitEdit->value(), 100);

    // Unticked, nothing is linked; ticking it again recomputes the height from the width.
    form.SverhCheck->click();
    type(form.BreitEdit, QStringLiteral("180"));
    EXPECT_EQ(form.HochEdit->value(), 50);
    form.SverhCheck->click();
    EXPECT_EQ(form.HochEdit->value(), 90);

    // The smallest width rounds the height down to 0, which the field keeps at 1.
    type(form.BreitEdit, QStringLiteral("1"));
    EXPECT_EQ(form.HochEdit->value(), 1);

    form.setInterpolAllowed(false);
    EXPECT_FALSE(form.InterpolCheck->isEnabled());
    const imageops::ResizeParams p = form.params();
    EXPECT_EQ(p.breit, 1);
    EXPECT_EQ(p.hoch, 1);
    EXPECT_TRUE(p.interpol);
}

TEST(TResizeForm, RemembersItsTwoBoxesButNotTheSize) {
    forgetStoredValues("ResizeForm");
    {
        TResizeForm first;
        first.setOldSize(640, 480);
        first.show();
        first.SverhCheck->setChecked(false);
        first.InterpolCheck->setChecked(false);
        first.reject();
    }
    TResizeForm second;
    second.setOldSize(30, 20);
    second.show();
    EXPECT_FALSE(second.SverhCheck->isChecked());
    EXPECT_FALSE(second.InterpolCheck->isChecked());
    EXPECT_EQ(second.BreitEdit->value(), 30);
    EXPECT_EQ(second.HochEdit->value(), 20);
}

TEST(TCanvasSForm, CentringFollowsTheSizeWithTiesToEven) {
    forgetStoredValues("CanvasSForm");
    TCanvasSForm small;
    small.setOldSize(32, 32);
    small.show(); // showing centres both ways
    EXPECT_EQ(small.OldBreitLabel->text(), QStringLiteral("32"));
    EXPECT_EQ(small.BreitEdit->value(), 320);
    EXPECT_EQ(small.HochEdit->value(), 200);
    EXPECT_EQ(small.LeftEdit->value(), 144);
    EXPECT_EQ(small.TopEdit->value(), 84);

    TCanvasSForm form;
    form.setOldSize(400, 300);
    form.show();
    EXPECT_EQ(form.LeftEdit->value(), 0);
    type(form.BreitEdit, QStringLiteral("405"));
    EXPECT_EQ(form.LeftEdit->value(), 2); // 2.5 rounds to 2
    type(form.BreitEdit, QStringLiteral("403"));
    EXPECT_EQ(form.LeftEdit->value(), 2); // 1.5 rounds to 2
    type(form.HochEdit, QStringLiteral("297"));
    EXPECT_EQ(form.TopEdit->value(), -2); // -1.5 rounds to -2

    // Without centring the offset stays; ticking the box changes nothing by itself.
    form.ZentHCheck->click();
    type(form.LeftEdit, QStringLiteral("-7"));
    type(form.BreitEdit, QStringLiteral("500"));
    EXPECT_EQ(form.LeftEdit->value(), -7);
    form.ZentHCheck->click();
    EXPECT_EQ(form.LeftEdit->value(), -7);

    const imageops::CanvasParams p = form.params();
    EXPECT_EQ(p.Breit, 500);
    EXPECT_EQ(p.Hoch, 297);
    EXPECT_EQ(p.Links, -7);
    EXPECT_EQ(p.Oben, -2);
}

TEST(TAddBForm, SymmetricBordersCopyEachChange) {
    forgetStoredValues("AddBForm");
    TAddBForm form;
    form.show();
    type(form.TopEdit, QStringLiteral("4"));
    EXPECT_EQ(form.BottomEdit->value(), 0); // not symmetric yet
    form.SymCheck->click();
    EXPECT_EQ(form.BottomEdit->value(), 0); // ticking copies nothing
    type(form.LeftEdit, QStringLiteral("12"));
    const imageops::BorderParams p = form.params();
    EXPECT_EQ(p.top_, 12);
    EXPECT_EQ(p.bot_, 12);
    EXPECT_EQ(p.lef_, 12);
    EXPECT_EQ(p.rig_, 12);
    form.reject();

    TAddBForm again;
    again.show();
    EXPECT_TRUE(again.SymCheck->isChecked());
    EXPECT_EQ(again.TopEdit->value(), 0);
}

TEST(TRotateForm, ChoicesBecomeTheRotationAndAreRemembered) {
    forgetStoredValues("RotateForm");
    using W = imageops::RotateParams::Winkel;
    {
        TRotateForm form;
        form.show();
        EXPECT_FALSE(form.InterpolCheck->isVisible());
        imageops::RotateParams p = form.params();
        EXPECT_EQ(p.winkel, W::Frei);
        EXPECT_FALSE(p.rechts);
        EXPECT_DOUBLE_EQ(p.grad, 45.0);

        form.Grad270Check->click();
        form.RotRightCheck->click();
        form.GradEdit->setValue(12.5);
        p = form.params();
        EXPECT_EQ(p.winkel, W::Grad270);
        EXPECT_TRUE(p.rechts);
        form.accept();
    }
    TRotateForm form;
    form.show();
    const imageops::RotateParams p = form.params();
    EXPECT_EQ(p.winkel, W::Grad270);
    EXPECT_TRUE(p.rechts);
    EXPECT_DOUBLE_EQ(p.grad, 12.5);
    EXPECT_FALSE(form.FreiGradCheck->isChecked());
}

TEST(EffectDialogs, ColourListStartsAtTheBackgroundAndValuesReachTheParameters) {
    forgetStoredValues("ButtonForm");
    TShadowForm shadow;
    shadow.ColorBox->setCurrentIndex(4);
    shadow.show();
    EXPECT_EQ(shadow.colorEntry(), int(imageops::EffectColour::Hintergrundfarbe));
    EXPECT_EQ(shadow.ColorBox->count(), 7);
    EXPECT_EQ(shadow.ColorBox->itemText(3), QStringLiteral("Weiß"));
    type(shadow.HorzEd, QStringLiteral("-12"));
    shadow.setBlendingAllowed(false);
    EXPECT_FALSE(shadow.BlurEd->isEnabled());
    const imageops::ShadowParams s = shadow.params();
    EXPECT_EQ(s.px, -12);
    EXPECT_EQ(s.py, 5);
    EXPECT_EQ(s.trans, 10);
    EXPECT_EQ(s.blur, 10);

    {
        TButtonForm button;
        button.show();
        EXPECT_EQ(button.colorEntry(), 1);
        button.TransCheck->click();
        EXPECT_FALSE(button.params().solid);
        EXPECT_EQ(button.params().px, 10);
        button.reject();
    }
    TButtonForm button;
    button.show();
    EXPECT_TRUE(button.TransCheck->isChecked()); // the frame kind is remembered

    TMosaikForm mosaic;
    TNoiseForm noise;
    TDelNoiseForm delNoise;
    EXPECT_EQ(mosaic.params().breit, 4);
    EXPECT_EQ(mosaic.params().hoch, 4);
    EXPECT_EQ(noise.params().Stark, 96);
    EXPECT_EQ(noise.params().Wahrs, 50);
    EXPECT_EQ(delNoise.params().Grenze, 50);
}

} // namespace
