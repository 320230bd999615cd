#pragma once

#include "imageops/Masks.h"

#include <cstdint>
#include <vector>

// Small records of the image document: points, rectangles, the drag's coordinates, modifier
// keys and outlines.

// A point in image or paint-box pixels.
using TPoint = imageops::Point;

// Rectangle of four edges, inclusive (image pixels).
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Paint-box coordinates of a drag: (sx, sy) the press point (for a brush stroke the previous
// point), (ox, oy) the end of the rubber band last drawn (for the hand tool the press point),
// (ax, ay) the current pointer.
struct TPaintInfo {
    std::int32_t sx = 0, sy = 0;
    std::int32_t ox = 0, oy = 0;
    std::int32_t ax = 0, ay = 0;
};

// Modifier keys and mouse buttons held at a press, move or release.
struct TShiftState {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
    bool left = false;
    bool right = false;
    bool middle = false;
};

enum class TMouseButton { Left, Right, Middle };

// How a selection step changes the mask: Shift adds, Ctrl (without Shift) subtracts, neither
// replaces.
enum class SelectionMode { Replace, Add, Subtract };

inline SelectionMode selectionModeFor(const TShiftState& s) {
    return s.shift ? SelectionMode::Add : s.ctrl ? SelectionMode::Subtract : SelectionMode::Replace;
}

// Polylines of an outline. The free-hand tool uses one polyline in poi1; poi2 stays empty.
struct SelectionType {
    bool aktiv = false;
    std::vector<std::vector<TPoint>> poi1;
    std::vector<std::vector<TPoint>> poi2;

    int pz1() const { return int(poi1.size()); }
    int pz2() const { return int(poi2.size()); }
};

// Operation numbers of the drag in progress (PaintZeug).
namespace paintzeug {
constexpr int kNone = 0;
constexpr int kLine = 1;
constexpr int kShape = 2;
constexpr int kBrush = 3;
constexpr int kSelect = 4;
constexpr int kFreeSelect = 5;
constexpr int kHand = 6;
constexpr int kMoveFloating = 98;
constexpr int kPlaceFloating = 99;
} // namespace paintzeug
