// Mouse handling: a press runs the pressed tool's press (handlersOf), which may begin a drag;
// the drag's moves and release go to the handlers of the tool that began it, floating pixels
// follow the pointer whichever tool or command started them. The view tools, the pipette and
// the line and shape tools live here, the others in tools/.
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
    if (const ToolPress press = handlersOf(options.tool).press) {
        (this->*press)(button, X, Y, options);
    }
}

ImageDocument::ToolHandlers ImageDocument::handlersOf(Tool tool) {
    using D = ImageDocument;
    switch (tool) {
    case Tool::Zoom:
        return {&D::zoomToolPress};
    case Tool::Hand:
        return {&D::handToolPress, &D::handDrag, &D::handDrag};
    case Tool::Select:
        return {&D::selectionToolPress, &D::figureMove, &D::figureRelease}; // tools/
    case Tool::FreeSel:
        return {&D::selectionToolPress, &D::freehandMove, &D::freehandRelease};
    case Tool::Magic:
        return {&D::selectionToolPress};
    case Tool::Drop:
        return {&D::pipettePress};
    case Tool::Brush:
    case Tool::Clone:
    case Tool::Replace:
    case Tool::Retouch:
        return {&D::brushToolPress, &D::strokeTo, &D::brushRelease}; // tools/BrushTool.cpp
    case Tool::Line:
    case Tool::Shape:
        return {&D::shapeToolPress, &D::figureMove, &D::figureRelease};
    case Tool::Fill:
        return {&D::fillToolPress}; // tools/FillTool.cpp
    case Tool::Txt:
        return {&D::textToolClick}; // tools/TextTool.cpp
    }
    return {};
}

ImageEdit ImageDocument::pressEdit() {
    ImageEdit edit = beginEdit();
    edit.repaintChangesOnly();
    return edit;
}

void ImageDocument::liftPress(std::int32_t X, std::int32_t Y) {
    ImageEdit edit = pressEdit();
    if (edit) {
        edit.finish(LiftSelection(X, Y) ? imageops::OpStatus::Done : imageops::OpStatus::NoMemory);
    }
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
        liftPress(X, Y);
    } else {
        // Scrolling changes no pixel: it records no undo step and leaves the image unchanged.
        PaintZeug = paintzeug::kHand;
        BeginDrag(X, Y, Tool::Hand);
    }
}

void ImageDocument::handDrag(std::int32_t X, std::int32_t Y, const ToolOptions& /*options*/) {
    ScrollByDrag(X, Y);
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
    ImageEdit edit = pressEdit();
    if (!edit) {
        return;
    }
    PaintZeug = options.tool == Tool::Line ? paintzeug::kLine : paintzeug::kShape;
    BeginDrag(X, Y, options.tool);
    edit.finish(imageops::OpStatus::Done);
}

void ImageDocument::PaintBox1MouseMove(const TShiftState& shift, std::int32_t X, std::int32_t Y,
                                       const ToolOptions& options) {
    statusForMove(X, Y, options);
    if (!inPaint) {
        chooseCursor(shift, X, Y, options);
        return;
    }
    PaintInfo.ax = X;
    PaintInfo.ay = Y;
    if (PaintZeug == paintzeug::kMoveFloating || PaintZeug == paintzeug::kPlaceFloating) {
        MoveFloating(X, Y);
    } else if (const ToolDrag move = handlersOf(dragTool_).move) {
        (this->*move)(X, Y, options);
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
    if (PaintZeug == paintzeug::kMoveFloating) {
        DropFloating(X, Y);
        return;
    }
    ShiftState = shift;
    if (const ToolDrag release = handlersOf(dragTool_).release) {
        (this->*release)(X, Y, options);
    }
    PaintZeug = paintzeug::kNone;
}

void ImageDocument::figureMove(std::int32_t /*X*/, std::int32_t /*Y*/, const ToolOptions& options) {
    TPaintInfo& p = PaintInfo;
    if (PaintZeug != paintzeug::kLine && options.keepsSquare()) {
        const std::int32_t dx = std::abs(p.ax - p.sx);
        const std::int32_t dy = std::abs(p.ay - p.sy);
        if (dy > dx) {
            p.ay = p.sy < p.ay ? p.sy + dx : p.sy - dx;
        } else {
            p.ax = p.sx < p.ax ? p.sx + dy : p.sx - dy;
        }
    }
    EraseRubberBand();
    DrawRubberBand(options);
}

void ImageDocument::figureRelease(std::int32_t /*X*/, std::int32_t /*Y*/,
                                  const ToolOptions& options) {
    CommitShape(options);
}

void ImageDocument::ScrollBox1MouseMove() {
    showStatus(1, imageSummary());
}

void ImageDocument::BeginDrag(std::int32_t X, std::int32_t Y, Tool tool) {
    dragTool_ = tool;
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
