#include "ToolCursors.h"

#include "EditorIcons.h"
#include "PictureKit.h"

#include <QLineF>
#include <QPolygonF>

namespace toolcursors {

using namespace picturekit;

namespace {

// Hot spots: the cross hair of the aiming cursors sits in the top left corner, leaving the
// lower right quarter to the tool's picture; move and plain cross are centred; the magnifier
// aims with the middle of its lens.
constexpr QPoint kAimSpot{8, 8};
constexpr QPoint kCentreSpot{15, 15};
constexpr QPoint kLensSpot{11, 11};

// A white rim around black strokes: visible on black, on white and on anything between.
void rimmedLine(QPainter& p, QPointF a, QPointF b, qreal width = 1) {
    // The rim reaches one pixel beyond both ends; flat caps keep every edge on the grid.
    const QLineF line(a, b);
    const QPointF step = (b - a) / line.length();
    p.setPen(pen(Qt::white, width + 2));
    p.drawLine(a - step, b + step);
    p.setPen(pen(Qt::black, width));
    p.drawLine(a, b);
}

void centreDot(QPainter& p, QPoint spot) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(spot.x() - 1, spot.y() - 1, 3, 3));
    p.setBrush(Qt::black);
    p.drawRect(QRectF(spot.x(), spot.y(), 1, 1));
}

// Arms from `gap` to `reach` pixels beside the hot spot pixel, on all four sides.
void crossHair(QPainter& p, QPoint spot, int gap, int reach) {
    const qreal cx = spot.x() + 0.5;
    const qreal cy = spot.y() + 0.5;
    for (int side : {-1, 1}) {
        const qreal near = side < 0 ? -gap : gap + 1;
        const qreal far = side < 0 ? -reach : reach + 1;
        rimmedLine(p, QPointF(spot.x() + near, cy), QPointF(spot.x() + far, cy));
        rimmedLine(p, QPointF(cx, spot.y() + near), QPointF(cx, spot.y() + far));
    }
    centreDot(p, spot);
}

// A four-way arrow as one outline: a one-pixel shaft on the pixel grid, heads seven wide.
void drawMove(QPainter& p) {
    const qreal c = kCentreSpot.x() + 0.5;
    const qreal s = 0.5, h = 3.5, base = 9.5, tip = 13.5;
    QPolygonF arrow;
    // One quarter turn at a time, starting with the upper head.
    const QPointF quarter[] = {{0, -tip}, {h, -base}, {s, -base}, {s, -s}, {base, -s}, {base, -h}};
    for (int turn = 0; turn < 4; ++turn) {
        for (QPointF q : quarter) {
            for (int i = 0; i < turn; ++i) {
                q = QPointF(-q.y(), q.x());
            }
            arrow << QPointF(c, c) + q;
        }
    }
    p.setPen(pen(Qt::white, 2));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
}

void drawLens(QPainter& p) {
    const QPointF centre(kLensSpot.x() + 0.5, kLensSpot.y() + 0.5);
    QPen rim = pen(Qt::white, 6);
    rim.setCapStyle(Qt::RoundCap);
    p.setPen(rim);
    p.drawLine(QPointF(17.5, 17.5), QPointF(28, 28));
    QPen handle = pen(Qt::black, 4);
    handle.setCapStyle(Qt::RoundCap);
    p.setPen(handle);
    p.drawLine(QPointF(18, 18), QPointF(27.5, 27.5));
    p.setPen(pen(Qt::white, 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 8, 8);
    p.setPen(pen(Qt::black, 2));
    QColor glass = kGlass;
    glass.setAlpha(110);
    p.setBrush(glass);
    p.drawEllipse(centre, 8, 8);
    // A small cross in the lens marks the point that stays put.
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(kLensSpot.x() - 3, kLensSpot.y(), 7, 1));
    p.drawRect(QRectF(kLensSpot.x(), kLensSpot.y() - 3, 1, 7));
}

// "+" adds to the selection, "-" takes from it. Square, on whole pixels: crisp at any ratio.
void badge(QPainter& p, bool plus) {
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(21, 0, 11, 11), 1.5, 1.5);
    p.setBrush(plus ? kGreen.darker(115) : kRed.darker(110));
    p.drawRect(QRectF(22, 1, 9, 9));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(24, 5, 5, 1));
    if (plus) {
        p.drawRect(QRectF(26, 3, 1, 5));
    }
}

// The tool's picture in the lower right quarter, on a pale plate so that it reads on dark
// pictures too.
void toolPicture(QPainter& p, Tool tool) {
    p.setPen(Qt::NoPen);
    QColor plate = Qt::white;
    plate.setAlpha(170);
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(15, 15, 17, 17), 3, 3);
    p.save();
    p.translate(15.5, 15.5);
    editoricons::paintTool(p, tool);
    p.restore();
}

struct AimingCursor {
    Tool tool;
    int badge; // 0 none, 1 plus, -1 minus
};

bool aimingCursor(ToolCursor kind, AimingCursor& out) {
    switch (kind) {
    case ToolCursor::Brush:
        out = {Tool::Brush, 0};
        return true;
    case ToolCursor::Line:
        out = {Tool::Line, 0};
        return true;
    case ToolCursor::Shape:
        out = {Tool::Shape, 0};
        return true;
    case ToolCursor::GeoSel:
        out = {Tool::Select, 0};
        return true;
    case ToolCursor::GeoSelPlus:
        out = {Tool::Select, 1};
        return true;
    case ToolCursor::GeoSelMinus:
        out = {Tool::Select, -1};
        return true;
    case ToolCursor::FreeSel:
        out = {Tool::FreeSel, 0};
        return true;
    case ToolCursor::FreeSelPlus:
        out = {Tool::FreeSel, 1};
        return true;
    case ToolCursor::FreeSelMinus:
        out = {Tool::FreeSel, -1};
        return true;
    case ToolCursor::Drop:
        out = {Tool::Drop, 0};
        return true;
    case ToolCursor::Txt:
        out = {Tool::Txt, 0};
        return true;
    case ToolCursor::MagicWand:
        out = {Tool::Magic, 0};
        return true;
    case ToolCursor::MagicWandPlus:
        out = {Tool::Magic, 1};
        return true;
    case ToolCursor::MagicWandMinus:
        out = {Tool::Magic, -1};
        return true;
    case ToolCursor::FloodFill:
        out = {Tool::Fill, 0};
        return true;
    case ToolCursor::Drag:
    case ToolCursor::Lupe:
    case ToolCursor::Kreuz:
        break;
    }
    return false;
}

} // namespace

QPoint hotSpot(ToolCursor kind) {
    switch (kind) {
    case ToolCursor::Drag:
    case ToolCursor::Kreuz:
        return kCentreSpot;
    case ToolCursor::Lupe:
        return kLensSpot;
    default:
        return kAimSpot;
    }
}

QPixmap cursorPixmap(ToolCursor kind, qreal dpr) {
    Canvas canvas(kCursorSize, dpr, kCursorSize);
    QPainter& p = canvas.painter();
    AimingCursor aiming{};
    if (aimingCursor(kind, aiming)) {
        toolPicture(p, aiming.tool);
        crossHair(p, kAimSpot, 2, 7);
        if (aiming.badge != 0) {
            badge(p, aiming.badge > 0);
        }
    } else if (kind == ToolCursor::Drag) {
        drawMove(p);
    } else if (kind == ToolCursor::Lupe) {
        drawLens(p);
    } else {
        crossHair(p, kCentreSpot, 2, 12);
    }
    return canvas.finish();
}

QCursor cursor(ToolCursor kind, qreal dpr) {
    const QPoint spot = hotSpot(kind);
    return QCursor(cursorPixmap(kind, dpr), spot.x(), spot.y());
}

} // namespace toolcursors
