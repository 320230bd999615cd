#include "TRGBForm.h"

#include "FormStorage.h"

#include <QSlider>

TRGBForm::TRGBForm(QWidget* parent)
    : TAdjustPreviewForm(QStringLiteral("RGBForm"), QStringLiteral("Rot, Grün, Blau"), parent) {
    TrackBar1 = addTrackBar("TrackBar1", QStringLiteral("Rot:"), -100, 100, 0);
    TrackBar2 = addTrackBar("TrackBar2", QStringLiteral("Grün:"), -100, 100, 0);
    TrackBar3 = addTrackBar("TrackBar3", QStringLiteral("Blau:"), -100, 100, 0);
    new FormStorage(this, {TrackBar1, TrackBar2, TrackBar3});
}

imageops::RGBParams TRGBForm::params() const {
    return {TrackBar1->value(), TrackBar2->value(), TrackBar3->value()};
}

void TRGBForm::setParams(const imageops::RGBParams& p) {
    TrackBar1->setValue(p.red);
    TrackBar2->setValue(p.green);
    TrackBar3->setValue(p.blue);
}

void TRGBForm::applyPreview(dib& image) {
    (void)imageops::RedGreenBlue(image, params(), selection_, progress_);
}

void TRGBForm::resetControls() {
    setParams({});
}
