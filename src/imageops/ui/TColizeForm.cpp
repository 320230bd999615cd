#include "TColizeForm.h"

#include "FormStorage.h"
#include "imageops/ColourModel.h"

#include <QFormLayout>
#include <QPainter>
#include <QSettings>
#include <QSlider>
#include <QVBoxLayout>

ColourSwatch::ColourSwatch(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
    setMinimumSize(64, 32);
}

void ColourSwatch::setBrushColor(const QColor& colour) {
    colour_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* event) {
    QPainter(this).fillRect(contentsRect(), colour_);
    QFrame::paintEvent(event);
}

namespace {

// Where the colorize dialog keeps which control had the focus.
QString focusKey() {
    return QStringLiteral("Formulare/ColizeForm/ActiveControl");
}

} // namespace

TColizeForm::TColizeForm(QWidget* parent)
    : TAdjustPreviewForm(QStringLiteral("ColizeForm"), QStringLiteral("Colorieren..."), parent) {
    const imageops::ColizeParams defaults;
    TrackBar1 = addTrackBar("TrackBar1", QStringLiteral("Farbton:"), 0, 255, defaults.farbe);
    TrackBar2 = addTrackBar("TrackBar2", QStringLiteral("Sättigung:"), 0, 255, defaults.satt);
    Shape1 = new ColourSwatch(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Farbe:"), Shape1);
    controlsLayout()->addLayout(form);
    connect(TrackBar1, &QSlider::valueChanged, this, &TColizeForm::TrackBar2Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TColizeForm::TrackBar2Change);
    new FormStorage(this, {TrackBar1, TrackBar2, Shape1});
    TrackBar2Change();
}

imageops::ColizeParams TColizeForm::params() const {
    return {TrackBar1->value(), TrackBar2->value()};
}

void TColizeForm::setParams(const imageops::ColizeParams& p) {
    TrackBar1->setValue(p.farbe);
    TrackBar2->setValue(p.satt);
}

void TColizeForm::TrackBar2Change() {
    const imageops::RgbBytes c = imageops::HSLToRGB(TrackBar1->value(), TrackBar2->value(), 128);
    Shape1->setBrushColor(QColor(c.red, c.green, c.blue));
}

void TColizeForm::FormActivate() {
    TrackBar2Change();
}

void TColizeForm::showEvent(QShowEvent* event) {
    TAdjustPreviewForm::showEvent(event);
    const QString focused = QSettings().value(focusKey()).toString();
    if (QWidget* w = focused.isEmpty() ? nullptr : findChild<QWidget*>(focused)) {
        w->setFocus();
    }
    FormActivate();
}

void TColizeForm::done(int result) {
    if (const QWidget* w = focusWidget(); w && !w->objectName().isEmpty()) {
        QSettings().setValue(focusKey(), w->objectName());
    }
    TAdjustPreviewForm::done(result);
}

void TColizeForm::applyPreview(dib& image) {
    (void)imageops::Colorize(image, params(), selection_, progress_);
}

void TColizeForm::resetControls() {
    setParams({});
}
