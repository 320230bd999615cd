#pragma once

#include "foundation/dib.h"

// The drawing tool that is down and the settings of the option controls, as the editor window
// reads them from its controls at every mouse event. Values are list positions (0 = first
// entry) or the numbers in the fields; the defaults are those of the controls at first start.

// The fourteen tools, in the order of the tool bar.
enum class Tool {
    Zoom,    // ZoomBtn
    Hand,    // HandBtn
    Select,  // SelectBtn: rectangle, square, ellipse or circle selection
    FreeSel, // FreeSelBtn
    Magic,   // MagicBtn
    Drop,    // DropBtn: pipette
    Brush,   // BrushBtn
    Clone,   // CloneBtn
    Replace, // ReplaceBtn
    Retouch, // RetouchBtn
    Fill,    // FillBtn
    Txt,     // TxtBtn
    Line,    // LineBtn
    Shape,   // ShapeBtn
};
constexpr int kToolCount = 14;

// Tab "Pinselspitze".
struct BrushTip {
    int form = 1;    // FormBox: Quadrat, Kreis, Quer1, Quer2, Horizontal, Vertikal
    int size = 7;    // SizeEdit, 1 to 200
    int hard = 50;   // HardEdit, 0 to 100
    int dens = 100;  // DensEdit, 1 to 100
    int opacity = 0; // OpaCityEdit, 0 to 100
};

struct ToolOptions {
    Tool tool = Tool::Zoom;
    int breite = 1;               // BreitEdit: line width, 1 to 100
    int typ = 0;                  // TypBox: Rechteck, Quadrat, Ellipse, Kreis
    int stil = 0;                 // StilBox: Umrissen, Gefüllt
    int toleranz = 25;            // TolEdit: 0 to 200
    int cloneModus = 0;           // CloneBox: Ausgerichtet, Nicht ausgerichtet
    int retouchModus = 0;         // RetouchBox: Aufhellen, Abdunkeln, Verschmieren, Mixen
    int fillStyle = 0;            // FillStyleBox, 0 to 5
    int direction = 0;            // DirectBox, 0 to 7
    const dib* pattern = nullptr; // the window's fill pattern, when one is loaded
    BrushTip tip;

    // TypBox "Ellipse" and "Kreis".
    bool ellipseShape() const { return typ == 2 || typ == 3; }
    // TypBox "Quadrat" and "Kreis" keep width equal to height.
    bool keepsSquare() const { return typ == 1 || typ == 3; }
};
