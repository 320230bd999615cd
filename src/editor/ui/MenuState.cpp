#include "MenuState.h"

#include <initializer_list>
#include <iterator>

namespace menustate {

namespace {

constexpr const char* kNames[] = {
    "Betrachten1",
    "Bild1",
    "Farben1",
    "Auswahl1",
    "FileSaveItem",
    "FileSaveAsItem",
    "Drucken1",
    "CutItem",
    "Lschen1",
    "CopyItem",
    "AlsAuswahl1",
    "AlstransparenteAuswahl1",
    "SaveSpeedBtn",
    "CutSpeedBtn",
    "CopySpeedBtn",
    "Rckgngig1",
    "UndoItSpeedBtn",
    "PasteItem",
    "PasteSpeedBtn",
    "Zwischenablagelschen1",
    "VomUntergrundlsen1",
    "MitUntergrundverschmelzen1",
    "Nichtauswhlen1",
    "Nichtvergrert111",
    "Deformationen1",
    "Druckknopferstellen1",
    "EckFilter1",
    "FokussierungsFilter1",
    "Strungen1",
    "SpezialFilter1",
    "BenutzerdefinierteFilter1",
    "Paletteladen1",
    "Palettespeichern1",
    "Paletteeditieren1",
    "PaletteladenBildanpassen1",
    "Anpassen1",
    "Colorieren1",
    "Graustufen1",
    "HistogramFunktionen1",
    "Tiefebeschrnken1",
    "Solarisieren1",
    "Farbtiefeverkleinern1",
    "N2Farbent1Bit1",
    "N16Farbent4Bit1",
    "N256Farbent8Bit1",
    "XFarben4Bit8Bit1",
    "Farbtiefevergrern1",
    "N16Farbent4Bit2",
    "N256Farbent8Bit2",
    "N16MillionenFarbent24Bit1",
};
static_assert(std::size(kNames) == kCommandCount, "one name per command");

// One row of the colour-depth table: the change at 1, 4, 8 and 24 bits per pixel.
struct DepthRow {
    Command command;
    Change at1, at4, at8, at24;
};

constexpr Change K = Change::Keep;
constexpr Change E = Change::Enable;
constexpr Change D = Change::Disable;

constexpr DepthRow kDepthRows[] = {
    {Command::Farbtiefeverkleinern1, D, E, E, E},     {Command::N2Farbent1Bit1, K, E, E, E},
    {Command::N16Farbent4Bit1, K, D, E, E},           {Command::N256Farbent8Bit1, K, D, D, E},
    {Command::XFarben4Bit8Bit1, K, D, E, E},          {Command::Farbtiefevergrern1, E, E, E, D},
    {Command::N16Farbent4Bit2, E, D, D, K},           {Command::N256Farbent8Bit2, E, E, D, K},
    {Command::N16MillionenFarbent24Bit1, E, E, E, K},
};

Change onlyIf(bool condition) {
    return condition ? Change::Enable : Change::Disable;
}

} // namespace

const char* commandName(Command command) {
    const int index = int(command);
    return index >= 0 && index < kCommandCount ? kNames[index] : "";
}

Changes changesFor(const Input& in) {
    Changes changes;
    changes.fill(Change::Keep);
    auto set = [&changes](std::initializer_list<Command> commands, Change change) {
        for (Command c : commands) {
            changes[std::size_t(c)] = change;
        }
    };
    using C = Command;
    set({C::Betrachten1, C::Bild1, C::Farben1, C::Auswahl1, C::FileSaveItem, C::FileSaveAsItem,
         C::Drucken1, C::CutItem, C::Lschen1, C::CopyItem, C::AlsAuswahl1,
         C::AlstransparenteAuswahl1, C::SaveSpeedBtn, C::CutSpeedBtn, C::CopySpeedBtn},
        Change::Enable);
    set({C::Rckgngig1, C::UndoItSpeedBtn}, onlyIf(in.canUndo > 0));
    set({C::PasteItem, C::PasteSpeedBtn, C::Zwischenablagelschen1}, onlyIf(in.clipboardHasPicture));
    set({C::VomUntergrundlsen1}, onlyIf(in.selaktiv && !in.floating));
    set({C::MitUntergrundverschmelzen1}, onlyIf(in.selaktiv && in.floating));
    set({C::Nichtauswhlen1}, onlyIf(in.selaktiv));
    set({C::Nichtvergrert111}, onlyIf(in.zoomin != 1 || in.zoomout != 1));

    const int bits = in.bitsPerPixel;
    if (bits <= 0) {
        return changes; // no image: what depends on it stays as it was
    }
    set({C::Deformationen1, C::Druckknopferstellen1, C::EckFilter1, C::FokussierungsFilter1,
         C::Strungen1, C::SpezialFilter1, C::BenutzerdefinierteFilter1},
        onlyIf(bits == 24));
    set({C::Paletteladen1, C::Palettespeichern1, C::Paletteeditieren1},
        onlyIf(bits == 4 || bits == 8));
    set({C::PaletteladenBildanpassen1, C::Anpassen1, C::Colorieren1, C::Graustufen1,
         C::HistogramFunktionen1, C::Tiefebeschrnken1, C::Solarisieren1},
        onlyIf(bits != 1));
    for (const DepthRow& row : kDepthRows) {
        Change change = Change::Keep;
        switch (bits) {
        case 1:
            change = row.at1;
            break;
        case 4:
            change = row.at4;
            break;
        case 8:
            change = row.at8;
            break;
        case 24:
            change = row.at24;
            break;
        default:
            break; // a depth the table does not know keeps the previous state
        }
        changes[std::size_t(row.command)] = change;
    }
    return changes;
}

Enabled initialEnabled() {
    Enabled enabled;
    enabled.fill(true);
    for (Command c :
         {Command::FileSaveItem, Command::FileSaveAsItem, Command::CutItem, Command::CopyItem}) {
        enabled[std::size_t(c)] = false;
    }
    return enabled;
}

void apply(Enabled& enabled, const Changes& changes) {
    for (std::size_t i = 0; i < enabled.size(); ++i) {
        if (changes[i] != Change::Keep) {
            enabled[i] = changes[i] == Change::Enable;
        }
    }
}

} // namespace menustate
