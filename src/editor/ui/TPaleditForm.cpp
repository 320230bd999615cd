#include "TPaleditForm.h"

#include "ColourChoice.h"

#include "foundation/ui/DialogButtons.h"
#include "foundation/ui/TPaintBox.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kSquare = 15; // last pixel of a square from its corner

} // namespace

TPaleditForm::TPaleditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PaleditForm"));
    setWindowTitle(QStringLiteral("Farbpalette editieren"));
    PaintBox1 = new TPaintBox(QStringLiteral("PaintBox1"), this);
    PaintBox1->setFixedSize(337, 281);
    PaintBox1->setMouseTracking(true);
    PaintBox1->installEventFilter(this);
    PaintBox1->paint = [this](QPainter& painter, const QRect&) { PaintBox1Paint(painter); };
    PaintBox1->mouseDown = [this](QMouseEvent* event) {
        PaintBox1MouseDown(event->position().toPoint().x(), event->position().toPoint().y());
    };
    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    const DialogButtons buttons = makeDialogButtons(
        *this, {.okName = QStringLiteral("BitBtn1"), .cancelName = QStringLiteral("BitBtn2")});
    BitBtn1 = buttons.ok;
    BitBtn2 = buttons.cancel;
    ColorDialog1 = makeColourDialog(this);

    // The label has a line of its own, so that its changing text never moves the buttons.
    InfoLabel->setMinimumHeight(InfoLabel->fontMetrics().height());
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(PaintBox1);
    layout->addWidget(InfoLabel);
    layout->addLayout(buttons.row);
}

int TPaleditForm::entryAt(int x, int y) const {
    const int cols = PaintBox1->width() / kCell;
    if (x < 0 || y < 0 || cols < 1) {
        return -1;
    }
    const int col = x / kCell;
    const int row = y / kCell;
    if (col >= cols || x - col * kCell > kSquare || y - row * kCell > kSquare) {
        return -1;
    }
    const int i = row * cols + col;
    return i < pal.num ? i : -1;
}

void TPaleditForm::PaintBox1Paint(QPainter& painter) {
    // A light ground, so that the black outlines show and the room after the last entry does
    // not pass for black entries.
    painter.fillRect(PaintBox1->rect(), palette().color(QPalette::Base));
    const int cols = PaintBox1->width() / kCell;
    painter.setPen(Qt::black);
    for (int i = 0; i < pal.num && cols > 0; ++i) {
        const PALETTEENTRY& e = pal.pal[i];
        painter.setBrush(QColor(e.peRed, e.peGreen, e.peBlue));
        painter.drawRect((i % cols) * kCell, (i / cols) * kCell, kSquare, kSquare);
    }
}

void TPaleditForm::PaintBox1MouseDown(int x, int y) {
    const int i = entryAt(x, y);
    if (i < 0) {
        return;
    }
    PALETTEENTRY& e = pal.pal[i];
    if (const auto chosen = chooseColour(ColorDialog1, QColor(e.peRed, e.peGreen, e.peBlue))) {
        e.peRed = std::uint8_t(chosen->red());
        e.peGreen = std::uint8_t(chosen->green());
        e.peBlue = std::uint8_t(chosen->blue());
        PaintBox1->update();
    }
}

void TPaleditForm::PaintBox1MouseMove(int x, int y) {
    const int i = entryAt(x, y);
    if (i < 0) {
        return; // the label keeps its text
    }
    const PALETTEENTRY& e = pal.pal[i];
    InfoLabel->setText(QStringLiteral("Index: %1 ; R: %2 G:%3 B:%4")
                           .arg(i)
                           .arg(e.peRed)
                           .arg(e.peGreen)
                           .arg(e.peBlue));
}

void TPaleditForm::applyTo(dib& picture) const {
    picture.pal = pal;
    if (!picture.pmi) {
        return;
    }
    const std::uint32_t entries = std::min<std::uint32_t>(pal.num, DIBColorTableSize(picture));
    for (std::uint32_t i = 0; i < entries; ++i) {
        const PALETTEENTRY& e = pal.pal[i];
        RGBQUAD& c = picture.pmi->colors()[i];
        c.rgbRed = e.peRed;
        c.rgbGreen = e.peGreen;
        c.rgbBlue = e.peBlue;
    }
}

bool TPaleditForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PaintBox1 && event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        PaintBox1MouseMove(at.x(), at.y());
    }
    return QDialog::eventFilter(watched, event);
}
