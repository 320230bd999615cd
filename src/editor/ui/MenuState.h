#pragma once

#include <array>
#include <cstdint>

// Which commands of the image editor are enabled, derived from the document's state alone.
// The window gathers the state, asks for the changes and applies them to its menu items and
// buttons; the rules live here so that they can be checked without a window.
namespace menustate {

// Every menu, item and button whose enabled state follows the document. The names are the
// object names of the window's menus, actions and tool buttons.
enum class Command : int {
    // Always enabled.
    Betrachten1,
    Bild1,
    Farben1,
    Auswahl1,
    FileSaveItem,
    FileSaveAsItem,
    Drucken1,
    CutItem,
    Lschen1,
    CopyItem,
    AlsAuswahl1,
    AlstransparenteAuswahl1,
    SaveSpeedBtn,
    CutSpeedBtn,
    CopySpeedBtn,
    // Undo.
    Rckgngig1,
    UndoItSpeedBtn,
    // Clipboard.
    PasteItem,
    PasteSpeedBtn,
    Zwischenablagelschen1,
    // Selection, floating selection, zoom.
    VomUntergrundlsen1,
    MitUntergrundverschmelzen1,
    Nichtauswhlen1,
    Nichtvergrert111,
    // 24 bits only.
    Deformationen1,
    Druckknopferstellen1,
    EckFilter1,
    FokussierungsFilter1,
    Strungen1,
    SpezialFilter1,
    BenutzerdefinierteFilter1,
    // 4 or 8 bits only.
    Paletteladen1,
    Palettespeichern1,
    Paletteeditieren1,
    // Any depth but 1 bit.
    PaletteladenBildanpassen1,
    Anpassen1,
    Colorieren1,
    Graustufen1,
    HistogramFunktionen1,
    Tiefebeschrnken1,
    Solarisieren1,
    // Colour depth.
    Farbtiefeverkleinern1,
    N2Farbent1Bit1,
    N16Farbent4Bit1,
    N256Farbent8Bit1,
    XFarben4Bit8Bit1,
    Farbtiefevergrern1,
    N16Farbent4Bit2,
    N256Farbent8Bit2,
    N16MillionenFarbent24Bit1,
    Count
};
constexpr int kCommandCount = int(Command::Count);

// The object name of a command ("FileSaveItem").
const char* commandName(Command command);

// What the rules look at.
struct Input {
    int bitsPerPixel = 0;  // of the document's image; 0 when it holds none
    bool selaktiv = false; // a selection is active
    bool floating = false; // a floating selection exists (DragingNotFinished)
    int canUndo = 0;       // undo entries held
    int zoomin = 1;        // magnification zoomin:zoomout
    int zoomout = 1;
    bool clipboardHasPicture = false;
};

enum class Change : std::uint8_t { Keep, Enable, Disable };
using Changes = std::array<Change, kCommandCount>;
using Enabled = std::array<bool, kCommandCount>;

// The changes UpdateMenuItems makes for `input`. Commands it leaves alone (the depth menus
// at a depth they do not know, everything that depends on the image while there is none) are
// Keep, so they stay as the previous call left them.
Changes changesFor(const Input& input);

// The states the window defines before the first update: everything enabled except Save,
// Save As, Cut and Copy, which the first update enables.
Enabled initialEnabled();

void apply(Enabled& enabled, const Changes& changes);

} // namespace menustate
