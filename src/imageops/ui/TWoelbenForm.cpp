#include "TWoelbenForm.h"

#include "FormStorage.h"
#include "ParamFormBase.h"

#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr double kResetStrength = 1.4;
constexpr double kLeastStrength = 0.01;

QRadioButton* radio(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TWoelbenForm::TWoelbenForm(QWidget* parent)
    : TPreviewForm(QStringLiteral("WoelbenForm"), QStringLiteral("Wölben"), parent) {
    auto* mode = new QGroupBox(QStringLiteral("Arbeitsmodus"), this);
    BothCheck = radio(mode, "BothCheck", QStringLiteral("Normal"));
    BothCheck->setChecked(true);
    HorzCheck = radio(mode, "HorzCheck", QStringLiteral("Horizontal"));
    VertCheck = radio(mode, "VertCheck", QStringLiteral("Vertikal"));
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(BothCheck);
    modeLayout->addWidget(HorzCheck);
    modeLayout->addWidget(VertCheck);

    auto* settings = new QGroupBox(QStringLiteral("Einstellungen"), this);
    StarkED2 = formcontrols::floatSpinEdit(settings, "StarkED2", kLeastStrength, 10.0, 0.1,
                                           kResetStrength);
    auto* note = new QLabel(QStringLiteral("Hinweis: Werte größer 1 wölben das Bild nach außen. "
                                           "Werte kleiner 1 wölben das Bild nach innen."),
                            settings);
    note->setWordWrap(true);
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(new QLabel(QStringLiteral("Stärke:"), settings));
    settingsLayout->addWidget(StarkED2);
    settingsLayout->addWidget(note);

    controlsLayout()->addWidget(mode);
    controlsLayout()->addWidget(settings);
    new FormStorage(this, {StarkED2, BothCheck, HorzCheck, VertCheck});
}

void TWoelbenForm::setDocumentState(imageops::Selection selection) {
    selection_ = selection;
}

imageops::WoelbenParams TWoelbenForm::params() const {
    // "Normal", and no choice at all, bend both ways.
    const bool horz = !VertCheck->isChecked();
    const bool vert = !HorzCheck->isChecked();
    return {StarkED2->value(), horz, vert};
}

void TWoelbenForm::setParams(const imageops::WoelbenParams& p) {
    StarkED2->setValue(p.wert);
    (p.horz && p.vert ? BothCheck : p.horz ? HorzCheck : VertCheck)->setChecked(true);
}

void TWoelbenForm::applyPreview(dib& image) {
    if (StarkED2->value() <= 0) {
        StarkED2->setValue(kLeastStrength); // a strength of 0 would flatten everything
    }
    if (HKdi) {
        imageops::Woelben(image, *HKdi, params(), selection_);
    }
}

void TWoelbenForm::resetControls() {
    StarkED2->setValue(kResetStrength);
}
