// Zooming and scrolling the document view.
#include "ImageDocument.h"

#include <algorithm>

namespace {

// A scroll position limited to 0 ... range - 1; the scroll bar itself limits it further to its
// largest position.
int clampScroll(std::int64_t position, std::int64_t range) {
    return int(std::max<std::int64_t>(0, std::min(position, range - 1)));
}

} // namespace

void ImageDocument::ZoomInAt(std::int32_t x, std::int32_t y) {
    zoomStepAt(x, y, view().zoomedIn());
}

void ImageDocument::ZoomOutAt(std::int32_t x, std::int32_t y) {
    zoomStepAt(x, y, view().zoomedOut());
}

void ImageDocument::zoomStepAt(std::int32_t x, std::int32_t y, ZoomView next) {
    // At 16:1 (in) or 1:16 (out) the factor stays, but the view still centres on the point.
    const std::int32_t ix = view().toImage(x);
    const std::int32_t iy = view().toImage(y);
    zoomin = next.zoomin;
    zoomout = next.zoomout;
    resizePaintBox();
    if (view_) {
        const ScrollState s = view_->scrollState();
        view_->setScrollPosition(
            clampScroll(std::int64_t(next.toPaintBox(ix)) - s.boxWidth / 2, boxSize_.width()),
            clampScroll(std::int64_t(next.toPaintBox(iy)) - s.boxHeight / 2, boxSize_.height()));
    }
    invalidateAll();
    if (host_) {
        host_->selectZoomBoxIndex(next.zoomBoxIndex());
    }
    UpdateCaption();
    updateMenus();
}

void ImageDocument::SetZoom(std::int32_t zin, std::int32_t zout) {
    zin = std::clamp(zin, 1, ZoomView::kMax);
    zout = std::clamp(zout, 1, ZoomView::kMax);
    if (zin > 1) {
        zout = 1;
    }
    const ZoomView next{zin, zout};
    if (host_) {
        host_->selectZoomBoxIndex(next.zoomBoxIndex());
    }
    const ScrollState s = view_ ? view_->scrollState() : ScrollState{};
    const ZoomView old = view();
    const std::int32_t h =
        ZoomView::centredScrollPosition(s.h, s.boxWidth, DIBWidth(di.get()), old, next);
    const std::int32_t v =
        ZoomView::centredScrollPosition(s.v, s.boxHeight, DIBHeight(di.get()), old, next);
    zoomin = zin;
    zoomout = zout;
    resizePaintBox();
    if (view_) {
        view_->setScrollPosition(h, v);
    }
    invalidateAll();
    UpdateCaption();
    updateMenus();
}

void ImageDocument::ScrollByDrag(std::int32_t x, std::int32_t y) {
    if (!view_) {
        return;
    }
    const ScrollState s = view_->scrollState();
    view_->setScrollPosition(clampScroll(std::int64_t(s.h) + PaintInfo.ox - x, boxSize_.width()),
                             clampScroll(std::int64_t(s.v) + PaintInfo.oy - y, boxSize_.height()));
}
