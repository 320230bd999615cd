#pragma once

#include "foundation/dib.h"

// The drawing tools of the image editor and the settings they work with, as plain values.
// The editor window reads its option controls into a ToolOptions at every press and move in
// the picture and hands it to the document, so that the tools never look at widgets and can be
// tested without a window. Nothing here depends on Qt.

// The tool buttons of the drawing tool bar, top to bottom.
enum class DrawingTool : int {
    Zoom,    // ZoomBtn
    Hand,    // HandBtn
    Select,  // SelectBtn: rectangle, square, ellipse or circle selection
    FreeSel, // FreeSelBtn
    Magic,   // MagicBtn: magic wand
    Drop,    // DropBtn: pipette
    Brush,   // BrushBtn
    Clone,   // CloneBtn
    Replace, // ReplaceBtn: colour replacement
    Retouch, // RetouchBtn
    Fill,    // FillBtn
    Txt,     // TxtBtn
    Line,    // LineBtn
    Shape,   // ShapeBtn
};
constexpr int kDrawingToolCount = 14;

// The list positions of the option boxes; each enumerator's value is its entry.
enum class ShapeType : int { Rechteck, Quadrat, Ellipse, Kreis };                  // TypBox
enum class ShapeStyle : int { Umrissen, Gefuellt };                                // StilBox
enum class CloneMode : int { Ausgerichtet, NichtAusgerichtet };                    // CloneBox
enum class RetouchMode : int { Aufhellen, Abdunkeln, Verschmieren, Mixen };        // RetouchBox
enum class BrushForm : int { Quadrat, Kreis, Quer1, Quer2, Horizontal, Vertikal }; // FormBox
// FillStyleBox: solid colour, pattern and four gradients.
enum class FillStyle : int { Einheitlich, Muster, Linear, Rechteckig, Sonnenrad, Strahlig };
// DirectBox: "NW-SO", "N-S", "NO-SW", "O-W", "SO-NW", "S-N", "SW-NO", "W-O".
enum class GradientDirection : int { NwSo, NS, NoSw, OW, SoNw, SN, SwNo, WO };

// The brush tip of the "Pinselspitze" tab, used by brush, clone, replace and retouch.
struct BrushTip {
    BrushForm form = BrushForm::Kreis; // FormBox
    int size = 7;                      // SizeEdit, 1 to 200 pixels
    int hardness = 50;                 // HardEdit, 0 to 100
    int density = 100;                 // DensEdit, 1 to 100 per cent of the tip's pixels
    int transparency = 0;              // OpaCityEdit, 0 to 100 per cent of the old pixel kept
};

struct ToolOptions {
    DrawingTool tool = DrawingTool::Zoom;
    ShapeType shapeType = ShapeType::Rechteck;     // TypBox: shapes and the selection tool
    ShapeStyle shapeStyle = ShapeStyle::Umrissen;  // StilBox
    int lineWidth = 1;                             // BreitEdit, 1 to 100 image pixels
    int tolerance = 25;                            // TolEdit, 0 to 200: wand, fill, replace
    CloneMode cloneMode = CloneMode::Ausgerichtet; // CloneBox
    RetouchMode retouchMode = RetouchMode::Aufhellen;
    FillStyle fillStyle = FillStyle::Einheitlich;
    GradientDirection direction = GradientDirection::NwSo;
    // The fill pattern the window holds ("Muster laden"); null while none is loaded. It stays
    // the window's: valid for the one event the options were read for.
    const dib* pattern = nullptr;
    BrushTip tip;
};

// The cursors the tools show over the picture, by their registration number.
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
ToolCursor cursorFor(DrawingTool tool, bool shift, bool ctrl, bool overSelection);
