#include "TLightForm.h"

#include "FormStorage.h"

#include <QSlider>

TLightForm::TLightForm(QWidget* parent)
    : TAdjustPreviewForm(QStringLiteral("LightForm"), QStringLiteral("Glanzlicht, Mitte, Schatten"),
                         parent) {
    const imageops::LightParams neutral;
    TrackBar1 = addTrackBar("TrackBar1", QStringLiteral("Glanzlicht:"), 0, 255, neutral.hi);
    TrackBar2 = addTrackBar("TrackBar2", QStringLiteral("Mitte:"), 0, 255, neutral.mi);
    TrackBar3 = addTrackBar("TrackBar3", QStringLiteral("Schatten:"), 0, 255, neutral.sa);
    new FormStorage(this, {TrackBar1, TrackBar2, TrackBar3});
}

imageops::LightParams TLightForm::params() const {
    return {TrackBar1->value(), TrackBar2->value(), TrackBar3->value()};
}

void TLightForm::setParams(const imageops::LightParams& p) {
    TrackBar1->setValue(p.hi);
    TrackBar2->setValue(p.mi);
    TrackBar3->setValue(p.sa);
}

void TLightForm::applyPreview(dib& image) {
    (void)imageops::HighMidShadow(image, params(), selection_, progress_);
}

void TLightForm::resetControls() {
    setParams({});
}
