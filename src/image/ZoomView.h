#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>

// The magnification zoomin:zoomout of the document view and the conversion between image
// pixels and paint-box pixels. Both numbers lie in 1...16 and at most one exceeds 1. All
// divisions truncate toward zero, so negative paint-box coordinates (a captured pointer left
// of or above the paint box) map toward 0.
struct ZoomView {
    std::int32_t zoomin = 1;
    std::int32_t zoomout = 1;

    static constexpr std::int32_t kMax = 16;

    std::int32_t toPaintBox(std::int64_t i) const { return clamp(i * zoomin / zoomout); }
    std::int32_t toImage(std::int64_t p) const { return clamp(p * zoomout / zoomin); }

    // The paint box's size for an image of width x height pixels.
    QSize paintBoxSize(std::int32_t width, std::int32_t height) const {
        return {toPaintBox(width), toPaintBox(height)};
    }

    // One step in or out; at 16:1 (in) or 1:16 (out) nothing changes.
    ZoomView zoomedIn() const;
    ZoomView zoomedOut() const;

    // Entry of the zoom list "16:1" ... "1:1" ... "1:16" (0 ... 30) and back.
    int zoomBoxIndex() const;
    static ZoomView fromZoomBoxIndex(int index);

    // What a repaint of the paint-box rectangle `exposed` draws: `paintBox` starts at the first
    // whole magnified pixel at or before the exposed edge and covers the exposed part rounded
    // up to whole magnified pixels; `image` is the image rectangle shown there (not cut to the
    // image).
    struct PaintArea {
        QRect paintBox;
        QRect image;
    };
    PaintArea paintArea(const QRect& exposed) const;

    // The paint-box pixels that show the image rectangle `r`.
    QRect paintBoxRect(const QRect& r) const;

    friend bool operator==(const ZoomView&, const ZoomView&) = default;

    // One axis of the view: the scroll position after the magnification changes from `from` to
    // `to`, keeping the image point in the middle of the view in the middle. `viewSize` is the
    // scroll box's width (or height), `imageSize` the image's width (or height). An axis the
    // view showed whole has the image's middle as its centre. The result lies between 0 and the
    // zoomed image size - 1; the scroll bar limits it further.
    static std::int32_t centredScrollPosition(std::int32_t scrollPosition, std::int32_t viewSize,
                                              std::int32_t imageSize, ZoomView from, ZoomView to);

private:
    static std::int32_t clamp(std::int64_t v) {
        return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : std::int32_t(v);
    }
};
