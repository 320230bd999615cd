#include "ToolOptions.h"

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

ToolCursor cursorFor(DrawingTool tool, bool shift, bool ctrl, bool overSelection) {
    switch (tool) {
    case DrawingTool::Zoom:
        return ToolCursor::Lupe;
    case DrawingTool::Hand:
        return ToolCursor::Drag;
    case DrawingTool::Select:
        return selectionCursor(ToolCursor::GeoSel, ToolCursor::GeoSelPlus, ToolCursor::GeoSelMinus,
                               shift, ctrl, overSelection);
    case DrawingTool::FreeSel:
        return selectionCursor(ToolCursor::FreeSel, ToolCursor::FreeSelPlus,
                               ToolCursor::FreeSelMinus, shift, ctrl, overSelection);
    case DrawingTool::Magic:
        return selectionCursor(ToolCursor::MagicWand, ToolCursor::MagicWandPlus,
                               ToolCursor::MagicWandMinus, shift, ctrl, overSelection);
    case DrawingTool::Drop:
        return ToolCursor::Drop;
    case DrawingTool::Brush:
    case DrawingTool::Clone:
    case DrawingTool::Replace:
    case DrawingTool::Retouch:
        return ToolCursor::Brush;
    case DrawingTool::Fill:
        return ToolCursor::FloodFill;
    case DrawingTool::Txt:
        return ToolCursor::Txt;
    case DrawingTool::Line:
        return ToolCursor::Line;
    case DrawingTool::Shape:
        return ToolCursor::Shape;
    }
    return ToolCursor::Kreuz;
}
