#include "designer/Instructions.h"
#include "designer/ChartDocument.h"

#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using instructions::Options;

struct Kind {
    char code;
    const char* name;
    const char* hin;
    const char* rueck;
    int breite;
};

// Stitches by letter; '.' is an empty cell.
constexpr Kind kKinds[] = {
    {'k', "Rechte Masche", "rechts", "links", 1},
    {'p', "Linke Masche", "links", "rechts", 1},
    {'y', "Umschlag", "", "", 1},                           // read by its name on both sides
    {'c', "Zopf", "Zopf nach rechts", "", 3},               // three cells wide
    {'x', "Verschränkt", "rechts", "links verschränkt", 1}, // reads as 'k' on the right side
    {'o', "Abheben", "abheben", "abheben", 0},              // a width from a file without widths
    {'C', "Zopf 2/2 nach rechts",
     "2 M auf Hilfsnadel hinter die Arbeit, 2 M re, 2 M von Hilfsnadel re", "4 links",
     4},                                                       // an instruction with commas
    {'P', "Eingeklammert", "(2 M re, 2 M li)", "(a), (b)", 1}, // enclosed already, or not
    {'n', "keine Masche", "keine Masche, weiter mit dem nächsten Kästchen",
     "keine Masche, weiter mit dem nächsten Kästchen", 1},
};

// A chart from rows of letters, the top row first.
void setChart(ChartDocument& doc, const QStringList& rows) {
    ASSERT_TRUE(doc.buildChart(int(rows.size()), int(rows[0].size()), -1));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            for (const Kind& kind : kKinds) {
                if (rows[r][c] != QLatin1Char(kind.code)) {
                    continue;
                }
                TStich s;
                s.bezeichnung = ownedTextFromString(QString::fromUtf8(kind.name));
                s.hinreihe = ownedTextFromString(QString::fromUtf8(kind.hin));
                s.rueckreihe = ownedTextFromString(QString::fromUtf8(kind.rueck));
                s.breite = kind.breite;
                s.di = makePatternPicture(2, 2, 8);
                TFeld& cell = doc.cellAt(r, c);
                cell.stich = doc.pool.share(StitchContent::of(s, s.di));
                cell.belegt = true;
                cell.breite = kind.breite;
                releaseStitch(s);
            }
        }
    }
    doc.cellsChanged();
}

QStringList linesOf(const QStringList& rows, Options options, const CellBlock& repeat = {}) {
    ChartDocument doc;
    setChart(doc, rows);
    doc.repeat = repeat;
    return instructions::lines(doc, options);
}

} // namespace

TEST(Instructions, ReadingDirectionFollowsTheFirstRowAndTheWrongSideSetting) {
    const QStringList chart{"kpy", "pyk", "kky"}; // the bottom row is the first
    struct Case {
        bool fromRight;
        bool hide;
        QStringList expected;
    };
    const Case cases[] = {
        {true,
         false,
         {"Reihe 1 (Hinreihe): Umschlag, 2 × rechts (3 Maschen)",
          "Reihe 2 (Rückreihe): rechts, Umschlag, links (3 Maschen)",
          "Reihe 3 (Hinreihe): Umschlag, links, rechts (3 Maschen)"}},
        {false,
         false,
         {"Reihe 1 (Hinreihe): 2 × rechts, Umschlag (3 Maschen)",
          "Reihe 2 (Rückreihe): links, Umschlag, rechts (3 Maschen)",
          "Reihe 3 (Hinreihe): rechts, links, Umschlag (3 Maschen)"}},
        // Without wrong-side rows every row is a right-side row, numbered as on the page.
        {true,
         true,
         {"Reihe 1 (Hinreihe): Umschlag, 2 × rechts (3 Maschen)",
          "Reihe 3 (Hinreihe): rechts, Umschlag, links (3 Maschen)",
          "Reihe 5 (Hinreihe): Umschlag, links, rechts (3 Maschen)"}},
        {false,
         true,
         {"Reihe 1 (Hinreihe): 2 × rechts, Umschlag (3 Maschen)",
          "Reihe 3 (Hinreihe): links, Umschlag, rechts (3 Maschen)",
          "Reihe 5 (Hinreihe): rechts, links, Umschlag (3 Maschen)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromRight << c.hide);
        EXPECT_EQ(linesOf(chart, Options{1, c.fromRight, c.hide}), c.expected);
    }

    // The settings of the page, and a chart without rows.
    PageSettings settings;
    settings.firstRow = 7;
    settings.ersteRechts = false;
    settings.dontShowLinks = true;
    const Options fromPage = Options::of(settings);
    EXPECT_EQ(fromPage.firstRow, 7);
    EXPECT_FALSE(fromPage.firstFromRight);
    EXPECT_TRUE(fromPage.hideWrongSide);
    ChartDocument empty;
    EXPECT_EQ(instructions::text(empty, fromPage), QString());
    ChartDocument one;
    setChart(one, {"kk"});
    EXPECT_EQ(instructions::text(one, Options{}),
              QStringLiteral("Reihe 0 (Hinreihe): 2 × rechts (2 Maschen)\n"));
}

TEST(Instructions, WideStitchesCoverTheirCellsAndEmptyCellsAreNoStitch) {
    const QStringList chart{
        "........", // a second empty row reads as the first one
        ".c.ccc.k", // cell 3 lies under the first cable, whatever it holds
        "o.......", // a width of 0 counts as 1
        "........", // no stitch at all
        "ckk.pkck", // the last cable is cut short by the row's end
    };
    EXPECT_EQ(
        linesOf(chart, Options{1, false, true}),
        (QStringList{
            "Reihe 1 (Hinreihe): Zopf nach rechts, links, rechts, Zopf nach rechts (7 Maschen)",
            "Reihe 3 (Hinreihe): keine Maschen",
            "Reihe 5 (Hinreihe): abheben (1 Maschen)",
            "Reihe 7 (Hinreihe): 2 × Zopf nach rechts, rechts (7 Maschen)",
            "Reihe 9 (Hinreihe): wie Reihe 3",
        }));
    // Read from the right, a wide stitch still covers the cells to its right.
    EXPECT_EQ(linesOf({"ckk.pkck"}, Options{1, true, false}),
              (QStringList{"Reihe 1 (Hinreihe): Zopf nach rechts, rechts, links, Zopf nach rechts "
                           "(7 Maschen)"}));
}

TEST(Instructions, EqualNeighboursAreCountedAndRepeatsBracketed) {
    EXPECT_EQ(linesOf({"kkkppkkkppy"}, Options{1, false, false}),
              (QStringList{"Reihe 1 (Hinreihe): [3 × rechts, 2 × links] 2-mal, Umschlag "
                           "(11 Maschen)"}));
    // Different stitches that read the same are equal neighbours.
    EXPECT_EQ(linesOf({"kxkp"}, Options{1, false, false}),
              (QStringList{"Reihe 1 (Hinreihe): 3 × rechts, links (4 Maschen)"}));

    using instructions::joinGroups;
    EXPECT_EQ(joinGroups({"a", "b", "a", "b", "a", "b"}), QStringLiteral("[a, b] 3-mal"));
    // Brackets only where they make the line shorter.
    EXPECT_EQ(joinGroups({"a", "b", "a", "b"}), QStringLiteral("a, b, a, b"));
    // The first repeat found ("[X, Y] 2-mal" at the start) is not the shortest choice.
    EXPECT_EQ(joinGroups({"X", "Y", "X", "Y", "Z", "X", "Y", "Z"}),
              QStringLiteral("X, Y, [X, Y, Z] 2-mal"));
    // Where cutting elsewhere is as short, the repeat starts as early as it can.
    EXPECT_EQ(joinGroups({"2 × rechts", "links", "2 × rechts", "links", "2 × rechts", "Umschlag",
                          "links", "Umschlag", "links"}),
              QStringLiteral("[2 × rechts, links] 2-mal, 2 × rechts, [Umschlag, links] 2-mal"));
    EXPECT_EQ(joinGroups({}), QString());
}

namespace {

// The length of the shortest writing, by trying every way to cut the groups into single groups
// and repeated runs.
int shortestLength(const QStringList& g, int from = 0) {
    if (from == g.size()) {
        return 0;
    }
    auto rest = [&](int next) { return next < g.size() ? 2 + shortestLength(g, next) : 0; };
    int best = int(g[from].size()) + rest(from + 1);
    for (int p = 1; from + 2 * p <= g.size(); ++p) {
        for (int m = 2; from + p * m <= g.size(); ++m) {
            if (g.mid(from + p * (m - 1), p) != g.mid(from, p)) {
                break;
            }
            const int written =
                int(QStringLiteral("[%1] %2-mal").arg(g.mid(from, p).join(", ")).arg(m).size());
            best = std::min(best, written + rest(from + p * m));
        }
    }
    return best;
}

// The groups a writing stands for, brackets expanded.
QStringList expand(const QString& written) {
    QStringList out;
    const QStringList items = written.split(QStringLiteral(", "));
    for (int k = 0; k < items.size(); ++k) {
        if (!items[k].startsWith('[')) {
            out << items[k];
            continue;
        }
        QStringList run{items[k].mid(1)};
        while (!run.last().contains(']')) {
            run << items[++k];
        }
        const QString last = run.last();
        run.last() = last.left(last.indexOf(']'));
        const int times = last.mid(last.indexOf("] ") + 2).chopped(4).toInt();
        for (int t = 0; t < times; ++t) {
            out << run;
        }
    }
    return out;
}

} // namespace

TEST(Instructions, TheWritingIsTheShortestOfAllAgainstTryingEveryOne) {
    const QStringList alphabet{"a", "2 × b", "links", "Zopf nach rechts"};
    std::mt19937 random(20);
    for (int trial = 0; trial < 3000; ++trial) {
        QStringList groups;
        const int n = 1 + int(random() % 10);
        const int letters = 2 + int(random() % 3);
        while (groups.size() < n) {
            const QString g = alphabet[int(random() % std::uint32_t(letters))];
            if (groups.isEmpty() || groups.last() != g) { // neighbours differ once counted
                groups << g;
            }
        }
        const QString written = instructions::joinGroups(groups);
        ASSERT_EQ(written.size(), shortestLength(groups)) << groups.join('|').toStdString();
        ASSERT_EQ(expand(written), groups) << written.toStdString();
    }
}

TEST(Instructions, ARowReadingAsAnEarlierOneOfItsSideRefersToTheFirst) {
    const QStringList chart{
        "xk", // reads as "kk" on the right side: an equal neighbour and an equal row
        "pp", "kk",
        "pp", // a wrong-side row reading as the first right-side row is not the same side
        "kk",
    };
    EXPECT_EQ(linesOf(chart, Options{1, true, false}),
              (QStringList{
                  "Reihe 1 (Hinreihe): 2 × rechts (2 Maschen)",
                  "Reihe 2 (Rückreihe): 2 × rechts (2 Maschen)",
                  "Reihe 3 (Hinreihe): wie Reihe 1",
                  "Reihe 4 (Rückreihe): wie Reihe 2",
                  "Reihe 5 (Hinreihe): wie Reihe 1",
              }));
}

TEST(Instructions, StitchesWithCommasStandInParenthesesAndNoStitchIsSkipped) {
    const QString cable =
        QStringLiteral("(2 M auf Hilfsnadel hinter die Arbeit, 2 M re, 2 M von Hilfsnadel re)");
    struct Case {
        QString row;
        QString expected;
    } cases[] = {
        {"kkC...pp", "2 × rechts, " + cable + ", 2 × links (8 Maschen)"},
        {"C...C...", "2 × " + cable + " (8 Maschen)"},
        {"kC...kC...kC...", "[rechts, " + cable + "] 3-mal (15 Maschen)"},
        {"PPk", "2 × (2 M re, 2 M li), rechts (3 Maschen)"},
        // "keine Masche" is a box of the chart, not a stitch: neither read nor counted.
        {"knnk", "2 × rechts (2 Maschen)"},
        {"nnn", "keine Maschen"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linesOf({c.row}, Options{1, false, false}),
                  QStringList{"Reihe 1 (Hinreihe): " + c.expected});
    }
    EXPECT_EQ(linesOf({"Pk", "kk"}, Options{1, false, false}).at(1),
              QStringLiteral("Reihe 2 (Rückreihe): links, ((a), (b)) (2 Maschen)"));
}

TEST(Instructions, TheRepeatStandsBetweenStarsInEveryRowItCrosses) {
    // Two copies side by side between edge stitches; the right one is marked (as tiling
    // leaves it). Rows from the right, with wrong-side rows.
    EXPECT_EQ(linesOf({"kkkkkkkk", "kppkppkk", "kykyykyk", "pppppppp"}, Options{1, true, false},
                      {1, 4, 2, 3}),
              (QStringList{
                  "Reihe 1 (Hinreihe): 8 × links (8 Maschen)",
                  "Reihe 2 (Rückreihe): links, *Umschlag, links, Umschlag*, ab * wiederholen, "
                  "insgesamt 2-mal, links (8 Maschen)",
                  "Reihe 3 (Hinreihe): rechts, *rechts, 2 × links*, ab * wiederholen, "
                  "insgesamt 2-mal, rechts (8 Maschen)",
                  "Reihe 4 (Rückreihe): 8 × links (8 Maschen)",
                  "Reihen 2–3 wiederholen",
              }));
    // One copy, with its rows repeated above it; every row a right-side row read from the
    // left. The copies of its rows read as its own.
    EXPECT_EQ(linesOf({"kppkk", "kykyk", "kppkk", "kykyk", "ppppp"}, Options{1, false, true},
                      {2, 1, 2, 3}),
              (QStringList{
                  "Reihe 1 (Hinreihe): 5 × links (5 Maschen)",
                  "Reihe 3 (Hinreihe): rechts, *Umschlag, rechts, Umschlag*, ab * wiederholen, "
                  "rechts (5 Maschen)",
                  "Reihe 5 (Hinreihe): rechts, *2 × links, rechts*, ab * wiederholen, rechts "
                  "(5 Maschen)",
                  "Reihe 7 (Hinreihe): wie Reihe 3",
                  "Reihe 9 (Hinreihe): wie Reihe 5",
                  "Reihen 3–5 wiederholen",
              }));
    // A repeat of one row and all of it: no stitches before or after the stars.
    EXPECT_EQ(linesOf({"kp", "pk"}, Options{1, false, false}, {1, 0, 1, 2}),
              (QStringList{
                  "Reihe 1 (Hinreihe): *links, rechts*, ab * wiederholen (2 Maschen)",
                  "Reihe 2 (Rückreihe): rechts, links (2 Maschen)",
                  "Reihe 1 wiederholen",
              }));
}
