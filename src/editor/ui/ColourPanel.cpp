#include "ColourPanel.h"

#include "ColourChoice.h"

#include "foundation/DrawDib.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/Quantize.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "foundation/ui/TPaintBox.h"
#include "image/ImageDocument.h"
#include "imageops/ColourModel.h"

#include <QColorDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kPickerWidth = 48;
constexpr int kPickerHeight = 96;
constexpr int kReadoutIdleMs = 3000;
const QColor kIdleGrey(128, 128, 128);

// A cell of the palette display: 11 x 11 pixels from (5 + 12 j, 5 + 12 i).
constexpr int kCellStep = 12;
constexpr int kCellOrigin = 5;
constexpr int kCellSize = 10;

QIcon swapIcon() {
    QPixmap pixmap(15, 15);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    // Two arrows around a corner: up and to the right, and back.
    p.drawLine(QPointF(2.5, 12.5), QPointF(2.5, 3.5));
    p.drawLine(QPointF(2.5, 3.5), QPointF(11.5, 3.5));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(0, 5), QPointF(5, 5), QPointF(2.5, 1.5)}));
    p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(10, 6), QPointF(14, 3.5)}));
    p.drawLine(QPointF(5.5, 12.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 12.5), QPointF(12.5, 6.5));
    return QIcon(pixmap);
}

} // namespace

QRgb pickerColour(int x, int y) {
    const imageops::RgbBytes c = imageops::HSLToRGB(y * 255 / 95, 255, x * 255 / 47);
    return qRgb(c.red, c.green, c.blue);
}

// --- ColourPanel -------------------------------------------------------------------------

ColourPanel::ColourPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ColourPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The swatches and read-outs sit at fixed places down to 112 pixels.
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(113);
    // Shape2 lies under Shape1: created first, it is drawn first.
    Shape2 = new TShape(QStringLiteral("Shape2"), Panel2);
    Shape2->setGeometry(21, 16, 28, 25);
    Shape2->setBrushColor(Qt::white);
    Shape1 = new TShape(QStringLiteral("Shape1"), Panel2);
    Shape1->setGeometry(5, 2, 28, 25);
    Shape1->setBrushColor(Qt::black);
    ColorChangeBtn = new QToolButton(Panel2);
    ColorChangeBtn->setObjectName(QStringLiteral("ColorChangeBtn"));
    ColorChangeBtn->setGeometry(4, 28, 17, 19);
    ColorChangeBtn->setAutoRaise(true);
    ColorChangeBtn->setIcon(swapIcon());
    ColorChangeBtn->setToolTip(QStringLiteral("Vorder- und Hintergrundfarbe tauschen"));
    QLabel** labels[] = {&RedLabel, &GreenLabel, &BlueLabel, &IndexLabel};
    const char* names[] = {"RedLabel", "GreenLabel", "BlueLabel", "IndexLabel"};
    const char* texts[] = {"R --", "G --", "B --", "I  --"};
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(QString::fromLatin1(texts[i]), Panel2);
        label->setObjectName(QLatin1String(names[i]));
        label->setGeometry(0, 48 + 16 * i, 38, 16);
        *labels[i] = label;
    }
    AColShape = new TShape(QStringLiteral("AColShape"), Panel2);
    AColShape->setGeometry(40, 56, 9, 41);
    AColShape->setBrushColor(kIdleGrey);
    AColShape->hide();
    layout->addWidget(Panel2);

    PalScrollBox = new QScrollArea(this);
    PalScrollBox->setObjectName(QStringLiteral("PalScrollBox"));
    PalScrollBox->setBackgroundRole(QPalette::Dark);
    PalPaintBox = new TPaintBox(QStringLiteral("PalPaintBox"));
    PalPaintBox->setMouseTracking(true);
    PalPaintBox->installEventFilter(this);
    PalPaintBox->paint = [this](QPainter& painter, const QRect&) { PalPaintBoxPaint(painter); };
    PalPaintBox->mouseDown = [this](QMouseEvent* event) {
        const QPoint at = event->position().toPoint();
        PalPaintBoxMouseDown(event->button(), at.x(), at.y());
    };
    PalPaintBox->resize(52, 96);
    PalScrollBox->setWidget(PalPaintBox);
    layout->addWidget(PalScrollBox, 1);

    AColTimer1 = new QTimer(this);
    AColTimer1->setObjectName(QStringLiteral("AColTimer1"));
    AColTimer1->setInterval(kReadoutIdleMs);
    ColorDialog1 = makeColourDialog(this);

    Shape1->mouseDown = [this](Qt::MouseButton) { Shape1MouseDown(); };
    Shape2->mouseDown = [this](Qt::MouseButton) { Shape2MouseDown(); };
    Shape1->mouseMove = [this] { Shape1MouseMove(); };
    Shape2->mouseMove = [this] { Shape2MouseMove(); };
    connect(ColorChangeBtn, &QToolButton::clicked, this, &ColourPanel::ColorChangeBtnClick);
    connect(AColTimer1, &QTimer::timeout, this, &ColourPanel::AColTimer1Timer);

    grafikrw3::newdib(&pal24dib.get(), kPickerWidth, kPickerHeight, 24, nullptr, 0);
    if (!pal24dib) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Fehler: Zuwenig Speicher! Dieses Programm wird mit so "
                                       "wenig Speicher nicht richtig arbeiten können!"));
    } else {
        for (int y = 0; y < kPickerHeight; ++y) {
            for (int x = 0; x < kPickerWidth; ++x) {
                const QRgb c = pickerColour(x, y);
                grafikrw3::setpixel(pal24dib.get(), x, y,
                                    std::uint32_t(qRed(c)) | std::uint32_t(qGreen(c)) << 8 |
                                        std::uint32_t(qBlue(c)) << 16);
            }
        }
    }
}

ColourPanel::~ColourPanel() = default;

void ColourPanel::setDocument(ImageDocument* doc) {
    doc_ = doc;
    paletteChanged();
}

std::uint32_t ColourPanel::colourCount() const {
    if (!doc_ || !doc_->di) {
        return 0;
    }
    return PowerOfTwo(DIBBitCount(doc_->di.get()));
}

void ColourPanel::showColor(int which, QRgb color) {
    (which == 1 ? Shape1 : Shape2)->setBrushColor(QColor(color));
}

void ColourPanel::showColorReadout(const ColorReadout& r) {
    setReadout(r.red, r.green, r.blue,
               r.index >= 0 ? QStringLiteral("I  %1").arg(r.index) : QStringLiteral("I  --"));
}

void ColourPanel::setReadout(int red, int green, int blue, const QString& index) {
    RedLabel->setText(QStringLiteral("R %1").arg(red));
    GreenLabel->setText(QStringLiteral("G %1").arg(green));
    BlueLabel->setText(QStringLiteral("B %1").arg(blue));
    IndexLabel->setText(index);
    AColShape->setBrushColor(QColor(red, green, blue));
    AColShape->show();
    if (!AColTimer1->isActive()) {
        AColTimer1->start();
    }
}

void ColourPanel::AColTimer1Timer() {
    RedLabel->setText(QStringLiteral("R --"));
    GreenLabel->setText(QStringLiteral("G --"));
    BlueLabel->setText(QStringLiteral("B --"));
    IndexLabel->setText(QStringLiteral("I   --"));
    AColShape->setBrushColor(kIdleGrey);
    AColShape->hide();
    AColTimer1->stop();
}

void ColourPanel::sizePaintBox() {
    const std::uint32_t n = colourCount();
    if (n <= 256) {
        PalPaintBox->resize(29, int(n / 2) * kCellStep + 5);
    } else {
        PalPaintBox->resize(52, kPickerHeight);
    }
}

void ColourPanel::paletteChanged() {
    sizePaintBox();
    PalPaintBox->update();
    Panel2->update();
}

void ColourPanel::PalPaintBoxPaint(QPainter& painter) {
    painter.fillRect(PalPaintBox->rect(), PalPaintBox->palette().color(QPalette::Dark));
    const std::uint32_t n = colourCount();
    if (n > 256) {
        if (pal24dib) {
            DrawDIB(painter, 2, 0, 50, kPickerHeight, pal24dib.get(), 0, 0, kPickerWidth,
                    kPickerHeight, false);
        }
        return;
    }
    if (n == 0) {
        return;
    }
    const LPAL& pal = doc_->di->pal;
    painter.setPen(Qt::black);
    for (std::uint32_t k = 0; k < n; ++k) {
        const int i = int(k / 2);
        const int j = int(k % 2);
        const PALETTEENTRY& e = pal.pal[k];
        painter.setBrush(QColor(e.peRed, e.peGreen, e.peBlue));
        painter.drawRect(kCellOrigin + kCellStep * j, kCellOrigin + kCellStep * i, kCellSize,
                         kCellSize);
    }
}

namespace {

// The palette cell at (x, y), borders included, or -1 (gaps belong to no cell).
int cellAt(std::uint32_t n, int x, int y) {
    for (int j = 0; j < 2; ++j) {
        if (x < kCellStep * j + kCellOrigin || x > kCellStep * j + kCellOrigin + kCellSize) {
            continue;
        }
        const int i = (y - kCellOrigin) / kCellStep;
        if (y >= kCellOrigin && y <= kCellStep * i + kCellOrigin + kCellSize &&
            std::uint32_t(2 * i + j) < n) {
            return 2 * i + j;
        }
    }
    return -1;
}

bool inPicker(int x, int y) {
    return x >= 2 && x <= kPickerWidth && y >= 0 && y < kPickerHeight;
}

} // namespace

void ColourPanel::PalPaintBoxMouseDown(Qt::MouseButton button, int x, int y) {
    if (!doc_ || (button != Qt::LeftButton && button != Qt::RightButton)) {
        return;
    }
    const std::uint32_t n = colourCount();
    std::int32_t value = -1;
    if (n > 256) {
        if (inPicker(x, y)) {
            const QRgb c = pickerColour(x - 2, y);
            value = qRed(c) | qGreen(c) << 8 | qBlue(c) << 16;
        }
    } else {
        sizePaintBox();
        value = cellAt(n, x, y);
    }
    if (value < 0) {
        return;
    }
    if (button == Qt::LeftButton) {
        doc_->setcol1(value);
    } else {
        doc_->setcol2(value);
    }
}

void ColourPanel::PalPaintBoxMouseMove(int x, int y) {
    const std::uint32_t n = colourCount();
    if (n > 256) {
        if (x > 1 && inPicker(x, y)) {
            const QRgb c = pickerColour(x - 2, y);
            setReadout(qRed(c), qGreen(c), qBlue(c), QStringLiteral("I  --"));
        }
        return;
    }
    const int k = cellAt(n, x, y);
    if (k >= 0) {
        const PALETTEENTRY& e = doc_->di->pal.pal[k];
        setReadout(e.peRed, e.peGreen, e.peBlue, QStringLiteral("I  %1").arg(k));
    }
}

void ColourPanel::swatchReadout(int which) {
    if (!doc_) {
        return;
    }
    const std::int32_t colour = which == 1 ? doc_->col1 : doc_->col2;
    std::int32_t r = 0, g = 0, b = 0;
    doc_->SplitColor(colour, r, g, b);
    const bool palette = colourCount() <= 256;
    setReadout(r, g, b, palette ? QStringLiteral("I  %1").arg(colour) : QStringLiteral("I  --"));
}

void ColourPanel::Shape1MouseMove() {
    swatchReadout(1);
}

void ColourPanel::Shape2MouseMove() {
    swatchReadout(2);
}

void ColourPanel::chooseSwatchColour(int which) {
    if (!doc_ || !doc_->di) {
        return;
    }
    const std::int32_t current = which == 1 ? doc_->col1 : doc_->col2;
    std::int32_t r = 0, g = 0, b = 0;
    doc_->SplitColor(current, r, g, b);
    const auto chosen = chooseColour(ColorDialog1, QColor(r, g, b));
    if (!chosen) {
        return;
    }
    std::int32_t value = 0;
    if (colourCount() <= 256) {
        value = grafikrw3::nearestPaletteIndex(doc_->di->pal, {std::uint8_t(chosen->red()),
                                                               std::uint8_t(chosen->green()),
                                                               std::uint8_t(chosen->blue())});
    } else {
        value = chosen->red() | chosen->green() << 8 | chosen->blue() << 16;
    }
    if (which == 1) {
        doc_->setcol1(value);
    } else {
        doc_->setcol2(value);
    }
}

void ColourPanel::Shape1MouseDown() {
    chooseSwatchColour(1);
}

void ColourPanel::Shape2MouseDown() {
    chooseSwatchColour(2);
}

void ColourPanel::ColorChangeBtnClick() {
    if (!doc_) {
        return;
    }
    const std::int32_t remembered = doc_->col1;
    doc_->setcol1(doc_->col2);
    doc_->setcol2(remembered);
}

bool ColourPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PalPaintBox && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        PalPaintBoxMouseMove(at.x(), at.y());
    }
    return QWidget::eventFilter(watched, event);
}
