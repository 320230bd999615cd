#include "ViewPainter.h"

#include "ImageDocument.h"

#include "foundation/DrawDib.h"

#include <QPainter>

#include <algorithm>
#include <vector>

void paintDocumentView(QPainter& painter, const ImageDocument& doc, const QRect& exposed) {
    const dib& image = doc.di.get();
    if (image.poi && !exposed.isEmpty()) {
        const ZoomView::PaintArea area = doc.view().paintArea(exposed);
        const QRect& to = area.paintBox;
        const QRect& from = area.image;
        // The drawing routine counts source rows from the bottom.
        DrawDIB(painter, to.x(), to.y(), to.width(), to.height(), image, from.x(),
                DIBHeight(image) - from.height() - from.y(), from.width(), from.height(), true);
    }
    painter.save();
    painter.setClipRect(exposed, Qt::IntersectClip);
    drawMarchingAnts(painter, doc, exposed);
    setInvertingPen(painter);
    if (const std::vector<TPoint>* outline = doc.freehandOutline()) {
        drawFreehandOutline(painter, *outline, exposed);
    }
    drawRubberBand(painter, doc.rubberBand());
    painter.restore();
}

void drawMarchingAnts(QPainter& painter, const ImageDocument& doc, const QRect& exposed) {
    const SelectionOutline& outline = doc.outline();
    if (!doc.selaktiv || outline.points.empty() || exposed.isEmpty()) {
        return;
    }
    const ZoomView v = doc.view();
    const std::int32_t height = std::int32_t(outline.rowStart.size()) - 1;
    // Points of rows r0 ... r1 are listed while rows r0 - 1 ... r1 are scanned.
    const std::int32_t r0 = std::clamp(v.toImage(exposed.top()) - 1, 0, height);
    const std::int32_t r1 =
        std::clamp(v.toImage(std::int64_t(exposed.bottom()) + 1) + 1, 0, height);
    const std::size_t first = outline.rowStart[std::size_t(r0)];
    const std::size_t last = outline.rowStart[std::size_t(r1)];
    const int phase = doc.selpos;

    if (doc.zoomin > 1) {
        const int z = doc.zoomin;
        for (std::size_t i = first; i < last; ++i) {
            const TPoint& p = outline.points[i];
            const QRect square(v.toPaintBox(p.x), v.toPaintBox(p.y), z, z);
            if (!square.intersects(exposed)) {
                continue;
            }
            const bool white = ((p.x + phase) / 5 + (p.y + phase) / 5) % 2 == 1;
            painter.fillRect(square, white ? Qt::white : Qt::black);
        }
        return;
    }
    std::vector<QPoint> white;
    std::vector<QPoint> black;
    for (std::size_t i = first; i < last; ++i) {
        const QPoint q(v.toPaintBox(outline.points[i].x), v.toPaintBox(outline.points[i].y));
        if (!exposed.contains(q)) {
            continue;
        }
        (((q.x() + phase) / 5 + q.y() / 5) % 2 == 1 ? white : black).push_back(q);
    }
    painter.setPen(QPen(Qt::white, 0));
    painter.drawPoints(white.data(), int(white.size()));
    painter.setPen(QPen(Qt::black, 0));
    painter.drawPoints(black.data(), int(black.size()));
}
