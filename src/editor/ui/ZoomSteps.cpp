#include "ZoomSteps.h"

#include <algorithm>

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

} // namespace zoomsteps
