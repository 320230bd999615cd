#include "TPerspForm.h"

#include "FormStorage.h"
#include "ParamFormBase.h"

#include "foundation/ui/TPaintBox.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

QRadioButton* radio(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

TPerspForm::TPerspForm(QWidget* parent)
    : TPreviewForm(QStringLiteral("PerspForm"), QStringLiteral("Perspektive/Schrägstellen"),
                   parent) {
    auto* mode = new QGroupBox(QStringLiteral("Arbeitsmodus"), this);
    PerspCheck = radio(mode, "PerspCheck", QStringLiteral("Perspektive"));
    PerspCheck->setChecked(true);
    SkewCheck = radio(mode, "SkewCheck", QStringLiteral("Schrägstellen"));
    auto* modeLayout = new QVBoxLayout(mode);
    modeLayout->addWidget(PerspCheck);
    modeLayout->addWidget(SkewCheck);

    auto* settings = new QGroupBox(QStringLiteral("Einstellungen"), this);
    StarkED1 = new QSlider(Qt::Horizontal, settings);
    StarkED1->setObjectName(QStringLiteral("StarkED1"));
    StarkED1->setRange(-100, 100);
    StarkED1->setSingleStep(1);
    StarkED1->setValue(50);
    StarkEd2 = formcontrols::spinEdit(settings, "StarkEd2", -100, 100, 50);
    HorzCheck = radio(settings, "HorzCheck", QStringLiteral("Horizontal"));
    HorzCheck->setChecked(true);
    VertCheck = radio(settings, "VertCheck", QStringLiteral("Vertikal"));
    auto* strength = new QHBoxLayout;
    strength->addWidget(StarkED1, 1);
    strength->addWidget(StarkEd2);
    auto* settingsLayout = new QVBoxLayout(settings);
    settingsLayout->addWidget(new QLabel(QStringLiteral("Stärke:"), settings));
    settingsLayout->addLayout(strength);
    settingsLayout->addWidget(HorzCheck);
    settingsLayout->addWidget(VertCheck);

    PaintBox1 = new TPaintBox(QStringLiteral("PaintBox1"), this);
    PaintBox1->setFixedSize(57, 57);
    PaintBox1->paint = [this](QPainter& painter, const QRect&) { PaintBox1Paint(painter); };
    auto* sketch = new QVBoxLayout;
    sketch->addWidget(new QLabel(QStringLiteral("Neuer Umriss:"), this));
    sketch->addWidget(PaintBox1);
    sketch->addStretch();

    auto* row = new QHBoxLayout;
    row->addWidget(mode);
    row->addLayout(sketch);
    controlsLayout()->addLayout(row);
    controlsLayout()->addWidget(settings);

    connect(StarkED1, &QSlider::valueChanged, this, &TPerspForm::StarkED1Change);
    connect(StarkEd2, &QSpinBox::valueChanged, this, &TPerspForm::StarkED2Change);
    connect(PerspCheck, &QRadioButton::toggled, this, &TPerspForm::PerspCheckClick);
    connect(SkewCheck, &QRadioButton::toggled, this, &TPerspForm::SkewCheckClick);
    connect(HorzCheck, &QRadioButton::toggled, this, &TPerspForm::HorzCheckClick);
    connect(VertCheck, &QRadioButton::toggled, this, &TPerspForm::VertCheckClick);
    new FormStorage(this, {HorzCheck, VertCheck, PerspCheck, SkewCheck, StarkED1});
}

void TPerspForm::setDocumentState(std::uint32_t col2, imageops::Selection selection) {
    col2_ = col2;
    selection_ = selection;
}

imageops::PerspParams TPerspForm::params() const {
    return {StarkEd2->value(), HorzCheck->isChecked(), PerspCheck->isChecked()};
}

void TPerspForm::setParams(const imageops::PerspParams& p) {
    StarkED1->setValue(p.stark);
    (p.Horz ? HorzCheck : VertCheck)->setChecked(true);
    (p.Persp ? PerspCheck : SkewCheck)->setChecked(true);
}

void TPerspForm::StarkED1Change() {
    StarkEd2->setValue(StarkED1->value());
    PaintBox1->update();
}

void TPerspForm::StarkED2Change() {
    StarkED1->setValue(StarkEd2->value());
    PaintBox1->update();
}

void TPerspForm::PerspCheckClick() {
    PaintBox1->update();
}

void TPerspForm::SkewCheckClick() {
    PaintBox1->update();
}

void TPerspForm::HorzCheckClick() {
    PaintBox1->update();
}

void TPerspForm::VertCheckClick() {
    PaintBox1->update();
}

void TPerspForm::applyPreview(dib& image) {
    if (HKdi) {
        imageops::Perspektive(image, *HKdi, params(), col2_, selection_);
    }
}

void TPerspForm::resetControls() {
    StarkED1->setValue(0);
}

QPolygon TPerspForm::outline(const imageops::PerspParams& p, int w, int h) {
    const int v = p.stark;
    QPolygon points;
    if (p.Persp && p.Horz) {
        const int o = (h / 2) * std::abs(v) / 100;
        if (v < 0) {
            points << QPoint(0, o) << QPoint(w - 1, 0) << QPoint(w - 1, h - 1)
                   << QPoint(0, h - 1 - o);
        } else {
            points << QPoint(w - 1, o) << QPoint(0, 0) << QPoint(0, h - 1)
                   << QPoint(w - 1, h - 1 - o);
        }
    } else if (p.Persp) {
        const int o = (w / 2) * std::abs(v) / 100;
        if (v < 0) {
            points << QPoint(o, 0) << QPoint(0, h - 1) << QPoint(w - 1, h - 1)
                   << QPoint(w - 1 - o, 0);
        } else {
            points << QPoint(o, h - 1) << QPoint(0, 0) << QPoint(w - 1, 0)
                   << QPoint(w - 1 - o, h - 1);
        }
    } else if (p.Horz) {
        const int d = w * v / 200;
        points << QPoint(d, 0) << QPoint(d + w, 0) << QPoint(w - d, h - 1) << QPoint(-d, h - 1);
    } else {
        const int d = h * v / 200;
        points << QPoint(0, d) << QPoint(0, d + h) << QPoint(w - 1, h - d) << QPoint(w - 1, -d);
    }
    points << points.front();
    return points;
}

void TPerspForm::PaintBox1Paint(QPainter& painter) {
    painter.fillRect(PaintBox1->rect(), palette().window());
    painter.setPen(QPen(Qt::black, 1));
    painter.setClipRect(PaintBox1->rect());
    painter.drawPolyline(outline(params(), PaintBox1->width(), PaintBox1->height()));
}
