#include "StitchPalette.h"

#include "PageRenderer.h"
#include "foundation/DrawDib.h"
#include "foundation/OwnedText.h"

#include <QPainter>

#include <algorithm>

namespace StitchPalette {

namespace {

const QColor kSelected{93, 123, 153};
const QColor kOutline{128, 128, 128};

} // namespace

int height(std::uint32_t count, int c) {
    return int(count) * c + 1;
}

std::int32_t clampSelection(std::int32_t stichnr, std::uint32_t count) {
    return std::max<std::int32_t>(0, std::min<std::int32_t>(stichnr, std::int32_t(count) - 1));
}

std::int32_t indexAt(int y, int c) {
    return c > 0 ? y / c : 0;
}

RowGeometry rowGeometry(const TStich& stich, std::int32_t index, int c) {
    const int breite = std::max(stich.breite, 1);
    const int top = index * c;
    RowGeometry g;
    // A rectangle from (4, t) to (c * breite + 5, t + c + 1), right and bottom exclusive.
    g.box = QRect(QPoint(4, top), QPoint(c * breite + 4, top + c));
    const int pw = DIBWidth(stich.di);
    const int ph = DIBHeight(stich.di);
    if (pw > 0 && ph > 0) {
        int w = c * breite - 1;
        int h = int(std::int64_t(ph) * w / pw);
        if (h > c - 1) {
            h = c - 1;
            w = int(std::int64_t(pw) * h / ph);
        }
        g.symbol = QRect(5 + (c * breite - w) / 2, top + 1 + (c - h) / 2, w, h);
    }
    g.nameX = c * breite + 14;
    return g;
}

void paint(QPainter& painter, TDynaArrayOf<TStich>& stiche, std::int32_t stichnr, int c, int width,
           const PageFont& font, int dpi) {
    painter.save();
    painter.fillRect(QRect(0, 0, width, height(stiche.count, c)), Qt::white);
    painter.setFont(deviceFont(font, dpi));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm = painter.fontMetrics();
    for (std::uint32_t i = 0; i < stiche.count; ++i) {
        TStich& stich = stiche[i];
        if (stich.breite == 0) {
            stich.breite = 1;
        }
        const int top = int(i) * c;
        const bool selected = std::int32_t(i) == stichnr;
        painter.setPen(kOutline);
        if (selected) {
            painter.setBrush(kSelected);
            painter.drawRect(QRect(QPoint(0, top), QPoint(width - 2, top + c - 1)));
        }
        const RowGeometry g = rowGeometry(stich, std::int32_t(i), c);
        painter.setBrush(Qt::white);
        painter.drawRect(g.box.adjusted(0, 0, -1, -1));
        if (!g.symbol.isEmpty()) {
            DrawDIB(painter, g.symbol.x(), g.symbol.y(), g.symbol.width(), g.symbol.height(),
                    stich.di, 0, 0, DIBWidth(stich.di), DIBHeight(stich.di), false);
        }
        painter.setPen(selected ? QColor(Qt::white) : fontColor(font));
        const QString name = ownedTextToString(stich.bezeichnung);
        painter.drawText(QPoint(g.nameX, top + (c - fm.height()) / 2 + fm.ascent()), name);
    }
    painter.restore();
}

} // namespace StitchPalette
