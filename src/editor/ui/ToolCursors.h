#pragma once

#include "image/ToolCursor.h"

#include <QCursor>
#include <QPixmap>
#include <QPoint>

// The cursors of the drawing tools, drawn in code: black strokes with a white rim, so that they
// show on any picture. Tools that aim at a pixel show a cross hair with a centre dot at the hot
// spot and the tool's picture beside it; Shift and Ctrl add a "+" or "-" badge.
namespace toolcursors {

constexpr int kCursorSize = 32; // logical pixels

// The hot spot in logical pixels.
QPoint hotSpot(ToolCursor kind);
QPixmap cursorPixmap(ToolCursor kind, qreal dpr);
QCursor cursor(ToolCursor kind, qreal dpr);

} // namespace toolcursors
