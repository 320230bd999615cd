// Mouse handling: a press runs the pressed tool's press (pressOf), which starts an operation
// (PaintZeug); moves continue the operation, the release finishes it. The view tools' presses
// and the line and shape tools live here, the others in tools/.
#include "ImageDocument.h"
#include "ToolCursor.h"

#include "tools/ShapeTools.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isSelectionTool(Tool tool) {
    return tool == Tool::Select || tool == Tool::FreeSel || tool == Tool::Magic;
}

} // namespace

void ImageDocument::PaintBox1MouseDown(TMouseButton button, const TShiftState& shift,
                                       std::int32_t X, std::int32_t Y, const ToolOptions& options) {
    ShiftState = shift;
    if (button == TMouseButton::Left) {
        paintcolor = col1;
        paint2color = col2;
    } else {
        paintcolor = col2;
        paint2color = col1;
    }
    if (PaintZeug == paintzeug::kPlaceFloating && inPaint) {
        // Floating pixels that follow the pointer are put down by the next press.
        DropFloating(X, Y);
        return;
    }
    // A stroke whose release never came must not leave its mode to the next one.
    Replace = CloneNow = Retouch = false;
    if (const ToolPress press = pressOf(options.tool)) {
        (this->*press)(button, X, Y, options);
    }
}

// The press of each tool. The press starts an operation (PaintZeug); moves and the release
// continue it by the operation, whichever tool started it.
ImageDocument::ToolPress ImageDocument::pressOf(Tool tool) {
    switch (tool) {
    case Tool::Zoom:
        return &ImageDocument::zoomToolPress;
    case Tool::Hand:
        return &ImageDocument::handToolPress;
    case Tool::Select:
    case Tool::FreeSel:
    case Tool::Magic:
        return &ImageDocument::selectionToolPress; // tools/SelectionTools.cpp
    case Tool::Drop:
        return &ImageDocument::pipettePress;
    case Tool::Brush:
    case Tool::Clone:
    case Tool::Replace:
    case Tool::Retouch:
        return &ImageDocument::brushToolPress; // tools/BrushTool.cpp
    case Tool::Line:
    case Tool::Shape:
        return &ImageDocument::shapeToolPress;
    case Tool::Fill:
        return &ImageDocument::fillToolPress; // tools/FillTool.cpp
    case Tool::Txt:
        return &ImageDocument::textToolClick; // tools/TextTool.cpp
    }
    return nullptr;
}

void ImageDocument::zoomToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                                  const ToolOptions& /*options*/) {
    if (button == TMouseButton::Left) {
        ZoomInAt(X, Y);
    } else if (button == TMouseButton::Right) {
        ZoomOutAt(X, Y);
    }
}

void ImageDocument::handToolPress(TMouseButton /*button*/, std::int32_t X, std::int32_t Y,
                                  const ToolOptions& /*options*/) {
    if (selaktiv && isSelected(view().toImage(X), view().toImage(Y))) {
        if (SaveForUndo()) {
            LiftSelection(X, Y);
        }
    } else {
        // Scrolling changes no pixel: it records no undo step and leaves the image unchanged.
        PaintZeug = paintzeug::kHand;
        BeginDrag(X, Y);
    }
}

void ImageDocument::pipettePress(TMouseButton button, std::int32_t X, std::int32_t Y,
                                 const ToolOptions& /*options*/) {
    const auto value =
        std::int32_t(grafikrw3::getpixel(di.get(), view().toImage(X), view().toImage(Y)));
    if (button == TMouseButton::Left) {
        setcol1(value);
    } else if (button == TMouseButton::Right) {
        setcol2(value);
    }
}

void ImageDocument::shapeToolPress(TMouseButton /*button*/, std::int32_t X, std::int32_t Y,
                                   const ToolOptions& options) {
    if (!SaveForUndo()) {
        return;
    }
    PaintZeug = options.tool == Tool::Line ? paintzeug::kLine : paintzeug::kShape;
    BeginDrag(X, Y);
}

void ImageDocument::PaintBox1MouseMove(const TShiftState& shift, std::int32_t X, std::int32_t Y,
                                       const ToolOptions& options) {
    statusForMove(X, Y, options);
    if (!inPaint) {
        chooseCursor(shift, X, Y, options);
        return;
    }
    TPaintInfo& p = PaintInfo;
    p.ax = X;
    p.ay = Y;
    switch (PaintZeug) {
    case paintzeug::kMoveFloating:
    case paintzeug::kPlaceFloating:
        MoveFloating(X, Y);
        break;
    case paintzeug::kHand:
        ScrollByDrag(X, Y);
        break;
    case paintzeug::kFreeSelect:
        freehandMove(X, Y);
        break;
    case paintzeug::kBrush:
        strokeTo(X, Y, options);
        break;
    case paintzeug::kShape:
    case paintzeug::kSelect:
        if (options.keepsSquare()) {
            const std::int32_t dx = std::abs(p.ax - p.sx);
            const std::int32_t dy = std::abs(p.ay - p.sy);
            if (dy > dx) {
                p.ay = p.sy < p.ay ? p.sy + dx : p.sy - dx;
            } else {
                p.ax = p.sx < p.ax ? p.sx + dy : p.sx - dy;
            }
        }
        [[fallthrough]];
    case paintzeug::kLine:
        EraseRubberBand();
        DrawRubberBand(options);
        break;
    default:
        break;
    }
}

void ImageDocument::PaintBox1MouseUp(TMouseButton /*button*/, const TShiftState& shift,
                                     std::int32_t X, std::int32_t Y, const ToolOptions& options) {
    // Placed floating pixels wait for the next press.
    if (!inPaint || PaintZeug == paintzeug::kPlaceFloating) {
        return;
    }
    inPaint = false;
    releaseCapture();
    EraseRubberBand();
    switch (PaintZeug) {
    case paintzeug::kMoveFloating:
        DropFloating(X, Y);
        return;
    case paintzeug::kHand:
        ScrollByDrag(X, Y);
        return;
    case paintzeug::kFreeSelect:
        ShiftState = shift;
        freehandRelease();
        break;
    case paintzeug::kBrush: {
        // The last dab goes where the last move was, not to the release point.
        TPaintInfo& p = PaintInfo;
        const ZoomView v = view();
        BrushLine(v.toImage(p.sx), v.toImage(p.sy), v.toImage(p.ax), v.toImage(p.ay), paintcolor,
                  options);
        p.sx = X;
        p.sy = Y;
        Replace = false;
        CloneNow = false;
        Retouch = false;
        break;
    }
    default:
        ShiftState = shift;
        CommitShape(options);
        break;
    }
    PaintZeug = paintzeug::kNone;
}

void ImageDocument::ScrollBox1MouseMove() {
    showStatus(1, imageSummary());
}

void ImageDocument::BeginDrag(std::int32_t X, std::int32_t Y) {
    inPaint = true;
    PaintInfo.sx = PaintInfo.ox = PaintInfo.ax = X;
    PaintInfo.sy = PaintInfo.oy = PaintInfo.ay = Y;
    takeCapture();
}

void ImageDocument::setRubberBand(const RubberBand& band) {
    if (band == band_) {
        return;
    }
    for (const QRect& r : rubberBandRects(band_)) {
        invalidate(r);
    }
    band_ = band;
    for (const QRect& r : rubberBandRects(band_)) {
        invalidate(r);
    }
}

void ImageDocument::EraseRubberBand() {
    setRubberBand({});
}

void ImageDocument::DrawRubberBand(const ToolOptions& options) {
    TPaintInfo& p = PaintInfo;
    if (PaintZeug == paintzeug::kSelect) {
        p.ax = std::min(p.ax, boxSize_.width());
        p.ay = std::min(p.ay, boxSize_.height());
    }
    RubberBand band;
    band.from = QPoint(p.sx, p.sy);
    band.to = QPoint(p.ax, p.ay);
    switch (PaintZeug) {
    case paintzeug::kLine:
        band.kind = RubberBand::Kind::Line;
        break;
    case paintzeug::kShape:
    case paintzeug::kSelect:
        band.kind =
            options.ellipseShape() ? RubberBand::Kind::Ellipse : RubberBand::Kind::Rectangle;
        break;
    case paintzeug::kBrush:
        if (CloneNow) {
            band.kind = RubberBand::Kind::Cross;
            band.from = band.to = cloneCrossCentre(options);
        }
        break;
    default:
        break;
    }
    setRubberBand(band);
    p.ox = p.ax;
    p.oy = p.ay;
}

void ImageDocument::CommitShape(const ToolOptions& options) {
    TPaintInfo& p = PaintInfo;
    // The rubber band outlined the pixels up to the pointer, not the pointer's own.
    p.ax -= 1;
    p.ay -= 1;
    const ZoomView v = view();
    const std::int32_t x1 = v.toImage(p.sx), y1 = v.toImage(p.sy);
    const std::int32_t x2 = v.toImage(p.ax), y2 = v.toImage(p.ay);
    switch (PaintZeug) {
    case paintzeug::kSelect:
        selectShape(x1, y1, x2, y2, options.ellipseShape(), selectionModeFor(ShiftState));
        break;
    case paintzeug::kLine:
        // Lines and shapes ignore the selection and go behind put-down floating pixels.
        shapetools::drawWideLine(drawingTarget(), x1, y1, x2, y2, options.breite,
                                 std::uint32_t(paintcolor));
        drawingDone(shapetools::wideLineBounds(x1, y1, x2, y2, options.breite));
        break;
    case paintzeug::kShape:
        shapetools::drawShape(drawingTarget(), x1, y1, x2, y2, options.ellipseShape(),
                              options.stil == 1, std::uint32_t(paintcolor));
        drawingDone(spanned(QPoint(x1, y1), QPoint(x2, y2)));
        break;
    default:
        break;
    }
}

// --- status texts and cursor -------------------------------------------------------------

void ImageDocument::statusForMove(std::int32_t X, std::int32_t Y, const ToolOptions& options) {
    showStatus(1, imageSummary() + QStringLiteral("   "));
    const ZoomView v = view();
    const std::int32_t ix = v.toImage(X);
    const std::int32_t iy = v.toImage(Y);
    const bool figure =
        inPaint && (PaintZeug == paintzeug::kLine || PaintZeug == paintzeug::kShape ||
                    PaintZeug == paintzeug::kSelect);
    if (figure) {
        const std::int64_t w = std::llabs(std::int64_t(X) - PaintInfo.sx) * zoomout / zoomin + 1;
        const std::int64_t h = std::llabs(std::int64_t(Y) - PaintInfo.sy) * zoomout / zoomin + 1;
        showStatus(0, QStringLiteral("( %1 , %2 ) ->( %3 , %4 ) = ( %5 x %6 )")
                          .arg(v.toImage(PaintInfo.sx))
                          .arg(v.toImage(PaintInfo.sy))
                          .arg(ix)
                          .arg(iy)
                          .arg(w)
                          .arg(h));
    } else {
        showStatus(0, QStringLiteral("( %1 , %2 )").arg(ix).arg(iy));
    }
    if (options.tool == Tool::Drop && host_) {
        const auto value = std::int32_t(grafikrw3::getpixel(di.get(), ix, iy));
        ColorReadout readout;
        if (DIBColorCount(di.get()) > 256) {
            SplitRGB(value, readout.red, readout.green, readout.blue);
        } else {
            readout.index = value;
            SplitColor(value, readout.red, readout.green, readout.blue);
        }
        readout.swatch = qRgb(readout.red, readout.green, readout.blue);
        host_->showColorReadout(readout);
    }
}

void ImageDocument::chooseCursor(const TShiftState& shift, std::int32_t X, std::int32_t Y,
                                 const ToolOptions& options) {
    const bool overSelection =
        isSelectionTool(options.tool) && isSelected(view().toImage(X), view().toImage(Y));
    SetToolCursor(int(cursorFor(options.tool, shift.shift, shift.ctrl, overSelection)));
}
