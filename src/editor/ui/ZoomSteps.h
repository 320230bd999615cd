#pragma once

#include <QString>

// The magnifications of the image editor: the 31 entries of the zoom box, from "16:1" down to
// "1:16", and how the view keeps its centre when the magnification changes.
namespace zoomsteps {

constexpr int kEntryCount = 31;
constexpr int kOneToOneEntry = 15;

// zin screen pixels show zout image pixels; both 1 to 16, at most one of them above 1.
struct Zoom {
    int zin = 1;
    int zout = 1;
    friend bool operator==(const Zoom&, const Zoom&) = default;
};

// Entry 0 is 16:1, entry 15 is 1:1, entry 30 is 1:16.
int entryFor(Zoom zoom);
// Entries out of range give the nearest end.
Zoom zoomForEntry(int entry);
QString entryText(int entry);

// One axis of the view: the scroll position after a change of magnification from `from` to
// `to` that keeps the image point in the middle of the view in the middle. `viewSize` is the
// scroll box's width (or height), `imageSize` the image's width (or height) in image pixels.
// While the whole axis fits into the view, the image's middle is taken as its centre. The
// result lies between 0 and the zoomed image size - 1; the scroll bar limits it further.
int centredScrollPosition(int scrollPosition, int viewSize, int imageSize, Zoom from, Zoom to);

} // namespace zoomsteps
