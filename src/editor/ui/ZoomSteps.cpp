#include "ZoomSteps.h"

#include <algorithm>
#include <cstdint>

namespace zoomsteps {

int entryFor(Zoom zoom) {
    if (zoom.zin > 1) {
        return 16 - std::min(zoom.zin, 16);
    }
    if (zoom.zout > 1) {
        return 14 + std::min(zoom.zout, 16);
    }
    return kOneToOneEntry;
}

Zoom zoomForEntry(int entry) {
    entry = std::clamp(entry, 0, kEntryCount - 1);
    return {16 - entry > 0 ? 16 - entry : 1, entry >= kOneToOneEntry ? entry - 14 : 1};
}

QString entryText(int entry) {
    const Zoom zoom = zoomForEntry(entry);
    return QStringLiteral("%1:%2").arg(zoom.zin).arg(zoom.zout);
}

int centredScrollPosition(int scrollPosition, int viewSize, int imageSize, Zoom from, Zoom to) {
    const std::int64_t oldContent = std::int64_t(imageSize) * from.zin / from.zout;
    // The view's centre in image pixels. An axis the view shows whole has the image's middle
    // as its centre; a larger view would otherwise put it beyond the image.
    std::int64_t centre = imageSize / 2;
    if (oldContent > viewSize) {
        centre = (std::int64_t(scrollPosition) + viewSize / 2) * from.zout / from.zin;
    }
    const std::int64_t newContent = std::int64_t(imageSize) * to.zin / to.zout;
    std::int64_t position = centre * to.zin / to.zout - viewSize / 2;
    position = std::min(position, newContent - 1);
    return int(std::max<std::int64_t>(position, 0));
}

} // namespace zoomsteps
