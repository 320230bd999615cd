#pragma once

#include "image/ToolOptions.h"

#include <QIcon>
#include <QPixmap>

// The pictures of the image editor's buttons, drawn in code on a 16-unit grid. Straight edges
// lie on half units, so one-unit lines cover whole pixels at 1x and 2x alike.
namespace editoricons {

// The standard tool bar.
enum class Standard { New, Open, Save, Cut, Copy, Paste, Undo, Back };

QIcon standardIcon(Standard kind);
QIcon toolIcon(Tool tool);

// One rendering, `logicalSize` units square at the device pixel ratio `dpr`.
QPixmap standardPixmap(Standard kind, int logicalSize, qreal dpr);
QPixmap toolPixmap(Tool tool, int logicalSize, qreal dpr);

// Draws a tool's picture on a 16-unit grid at the painter's origin (the cursors show it).
void paintTool(QPainter& painter, Tool tool);

} // namespace editoricons
