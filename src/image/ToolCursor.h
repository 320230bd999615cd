#pragma once

#include "ToolOptions.h"

// The cursors the tools show over the picture, by the number under which the editor window
// registers its drawn cursor with the frame.
enum class ToolCursor : int {
    Drag = 1,       // hand tool; selection tools over a selected pixel
    Lupe,           // zoom
    Brush,          // brush, clone, replace, retouch
    Kreuz,          // plain cross hair, chosen by no tool
    Line,           // line
    Shape,          // shapes
    GeoSel,         // rectangle selection
    FreeSel,        // free-hand selection
    Drop,           // pipette; also the colour panel's palette
    Txt,            // text
    MagicWand,      // magic wand
    FloodFill,      // fill
    MagicWandPlus,  // magic wand, Shift held: adds
    MagicWandMinus, // magic wand, Ctrl held: removes
    GeoSelPlus,
    GeoSelMinus,
    FreeSelPlus,
    FreeSelMinus,
};
constexpr int kToolCursorCount = 18;

// The cursor a tool shows while no drag runs. `overSelection`: the pointer is on a selected
// pixel; the selection tools then offer to move it, unless Shift (add) or Ctrl (remove) is held.
ToolCursor cursorFor(Tool tool, bool shift, bool ctrl, bool overSelection);
