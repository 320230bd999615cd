#include "designer/StandardStitches.h"

#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using namespace standardstitches;

struct Made {
    TStich stich{};
    Made() = default;
    Made(const Made&) = delete;
    Made& operator=(const Made&) = delete;
    ~Made() { releaseStitch(stich); }
    QString name() const { return ownedTextToString(stich.bezeichnung); }
};

// Ink of pixel (x, y): anything but the white ground.
bool ink(const dib& d, int x, int y) {
    return grafikrw3::getIndex(grafikrw3::rowAt(d, y), 1, x) == 0;
}

// The picture as a chart cell of `side` pixels per cell shows it: sampled nearest-neighbour.
std::vector<bool> sampled(const dib& d, int cells, int side) {
    std::vector<bool> out;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side * cells; ++x) {
            out.push_back(ink(d, x * DIBWidth(d) / (side * cells), y * DIBHeight(d) / side));
        }
    }
    return out;
}

QString texts(const TStich& s) {
    return ownedTextToString(s.hinreihe) + QStringLiteral(" | ") + ownedTextToString(s.rueckreihe);
}

} // namespace

TEST(StandardStitches, TheSetIsCompleteAndEverySymbolIsReadable) {
    ASSERT_GE(count(), 40u);
    QSet<QString> names;
    std::map<std::pair<int, std::vector<bool>>, QString> lookAlike; // at a 12-pixel cell
    for (std::size_t k = 0; k < count(); ++k) {
        Made m;
        ASSERT_TRUE(make(k, m.stich)) << k;
        const TStich& s = m.stich;
        const QString name = m.name();
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(name, standardstitches::name(k));
        EXPECT_FALSE(names.contains(name));
        names.insert(name);
        EXPECT_GT(ownedTextLength(s.abkuerzung), 0);
        EXPECT_GT(ownedTextLength(s.hinreihe), 0);
        EXPECT_GT(ownedTextLength(s.rueckreihe), 0);

        // Cables are as wide as the stitches they cross; everything else is one cell.
        const QRegularExpressionMatch cable =
            QRegularExpression(QStringLiteral("^Zopf (\\d)/(\\d) ")).match(name);
        const int width =
            cable.hasMatch() ? cable.captured(1).toInt() + cable.captured(2).toInt() : 1;
        EXPECT_EQ(s.breite, width);
        // The picture of a new stitch, per cell, black (or grey) on white.
        ASSERT_EQ(DIBWidth(s.di), 100 * width);
        ASSERT_EQ(DIBHeight(s.di), 100);
        ASSERT_EQ(DIBBitCount(s.di), 1);
        const RGBQUAD* colors = s.di.pmi->colors();
        EXPECT_EQ(colors[1].rgbRed + colors[1].rgbGreen + colors[1].rgbBlue, 3 * 255);
        EXPECT_EQ(colors[0].rgbRed, name == QStringLiteral("keine Masche") ? 160 : 0);

        // Ink in every cell the stitch spans, also at the smallest cells a chart shows well
        // (so a cable's crossing spans its width); "rechts" alone is blank.
        for (const int side : {100, 12}) {
            const std::vector<bool> pixels = sampled(s.di, width, side);
            for (int c = 0; c < width; ++c) {
                bool any = false;
                for (int y = 0; y < side && !any; ++y) {
                    for (int x = c * side; x < (c + 1) * side && !any; ++x) {
                        any = pixels[std::size_t(y * side * width + x)];
                    }
                }
                EXPECT_EQ(any, name != QStringLiteral("rechts")) << "cell " << c << " at " << side;
            }
            if (side == 12) {
                // Different stitches look different at that size.
                const auto [other, fresh] = lookAlike.try_emplace({width, pixels}, name);
                EXPECT_TRUE(fresh) << "looks like " << other->second.toStdString();
            }
        }
    }
    for (const char* needed : {"rechts",
                               "links",
                               "Umschlag",
                               "rechts verschränkt",
                               "links verschränkt",
                               "2 rechts zusammenstricken",
                               "2 links zusammenstricken",
                               "überzogen zusammenstricken",
                               "doppelt überzogen zusammenstricken",
                               "3 rechts zusammenstricken",
                               "zentriert doppelt abnehmen",
                               "Masche abheben mit Faden hinten",
                               "Masche abheben mit Faden vorne",
                               "Noppe",
                               "linke Zunahme aus dem Querfaden",
                               "rechte Zunahme aus dem Querfaden",
                               "Masche aus der Vorreihe",
                               "keine Masche",
                               "Zopf 1/1 nach rechts",
                               "Zopf 1/1 nach links",
                               "Zopf 2/1 nach rechts mit linker Masche",
                               "Zopf 2/1 nach links mit linker Masche",
                               "Zopf 2/2 nach rechts",
                               "Zopf 2/2 nach links",
                               "Zopf 3/3 nach rechts",
                               "Zopf 3/3 nach links"}) {
        EXPECT_TRUE(names.contains(QString::fromUtf8(needed))) << needed;
    }
    EXPECT_EQ(name(0), QStringLiteral("rechts"));
}

TEST(StandardStitches, WrongSideRowsWorkTheStitchAsItShowsOnTheRightSide) {
    const std::map<QString, QString> expected = {
        {"rechts", "rechts | links"},
        {"links", "links | rechts"},
        {"rechts verschränkt", "rechts verschränkt | links verschränkt"},
        {"2 rechts zusammenstricken",
         "2 Maschen rechts zusammenstricken | 2 Maschen links zusammenstricken"},
        {"Masche abheben mit Faden hinten",
         "1 Masche wie zum Linksstricken abheben, Faden hinter der Arbeit | 1 Masche wie zum "
         "Linksstricken abheben, Faden vor der Arbeit"},
        // Right: the stitches behind wait at the back; from the wrong side the front ones do.
        {"Zopf 2/1 nach rechts mit linker Masche",
         "1 Masche auf eine Hilfsnadel hinter die Arbeit legen, 2 rechts, dann die Masche der "
         "Hilfsnadel links stricken | 2 Maschen auf eine Hilfsnadel hinter die Arbeit legen, "
         "1 rechts, dann die 2 Maschen der Hilfsnadel links stricken"},
        {"Zopf 2/2 nach links",
         "2 Maschen auf eine Hilfsnadel vor die Arbeit legen, 2 rechts, dann die 2 Maschen der "
         "Hilfsnadel rechts stricken | 2 Maschen auf eine Hilfsnadel vor die Arbeit legen, "
         "2 links, dann die 2 Maschen der Hilfsnadel links stricken"},
    };
    std::size_t seen = 0;
    for (std::size_t k = 0; k < count(); ++k) {
        const auto e = expected.find(name(k));
        if (e != expected.end()) {
            Made m;
            ASSERT_TRUE(make(k, m.stich));
            EXPECT_EQ(texts(m.stich), e->second);
            ++seen;
        }
    }
    EXPECT_EQ(seen, expected.size());
}

TEST(StandardStitches, MirrorPartnersPairUpWithinTheSet) {
    std::map<QString, int> widths;
    for (std::size_t k = 0; k < count(); ++k) {
        Made m;
        ASSERT_TRUE(make(k, m.stich));
        widths[m.name()] = m.stich.breite;
    }
    int pairs = 0;
    for (const auto& [name, width] : widths) {
        const QString partner = mirrorPartner(name);
        if (partner.isEmpty()) {
            continue;
        }
        ++pairs;
        ASSERT_TRUE(widths.count(partner)) << partner.toStdString();
        EXPECT_EQ(widths[partner], width);
        EXPECT_EQ(mirrorPartner(partner), name);
    }
    EXPECT_EQ(pairs, 2 * (3 + 1 + 8)); // decreases, increases, cables
    EXPECT_EQ(mirrorPartner(QStringLiteral("Zopf 2/2 nach rechts")),
              QStringLiteral("Zopf 2/2 nach links"));
    EXPECT_TRUE(mirrorPartner(QStringLiteral("rechts")).isEmpty());
    EXPECT_TRUE(mirrorPartner(QStringLiteral("Mein Stich")).isEmpty());
}

TEST(StandardStitches, AddingTakesOnlyWhatTheLibraryLacksInTheSetsOrder) {
    TStich* astich = nullptr;
    TDynaArrayOf<TStich> stiche(&astich);
    for (const char* own : {"Mein Stich", "links"}) {
        TStich* s = stiche.Add();
        s->bezeichnung = ownedTextFromString(QString::fromUtf8(own));
    }
    EXPECT_EQ(addMissing(stiche), int(count()) - 1);
    ASSERT_EQ(stiche.count, std::uint32_t(count() + 1));
    EXPECT_EQ(ownedTextToString(stiche[0].bezeichnung), QStringLiteral("Mein Stich"));
    EXPECT_EQ(ownedTextToString(stiche[1].bezeichnung), QStringLiteral("links"));
    EXPECT_EQ(ownedTextToString(stiche[2].bezeichnung), QStringLiteral("rechts"));
    EXPECT_EQ(ownedTextToString(stiche[3].bezeichnung), name(2));
    EXPECT_EQ(addMissing(stiche), 0);
    EXPECT_EQ(stiche.count, std::uint32_t(count() + 1));
    for (TStich& s : stiche) {
        releaseStitch(s);
    }
}
