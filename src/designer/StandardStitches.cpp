#include "StandardStitches.h"

#include "StandardSymbols.h"
#include "foundation/OwnedText.h"

#include <QSet>

#include <vector>

namespace standardstitches {

namespace {

struct Definition {
    QString name;
    QString abbreviation;
    QString rightSide; // what the symbol means in a right-side row
    QString wrongSide; // the same stitch worked from the wrong side
    std::int32_t width = 1;
    Symbol symbol;
    QString mirror; // the stitch leaning or crossing the other way
};

constexpr const char* kKnitDecreaseLeft =
    "1 Masche wie zum Rechtsstricken abheben, 1 rechts, die abgehobene Masche überziehen";

QString stitches(int n) {
    return n == 1 ? QStringLiteral("1 Masche") : QStringLiteral("%1 Maschen").arg(n);
}

QString theStitches(int n) {
    return n == 1 ? QStringLiteral("die Masche") : QStringLiteral("die %1 Maschen").arg(n);
}

QString cableName(int over, int under, bool toRight, bool purl) {
    QString name = QStringLiteral("Zopf %1/%2 nach %3")
                       .arg(over)
                       .arg(under)
                       .arg(toRight ? QStringLiteral("rechts") : QStringLiteral("links"));
    if (purl) {
        name += under == 1 ? QStringLiteral(" mit linker Masche")
                           : QStringLiteral(" mit linken Maschen");
    }
    return name;
}

// An `over`/`under` cable: `over` stitches crossing in front of `under` stitches. To the right
// the `under` stitches wait behind the work; to the left the `over` stitches wait in front.
// From the wrong side the same crossing is made with the other group held, on the far side.
Definition cable(int over, int under, bool toRight, bool purl) {
    const QString knit = QStringLiteral("rechts");
    const QString purled = QStringLiteral("links");
    // The stitches behind are purled in the purl variant (on the wrong side: knitted).
    const QString backRight = purl ? purled : knit;
    const QString backWrong = purl ? knit : purled;
    Definition d;
    d.name = cableName(over, under, toRight, purl);
    d.abbreviation = QStringLiteral("%1/%2 %3K%4")
                         .arg(over)
                         .arg(under)
                         .arg(toRight ? QLatin1Char('R') : QLatin1Char('L'))
                         .arg(purl ? QStringLiteral(" li") : QString());
    const QString held = QStringLiteral("%1 auf eine Hilfsnadel %2 die Arbeit legen, ");
    const QString then = QStringLiteral("dann %1 der Hilfsnadel %2 stricken");
    if (toRight) {
        d.rightSide = held.arg(stitches(under), QStringLiteral("hinter")) +
                      QStringLiteral("%1 %2, ").arg(over).arg(knit) +
                      then.arg(theStitches(under), backRight);
        d.wrongSide = held.arg(stitches(over), QStringLiteral("hinter")) +
                      QStringLiteral("%1 %2, ").arg(under).arg(backWrong) +
                      then.arg(theStitches(over), purled);
    } else {
        d.rightSide = held.arg(stitches(over), QStringLiteral("vor")) +
                      QStringLiteral("%1 %2, ").arg(under).arg(backRight) +
                      then.arg(theStitches(over), knit);
        d.wrongSide = held.arg(stitches(under), QStringLiteral("vor")) +
                      QStringLiteral("%1 %2, ").arg(over).arg(purled) +
                      then.arg(theStitches(under), backWrong);
    }
    d.width = over + under;
    d.symbol = {Glyph::Cable, purl, std::int8_t(over), std::int8_t(under), toRight};
    d.mirror = cableName(over, under, !toRight, purl);
    return d;
}

std::vector<Definition> makeDefinitions() {
    auto plain = [](const char* name, const char* abbreviation, const char* rightSide,
                    const char* wrongSide, Glyph glyph, bool purl = false,
                    const char* mirror = "") {
        Definition d;
        d.name = QString::fromUtf8(name);
        d.abbreviation = QString::fromUtf8(abbreviation);
        d.rightSide = QString::fromUtf8(rightSide);
        d.wrongSide = QString::fromUtf8(wrongSide);
        d.symbol.glyph = glyph;
        d.symbol.purl = purl;
        d.mirror = QString::fromUtf8(mirror);
        return d;
    };
    std::vector<Definition> set = {
        plain("rechts", "re", "rechts", "links", Glyph::Blank),
        plain("links", "li", "links", "rechts", Glyph::Bar),
        plain("rechts verschränkt", "re verschr", "rechts verschränkt", "links verschränkt",
              Glyph::Twisted),
        plain("links verschränkt", "li verschr", "links verschränkt", "rechts verschränkt",
              Glyph::Twisted, true),
        plain("Umschlag", "U", "Umschlag", "Umschlag", Glyph::Circle),
        plain("doppelter Umschlag", "2 U", "2 Umschläge", "2 Umschläge", Glyph::DoubleCircle),
        plain("2 rechts zusammenstricken", "2 re zus", "2 Maschen rechts zusammenstricken",
              "2 Maschen links zusammenstricken", Glyph::SlashRight, false,
              "überzogen zusammenstricken"),
        plain("überzogen zusammenstricken", "überz", kKnitDecreaseLeft,
              "2 Maschen links verschränkt zusammenstricken", Glyph::SlashLeft, false,
              "2 rechts zusammenstricken"),
        plain("2 rechts verschränkt zusammenstricken", "2 re verschr zus",
              "2 Maschen rechts verschränkt zusammenstricken",
              "2 Maschen links verschränkt zusammenstricken", Glyph::SlashTwisted),
        plain("2 links zusammenstricken", "2 li zus", "2 Maschen links zusammenstricken",
              "2 Maschen rechts zusammenstricken", Glyph::SlashRight, true,
              "2 links verschränkt zusammenstricken"),
        plain("2 links verschränkt zusammenstricken", "2 li verschr zus",
              "2 Maschen links verschränkt zusammenstricken", kKnitDecreaseLeft, Glyph::SlashLeft,
              true, "2 links zusammenstricken"),
        plain("3 rechts zusammenstricken", "3 re zus", "3 Maschen rechts zusammenstricken",
              "3 Maschen links zusammenstricken", Glyph::FanRight, false,
              "doppelt überzogen zusammenstricken"),
        plain("doppelt überzogen zusammenstricken", "2 überz",
              "1 Masche wie zum Rechtsstricken abheben, 2 rechts zusammenstricken, die "
              "abgehobene Masche überziehen",
              "3 Maschen links verschränkt zusammenstricken", Glyph::FanLeft, false,
              "3 rechts zusammenstricken"),
        plain("3 links zusammenstricken", "3 li zus", "3 Maschen links zusammenstricken",
              "3 Maschen rechts zusammenstricken", Glyph::FanRight, true),
        plain("zentriert doppelt abnehmen", "zentr 2 abn",
              "2 Maschen zusammen wie zum Rechtsstricken abheben, 1 rechts, die abgehobenen "
              "Maschen überziehen",
              "2 Maschen einzeln wie zum Rechtsstricken abheben, auf die linke Nadel "
              "zurückheben, zusammen von hinten wie zum Linksstricken abheben, 1 links, die "
              "abgehobenen Maschen überziehen",
              Glyph::Centred),
        plain("rechte Zunahme aus dem Querfaden", "Zu re",
              "den Querfaden von hinten nach vorne auf die linke Nadel heben und rechts stricken",
              "den Querfaden von hinten nach vorne auf die linke Nadel heben und links stricken",
              Glyph::IncreaseRight, false, "linke Zunahme aus dem Querfaden"),
        plain("linke Zunahme aus dem Querfaden", "Zu li",
              "den Querfaden von vorne nach hinten auf die linke Nadel heben und rechts "
              "verschränkt stricken",
              "den Querfaden von vorne nach hinten auf die linke Nadel heben und links "
              "verschränkt stricken",
              Glyph::IncreaseLeft, false, "rechte Zunahme aus dem Querfaden"),
        plain("aus 1 Masche 2 Maschen herausstricken", "1 zu 2",
              "aus 1 Masche 2 Maschen herausstricken: 1 rechts, 1 rechts verschränkt",
              "aus 1 Masche 2 Maschen herausstricken: 1 links, 1 links verschränkt",
              Glyph::IncreaseTwo),
        plain("aus 1 Masche 3 Maschen herausstricken", "1 zu 3",
              "aus 1 Masche 3 Maschen herausstricken: 1 rechts, 1 Umschlag, 1 rechts",
              "aus 1 Masche 3 Maschen herausstricken: 1 links, 1 Umschlag, 1 links",
              Glyph::IncreaseThree),
        plain("Masche aus der Vorreihe", "re a. d. Vr",
              "1 rechts, dabei in die Masche der Vorreihe einstechen",
              "1 links, dabei in die Masche der Vorreihe einstechen", Glyph::Below),
        // The yarn stays on the wrong side of the fabric: behind in right-side rows, in front
        // of the work in wrong-side rows (and the other way round).
        plain("Masche abheben mit Faden hinten", "abh Fh",
              "1 Masche wie zum Linksstricken abheben, Faden hinter der Arbeit",
              "1 Masche wie zum Linksstricken abheben, Faden vor der Arbeit", Glyph::SlipBack),
        plain("Masche abheben mit Faden vorne", "abh Fv",
              "1 Masche wie zum Linksstricken abheben, Faden vor der Arbeit",
              "1 Masche wie zum Linksstricken abheben, Faden hinter der Arbeit", Glyph::SlipFront),
        plain("Noppe", "Np",
              "aus 1 Masche 5 Maschen herausstricken (1 rechts, 1 Umschlag, 1 rechts, "
              "1 Umschlag, 1 rechts), wenden, 5 links, wenden, 5 rechts, wenden, 5 links, "
              "wenden, 5 Maschen rechts zusammenstricken",
              "aus 1 Masche 5 Maschen herausstricken (1 links, 1 Umschlag, 1 links, "
              "1 Umschlag, 1 links), wenden, 5 rechts, wenden, 5 links, wenden, 5 rechts, "
              "wenden, 5 Maschen links zusammenstricken",
              Glyph::Bobble),
    };
    for (const int size : {11, 21, 22, 33}) {
        for (const bool purl : {false, true}) {
            for (const bool toRight : {true, false}) {
                set.push_back(cable(size / 10, size % 10, toRight, purl));
            }
        }
    }
    set.push_back(plain("Randmasche (Knötchenrand)", "Rm", "Randmasche rechts stricken",
                        "Randmasche rechts stricken", Glyph::Edge));
    set.push_back(
        plain("Masche abketten", "abk", "1 Masche abketten", "1 Masche abketten", Glyph::BindOff));
    set.push_back(plain("keine Masche", "kM", "keine Masche, weiter mit dem nächsten Kästchen",
                        "keine Masche, weiter mit dem nächsten Kästchen", Glyph::NoStitch));
    return set;
}

const std::vector<Definition>& definitions() {
    static const std::vector<Definition> set = makeDefinitions();
    return set;
}

} // namespace

std::size_t count() {
    return definitions().size();
}

QString name(std::size_t k) {
    return definitions()[k].name;
}

bool make(std::size_t k, TStich& out) {
    const Definition& d = definitions()[k];
    out.bezeichnung = ownedTextFromString(d.name);
    out.abkuerzung = ownedTextFromString(d.abbreviation);
    out.hinreihe = ownedTextFromString(d.rightSide);
    out.rueckreihe = ownedTextFromString(d.wrongSide);
    out.breite = d.width;
    if (!out.bezeichnung || !out.abkuerzung || !out.hinreihe || !out.rueckreihe ||
        !drawSymbol(d.symbol, d.width, out.di)) {
        releaseStitch(out);
        return false;
    }
    return true;
}

int addMissing(TDynaArrayOf<TStich>& stiche) {
    QSet<QString> held;
    for (const TStich& s : stiche) {
        held.insert(ownedTextToString(s.bezeichnung));
    }
    int added = 0;
    for (std::size_t k = 0; k < count(); ++k) {
        if (held.contains(definitions()[k].name)) {
            continue;
        }
        TStich made;
        if (!make(k, made)) {
            return -1;
        }
        TStich* slot = stiche.Add();
        if (!slot) {
            releaseStitch(made);
            return -1;
        }
        *slot = made;
        ++added;
    }
    return added;
}

QString mirrorPartner(const QString& name) {
    for (const Definition& d : definitions()) {
        if (d.name == name) {
            return d.mirror;
        }
    }
    return {};
}

} // namespace standardstitches
