#include "ZoomView.h"

#include <algorithm>

ZoomView ZoomView::zoomedIn() const {
    if (zoomout > 1) {
        return {zoomin, zoomout - 1};
    }
    return {std::min(zoomin + 1, kMax), zoomout};
}

ZoomView ZoomView::zoomedOut() const {
    if (zoomin > 1) {
        return {zoomin - 1, zoomout};
    }
    return {zoomin, std::min(zoomout + 1, kMax)};
}

int ZoomView::zoomBoxIndex() const {
    if (zoomin > 1) {
        return 16 - zoomin;
    }
    if (zoomout > 1) {
        return 14 + zoomout;
    }
    return 15;
}

ZoomView ZoomView::fromZoomBoxIndex(int index) {
    index = std::clamp(index, 0, 30);
    return {16 - index > 0 ? 16 - index : 1, index >= 15 ? index - 14 : 1};
}

std::int32_t ZoomView::centredScrollPosition(std::int32_t scrollPosition, std::int32_t viewSize,
                                             std::int32_t imageSize, ZoomView from, ZoomView to) {
    const std::int64_t oldContent = std::int64_t(imageSize) * from.zoomin / from.zoomout;
    // The view's centre in image pixels. Only while the view showed the axis whole is that the
    // image's middle: a view scrolled into a large image keeps its own centre, so that the part
    // the user looks at stays in sight.
    std::int64_t centre = imageSize / 2;
    if (oldContent > viewSize) {
        centre = (std::int64_t(scrollPosition) + viewSize / 2) * from.zoomout / from.zoomin;
    }
    const std::int64_t newContent = std::int64_t(imageSize) * to.zoomin / to.zoomout;
    std::int64_t position = centre * to.zoomin / to.zoomout - viewSize / 2;
    position = std::min(position, newContent - 1);
    return clamp(std::max<std::int64_t>(position, 0));
}

namespace {

// Start and length along one axis: start rounded down and the end rounded up to multiples of z.
void alignAxis(std::int64_t from, std::int64_t length, std::int64_t z, std::int64_t& start,
               std::int64_t& size) {
    start = (from / z) * z;
    if (from < 0 && from % z != 0) {
        start -= z;
    }
    size = length + (from - start);
    size = (size + z - 1) / z * z;
}

} // namespace

ZoomView::PaintArea ZoomView::paintArea(const QRect& exposed) const {
    const std::int64_t z = zoomin;
    const std::int64_t o = zoomout;
    std::int64_t x0 = 0, y0 = 0, w = 0, h = 0;
    alignAxis(exposed.left(), exposed.width(), z, x0, w);
    alignAxis(exposed.top(), exposed.height(), z, y0, h);
    PaintArea area;
    area.paintBox = QRect(clamp(x0), clamp(y0), clamp(w), clamp(h));
    area.image = QRect(clamp(x0 * o / z), clamp(y0 * o / z), clamp(w * o / z), clamp(h * o / z));
    return area;
}

QRect ZoomView::paintBoxRect(const QRect& r) const {
    if (r.isEmpty()) {
        return {};
    }
    // Magnified, image pixel i covers i * z ... (i + 1) * z - 1; reduced, paint-box pixel p
    // shows image pixel p * o.
    const std::int32_t left = toPaintBox(r.left());
    const std::int32_t top = toPaintBox(r.top());
    const std::int32_t right =
        std::max(toPaintBox(std::int64_t(r.right()) + 1) - 1, toPaintBox(r.right()));
    const std::int32_t bottom =
        std::max(toPaintBox(std::int64_t(r.bottom()) + 1) - 1, toPaintBox(r.bottom()));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}
