#include "TFarbmusterForm.h"

#include "foundation/ui/DecimalSpinBox.h"
#include "foundation/ui/DialogButtons.h"
#include "foundation/ui/TPaintBox.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Grid lines of the preview: the page's inner grid colour, once cells are large enough to
// show them without hiding the colours.
const QColor kGridColour{128, 128, 128};
constexpr int kGridFromSide = 5;

QDoubleSpinBox* makeGaugeEdit(QWidget* parent, const char* name) {
    auto* edit = new DecimalSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDecimals(1);
    edit->setRange(colourwork::kMinGauge, colourwork::kMaxGauge);
    edit->setSingleStep(1.0);
    return edit;
}

} // namespace

TFarbmusterForm::TFarbmusterForm(const dib& picture, const QString& pictureName, QWidget* parent)
    : QDialog(parent), steps_(picture), pending_(new QTimer(this)) {
    setObjectName(QStringLiteral("FarbmusterForm"));
    setWindowTitle(QStringLiteral("Farbmuster aus Bild"));

    BildLabel = new QLabel(QStringLiteral("„%1“, %2 × %3 Pixel")
                               .arg(pictureName)
                               .arg(DIBWidth(picture))
                               .arg(DIBHeight(picture)),
                           this);
    BildLabel->setObjectName(QStringLiteral("BildLabel"));
    BreiteEd = new QSpinBox(this);
    BreiteEd->setObjectName(QStringLiteral("BreiteEd"));
    BreiteEd->setRange(colourwork::kMinStitches, colourwork::kMaxStitches);
    ReihenLabel = new QLabel(this);
    ReihenLabel->setObjectName(QStringLiteral("ReihenLabel"));
    MaschenEd = makeGaugeEdit(this, "MaschenEd");
    ReihenEd = makeGaugeEdit(this, "ReihenEd");
    FarbenEd = new QSpinBox(this);
    FarbenEd->setObjectName(QStringLiteral("FarbenEd"));
    FarbenEd->setRange(colourwork::kMinColours, colourwork::kMaxColours);
    DitherCheck = new QCheckBox(QStringLiteral("Fehlerverteilung (Dithering)"), this);
    DitherCheck->setObjectName(QStringLiteral("DitherCheck"));
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);

    PaintBox1 = new TPaintBox(QStringLiteral("PaintBox1"), this);
    PaintBox1->setMinimumSize(420, 360);
    PaintBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    PaintBox1->paint = [this](QPainter& painter, const QRect&) { paintPreview(painter); };

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Breite in Maschen:"), BreiteEd);
    form->addRow(QStringLiteral("Reihen:"), ReihenLabel);
    form->addRow(QStringLiteral("Maschenprobe: Maschen pro 10 cm"), MaschenEd);
    form->addRow(QStringLiteral("Reihen pro 10 cm"), ReihenEd);
    form->addRow(QStringLiteral("Anzahl Farben:"), FarbenEd);
    form->addRow(DitherCheck);

    const DialogButtons buttons = makeDialogButtons(*this);

    auto* controls = new QVBoxLayout;
    controls->addWidget(BildLabel);
    controls->addLayout(form);
    controls->addWidget(SummaryLabel);
    controls->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(controls);
    columns->addWidget(PaintBox1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons.row);

    pending_->setSingleShot(true);
    pending_->setInterval(0);
    connect(pending_, &QTimer::timeout, this, &TFarbmusterForm::updatePreview);
    connect(BreiteEd, &QSpinBox::valueChanged, this, &TFarbmusterForm::schedulePreview);
    connect(MaschenEd, &QDoubleSpinBox::valueChanged, this, &TFarbmusterForm::schedulePreview);
    connect(ReihenEd, &QDoubleSpinBox::valueChanged, this, &TFarbmusterForm::schedulePreview);
    connect(FarbenEd, &QSpinBox::valueChanged, this, &TFarbmusterForm::schedulePreview);
    connect(DitherCheck, &QCheckBox::toggled, this, &TFarbmusterForm::schedulePreview);

    setParams(colourwork::Params{});
    updatePreview();
}

colourwork::Params TFarbmusterForm::params() const {
    colourwork::Params p;
    p.stitches = BreiteEd->value();
    p.stitchGauge = MaschenEd->value();
    p.rowGauge = ReihenEd->value();
    p.colours = FarbenEd->value();
    p.dither = DitherCheck->isChecked();
    return p;
}

void TFarbmusterForm::setParams(const colourwork::Params& params) {
    const colourwork::Params p = colourwork::clamped(params);
    BreiteEd->setValue(p.stitches);
    MaschenEd->setValue(p.stitchGauge);
    ReihenEd->setValue(p.rowGauge);
    FarbenEd->setValue(p.colours);
    DitherCheck->setChecked(p.dither);
}

const colourwork::Chart& TFarbmusterForm::chart() {
    return steps_.chart(params());
}

void TFarbmusterForm::schedulePreview() {
    pending_->start();
}

void TFarbmusterForm::updatePreview() {
    pending_->stop();
    const colourwork::Params p = params();
    const std::int32_t rows = steps_.rowsFor(p);
    ReihenLabel->setText(rows == colourwork::kMaxRows ? QStringLiteral("%1 (Höchstzahl)").arg(rows)
                                                      : QString::number(rows));
    const colourwork::Chart& c = steps_.chart(p);
    if (c.rows < 1 || c.columns < 1) {
        cellsImage_ = QImage();
        SummaryLabel->clear();
    } else {
        cellsImage_ = QImage(c.columns, c.rows, QImage::Format_RGB32);
        for (std::int32_t r = 0; r < c.rows; ++r) {
            auto* line = reinterpret_cast<QRgb*>(cellsImage_.scanLine(r));
            for (std::int32_t col = 0; col < c.columns; ++col) {
                const grafikrw3::Rgb colour = c.colours[c.at(r, col)];
                line[col] = qRgb(colour.red, colour.green, colour.blue);
            }
        }
        SummaryLabel->setText(QStringLiteral("Das Muster: %1 Maschen × %2 Reihen in %3 Farben.")
                                  .arg(c.columns)
                                  .arg(c.rows)
                                  .arg(c.colours.size()));
    }
    PaintBox1->update();
}

void TFarbmusterForm::paintPreview(QPainter& painter) {
    painter.fillRect(PaintBox1->rect(), palette().dark());
    if (cellsImage_.isNull()) {
        return;
    }
    const int columns = cellsImage_.width();
    const int rows = cellsImage_.height();
    // Square cells as large as fit; whole pixels once a cell is at least one pixel wide, so
    // that all cells come out the same size.
    double side =
        std::min(double(PaintBox1->width()) / columns, double(PaintBox1->height()) / rows);
    if (side >= 1.0) {
        side = std::floor(side);
    }
    const QRectF target((PaintBox1->width() - side * columns) / 2,
                        (PaintBox1->height() - side * rows) / 2, side * columns, side * rows);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, cellsImage_);
    if (side >= kGridFromSide) {
        painter.setPen(QPen(kGridColour, 1));
        for (int i = 0; i <= columns; ++i) {
            const double x = target.left() + i * side;
            painter.drawLine(QPointF(x, target.top()), QPointF(x, target.bottom()));
        }
        for (int i = 0; i <= rows; ++i) {
            const double y = target.top() + i * side;
            painter.drawLine(QPointF(target.left(), y), QPointF(target.right(), y));
        }
    }
}
