#include "editor/ui/MenuState.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using menustate::Change;
using menustate::Command;

namespace {

// The rules that depend on the image's depth, written as rows: one letter per depth 1, 4, 8
// and 24 bits (E enabled, D disabled, . left as it was).
struct DepthRow {
    Command command;
    const char* at;
};
const DepthRow kDepthRows[] = {
    {Command::Farbtiefeverkleinern1, "DEEE"},
    {Command::N2Farbent1Bit1, ".EEE"},
    {Command::N16Farbent4Bit1, ".DEE"},
    {Command::N256Farbent8Bit1, ".DDE"},
    {Command::XFarben4Bit8Bit1, ".DEE"},
    {Command::Farbtiefevergrern1, "EEED"},
    {Command::N16Farbent4Bit2, "EDD."},
    {Command::N256Farbent8Bit2, "EED."},
    {Command::N16MillionenFarbent24Bit1, "EEE."},
    {Command::Deformationen1, "DDDE"},
    {Command::Druckknopferstellen1, "DDDE"},
    {Command::EckFilter1, "DDDE"},
    {Command::FokussierungsFilter1, "DDDE"},
    {Command::Strungen1, "DDDE"},
    {Command::SpezialFilter1, "DDDE"},
    {Command::BenutzerdefinierteFilter1, "DDDE"},
    {Command::Paletteladen1, "DEED"},
    {Command::Palettespeichern1, "DEED"},
    {Command::Paletteeditieren1, "DEED"},
    {Command::PaletteladenBildanpassen1, "DEEE"},
    {Command::Anpassen1, "DEEE"},
    {Command::Colorieren1, "DEEE"},
    {Command::Graustufen1, "DEEE"},
    {Command::HistogramFunktionen1, "DEEE"},
    {Command::Tiefebeschrnken1, "DEEE"},
    {Command::Solarisieren1, "DEEE"},
};
constexpr int kDepths[] = {1, 4, 8, 24};

const Command kAlwaysEnabled[] = {
    Command::Betrachten1,  Command::Bild1,        Command::Farben1,
    Command::Auswahl1,     Command::FileSaveItem, Command::FileSaveAsItem,
    Command::Drucken1,     Command::CutItem,      Command::Lschen1,
    Command::CopyItem,     Command::AlsAuswahl1,  Command::AlstransparenteAuswahl1,
    Command::SaveSpeedBtn, Command::CutSpeedBtn,  Command::CopySpeedBtn,
};

char letter(Change change) {
    return change == Change::Enable ? 'E' : change == Change::Disable ? 'D' : '.';
}

bool dependsOnDepth(Command command) {
    for (const DepthRow& row : kDepthRows) {
        if (row.command == command) {
            return true;
        }
    }
    return false;
}

menustate::Input image(int bits) {
    menustate::Input input;
    input.bitsPerPixel = bits;
    return input;
}

class MenuStateDepth : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(MenuStateDepth, FollowsTheDepthTableAndNothingElseDependsOnTheDepth) {
    const int column = GetParam();
    const int bits = kDepths[column];
    const menustate::Changes changes = menustate::changesFor(image(bits));
    for (const DepthRow& row : kDepthRows) {
        EXPECT_EQ(letter(changes[std::size_t(row.command)]), row.at[column])
            << menustate::commandName(row.command) << " at " << bits << " bits";
    }
    const menustate::Changes other = menustate::changesFor(image(kDepths[(column + 1) % 4]));
    for (int i = 0; i < menustate::kCommandCount; ++i) {
        if (!dependsOnDepth(Command(i))) {
            EXPECT_EQ(changes[std::size_t(i)], other[std::size_t(i)])
                << menustate::commandName(Command(i));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, MenuStateDepth, ::testing::Range(0, 4),
                         [](const auto& info) { return std::to_string(kDepths[info.param]); });

TEST(MenuState, WithoutImageOrAtAnUnknownDepthTheDepthMenusKeepTheirLastState) {
    menustate::Enabled enabled = menustate::initialEnabled();
    menustate::apply(enabled, menustate::changesFor(image(4)));
    const menustate::Enabled afterFourBits = enabled;

    menustate::apply(enabled, menustate::changesFor(image(0)));
    for (const DepthRow& row : kDepthRows) {
        EXPECT_EQ(enabled[std::size_t(row.command)], afterFourBits[std::size_t(row.command)])
            << menustate::commandName(row.command);
    }

    // At 1 bit the reductions are untouched: their submenu is closed, but the 4-bit
    // reductions that 4 bits disabled stay disabled and "2 Farben" stays enabled.
    menustate::apply(enabled, menustate::changesFor(image(1)));
    EXPECT_FALSE(enabled[std::size_t(Command::Farbtiefeverkleinern1)]);
    EXPECT_TRUE(enabled[std::size_t(Command::N2Farbent1Bit1)]);
    EXPECT_FALSE(enabled[std::size_t(Command::N16Farbent4Bit1)]);

    // A depth the table does not know leaves every depth-menu entry alone, while the
    // group rules still apply: not 24 bits, not a palette, not 1 bit.
    const menustate::Enabled before = enabled;
    menustate::apply(enabled, menustate::changesFor(image(32)));
    for (Command c : {Command::Farbtiefeverkleinern1, Command::N16Farbent4Bit1,
                      Command::Farbtiefevergrern1, Command::N16MillionenFarbent24Bit1}) {
        EXPECT_EQ(enabled[std::size_t(c)], before[std::size_t(c)]) << menustate::commandName(c);
    }
    EXPECT_FALSE(enabled[std::size_t(Command::EckFilter1)]);
    EXPECT_FALSE(enabled[std::size_t(Command::Paletteladen1)]);
    EXPECT_TRUE(enabled[std::size_t(Command::Anpassen1)]);
}

TEST(MenuState, SelectionFloatingUndoZoomAndClipboardRuleTheirCommands) {
    const std::pair<int, int> zooms[] = {{1, 1}, {2, 1}, {1, 2}, {16, 1}, {1, 16}};
    for (int bits : {0, 1, 24}) {
        for (int flags = 0; flags < 16; ++flags) {
            for (auto [zin, zout] : zooms) {
                menustate::Input in = image(bits);
                in.selaktiv = flags & 1;
                in.floating = flags & 2;
                in.clipboardHasPicture = flags & 4;
                in.canUndo = flags & 8 ? 3 : 0;
                in.zoomin = zin;
                in.zoomout = zout;
                menustate::Enabled enabled = menustate::initialEnabled();
                menustate::apply(enabled, menustate::changesFor(in));
                auto on = [&enabled](Command c) { return enabled[std::size_t(c)]; };
                SCOPED_TRACE(testing::Message() << "bits " << bits << " flags " << flags << " zoom "
                                                << zin << ":" << zout);
                EXPECT_EQ(on(Command::VomUntergrundlsen1), in.selaktiv && !in.floating);
                EXPECT_EQ(on(Command::MitUntergrundverschmelzen1), in.selaktiv && in.floating);
                EXPECT_EQ(on(Command::Nichtauswhlen1), in.selaktiv);
                EXPECT_EQ(on(Command::Nichtvergrert111), zin != 1 || zout != 1);
                EXPECT_EQ(on(Command::Rckgngig1), in.canUndo > 0);
                EXPECT_EQ(on(Command::UndoItSpeedBtn), in.canUndo > 0);
                for (Command c :
                     {Command::PasteItem, Command::PasteSpeedBtn, Command::Zwischenablagelschen1}) {
                    EXPECT_EQ(on(c), in.clipboardHasPicture) << menustate::commandName(c);
                }
                // Whatever the state: these are enabled, the four that start disabled too.
                for (Command c : kAlwaysEnabled) {
                    EXPECT_TRUE(on(c)) << menustate::commandName(c);
                }
            }
        }
    }
}

TEST(MenuState, StartsWithSaveCutAndCopyDisabledAndEveryCommandNamedOnce) {
    const menustate::Enabled start = menustate::initialEnabled();
    std::set<std::string> names;
    for (int i = 0; i < menustate::kCommandCount; ++i) {
        const std::string name = menustate::commandName(Command(i));
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second) << name;
        const bool startsDisabled = name == "FileSaveItem" || name == "FileSaveAsItem" ||
                                    name == "CutItem" || name == "CopyItem";
        EXPECT_EQ(start[std::size_t(i)], !startsDisabled) << name;
    }
}
