#include "THKForm.h"

#include "FormStorage.h"

#include <QSlider>

THKForm::THKForm(QWidget* parent)
    : TAdjustPreviewForm(QStringLiteral("HKForm"),
                         QStringLiteral("Helligkeit, Kontrast und Sättigung"), parent) {
    const imageops::HKParams neutral;
    TrackBar1 =
        addTrackBar("TrackBar1", QStringLiteral("Helligkeit:"), -127, 127, neutral.helligkeit);
    TrackBar2 = addTrackBar("TrackBar2", QStringLiteral("Kontrast:"), 0, 200, neutral.kontrast);
    TrackBar3 =
        addTrackBar("TrackBar3", QStringLiteral("Sättigung:"), -100, 100, neutral.saettigung);
    new FormStorage(this, {TrackBar1, TrackBar2, TrackBar3});
}

imageops::HKParams THKForm::params() const {
    return {TrackBar1->value(), TrackBar2->value(), TrackBar3->value()};
}

void THKForm::setParams(const imageops::HKParams& p) {
    TrackBar1->setValue(p.helligkeit);
    TrackBar2->setValue(p.kontrast);
    TrackBar3->setValue(p.saettigung);
}

void THKForm::applyPreview(dib& image) {
    (void)imageops::HelligkeitKontrastSaettigung(image, params(), selection_, progress_);
}

void THKForm::resetControls() {
    setParams({});
}
