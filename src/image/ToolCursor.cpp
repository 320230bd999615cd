#include "ToolCursor.h"

namespace {

// Rectangle selection, free-hand selection and wand share one rule: the plain cursor, or its
// "+" or "-" form while Shift or Ctrl is held (Shift wins).
ToolCursor selectionCursor(ToolCursor plain, ToolCursor plus, ToolCursor minus, bool shift,
                           bool ctrl, bool overSelection) {
    if (shift) {
        return plus;
    }
    if (ctrl) {
        return minus;
    }
    return overSelection ? ToolCursor::Drag : plain;
}

} // namespace

ToolCursor cursorFor(Tool tool, bool shift, bool ctrl, bool overSelection) {
    switch (tool) {
    case Tool::Zoom:
        return ToolCursor::Lupe;
    case Tool::Hand:
        return ToolCursor::Drag;
    case Tool::Select:
        return selectionCursor(ToolCursor::GeoSel, ToolCursor::GeoSelPlus, ToolCursor::GeoSelMinus,
                               shift, ctrl, overSelection);
    case Tool::FreeSel:
        return selectionCursor(ToolCursor::FreeSel, ToolCursor::FreeSelPlus,
                               ToolCursor::FreeSelMinus, shift, ctrl, overSelection);
    case Tool::Magic:
        return selectionCursor(ToolCursor::MagicWand, ToolCursor::MagicWandPlus,
                               ToolCursor::MagicWandMinus, shift, ctrl, overSelection);
    case Tool::Drop:
        return ToolCursor::Drop;
    case Tool::Brush:
    case Tool::Clone:
    case Tool::Replace:
    case Tool::Retouch:
        return ToolCursor::Brush;
    case Tool::Fill:
        return ToolCursor::FloodFill;
    case Tool::Txt:
        return ToolCursor::Txt;
    case Tool::Line:
        return ToolCursor::Line;
    case Tool::Shape:
        return ToolCursor::Shape;
    }
    return ToolCursor::Kreuz;
}
