#pragma once

#include <QString>

// The magnifications of the image editor: the 31 entries of the zoom box, from "16:1" down to
// "1:16". The document keeps the view's centre when the magnification changes.
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

} // namespace zoomsteps
