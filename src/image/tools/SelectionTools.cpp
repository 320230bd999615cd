// The selection tools: rectangle and ellipse, free hand and magic wand. A press on the
// selection moves it (the right button empties it); elsewhere it starts a new selection step.
#include "image/ImageDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Masks.h"

#include <algorithm>

void ImageDocument::selectionToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                                       const ToolOptions& options) {
    const std::int32_t ix = view().toImage(X);
    const std::int32_t iy = view().toImage(Y);
    if (isSelected(ix, iy) && !ShiftState.shift && !ShiftState.ctrl) {
        // A press on the selection: the right button empties it, the others move it.
        if (button != TMouseButton::Right) {
            liftPress(X, Y);
            return;
        }
        ImageEdit edit = pressEdit();
        if (edit) {
            FinishDraging();
            clearSelection();
            edit.finish(imageops::OpStatus::Done);
        }
        return;
    }
    ImageEdit edit = pressEdit();
    if (!edit) {
        return;
    }
    FinishDraging();
    bool done = true;
    switch (options.tool) {
    case Tool::Select:
        PaintZeug = paintzeug::kSelect;
        BeginDrag(X, Y, Tool::Select);
        break;
    case Tool::Magic:
        done = MagicWandSelect(ix, iy, options.toleranz);
        break;
    case Tool::FreeSel:
        PaintZeug = paintzeug::kFreeSelect;
        FreeSel(sel_);
        sel_.aktiv = true;
        sel_.poi1.emplace_back();
        BeginDrag(X, Y, Tool::FreeSel);
        break;
    default:
        break;
    }
    edit.finish(done ? imageops::OpStatus::Done : imageops::OpStatus::NoMemory);
}

void ImageDocument::freehandMove(std::int32_t X, std::int32_t Y, const ToolOptions& /*options*/) {
    if (sel_.poi1.empty()) {
        return;
    }
    std::vector<TPoint>& line = sel_.poi1.front();
    const TPoint p{std::clamp(X, 0, std::max(boxSize_.width() - 1, 0)),
                   std::clamp(Y, 0, std::max(boxSize_.height() - 1, 0))};
    line.push_back(p);
    if (line.size() >= 2) {
        invalidate(segmentRect(line[line.size() - 2], p));
    }
}

void ImageDocument::freehandRelease(std::int32_t /*X*/, std::int32_t /*Y*/,
                                    const ToolOptions& /*options*/) {
    if (sel_.poi1.empty()) {
        return;
    }
    std::vector<TPoint>& line = sel_.poi1.front();
    // The press point closes the outline.
    line.push_back({PaintInfo.sx, PaintInfo.sy});
    QRect drawn;
    for (std::size_t i = 1; i < line.size(); ++i) {
        drawn |= segmentRect(line[i - 1], line[i]);
    }
    std::vector<TPoint> points;
    points.reserve(line.size());
    for (const TPoint& p : line) {
        points.push_back({view().toImage(p.x), view().toImage(p.y)});
    }
    FreeSel(sel_);
    invalidate(drawn);
    selectPolygon(points, selectionModeFor(ShiftState));
}

bool ImageDocument::MagicWandSelect(std::int32_t x, std::int32_t y, std::int32_t tolerance) {
    if (!ensureMask()) {
        return false;
    }
    // The area is found before the mask changes, so that a shortage leaves the selection as
    // it was.
    OwnedDib area;
    grafikrw3::newdib(&area.get(), DIBWidth(di.get()), DIBHeight(di.get()), 1, nullptr, 0);
    if (!area || !grafikrw3::fillRegion(di.get(), x, y, tolerance, nullptr, area.get())) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    }
    const SelectionMode mode = selectionModeFor(ShiftState);
    if (mode == SelectionMode::Replace) {
        imageops::fillMask(seldib.get(), false);
    }
    imageops::combineMask(seldib.get(), area.get(), mode != SelectionMode::Subtract);
    UpdateSelddib();
    return true;
}
