#include "PageSettingsFields.h"

namespace settingsfields {

namespace {

bool sameFont(const PageFont& a, const PageFont& b) {
    return a.font == b.font && a.color == b.color && a.charset == b.charset && a.pitch == b.pitch &&
           a.pixelsPerInch == b.pixelsPerInch;
}

bool same(const PageSettings& a, const PageSettings& b, int field) {
    switch (field) {
    case BreitMm:
        return a.breitMm == b.breitMm;
    case BreitLegendeMm:
        return a.breitLegendeMm == b.breitLegendeMm;
    case RandMm:
        return a.randMm == b.randMm;
    case PenWidMm:
        return a.penWidMm == b.penWidMm;
    case AlleRechts:
        return a.alleRechts == b.alleRechts;
    case ErsteRechts:
        return a.ersteRechts == b.ersteRechts;
    case DontShowLinks:
        return a.dontShowLinks == b.dontShowLinks;
    case FirstRow:
        return a.firstRow == b.firstRow;
    case Caption:
        return a.caption == b.caption;
    case Text:
        return a.text == b.text;
    case NumberFont:
        return sameFont(a.numberFont, b.numberFont);
    case CaptionFont:
        return sameFont(a.captionFont, b.captionFont);
    case TextFont:
        return sameFont(a.textFont, b.textFont);
    case Legende:
        return a.legende == b.legende;
    case Inst:
        return a.inst == b.inst;
    case Tessaplan:
        return a.tessaplan == b.tessaplan;
    default:
        return true;
    }
}

} // namespace

int difference(const PageSettings& a, const PageSettings& b) {
    int found = kNone;
    for (int field = 0; field < kCount; ++field) {
        if (!same(a, b, field)) {
            if (found != kNone) {
                return kSeveral;
            }
            found = field;
        }
    }
    return found;
}

bool typed(int field) {
    switch (field) {
    case BreitMm:
    case BreitLegendeMm:
    case RandMm:
    case PenWidMm:
    case FirstRow:
    case Caption:
    case Text:
        return true;
    default:
        return false;
    }
}

QString changeText(int field) {
    switch (field) {
    case BreitMm:
        return QStringLiteral("Breite der Kästchen ändern");
    case BreitLegendeMm:
        return QStringLiteral("Breite der Kästchen für die Legende ändern");
    case RandMm:
        return QStringLiteral("Seitenrand ändern");
    case PenWidMm:
        return QStringLiteral("Linienstärke ändern");
    case AlleRechts:
        return QStringLiteral("Alle Zeilennummern rechts umschalten");
    case ErsteRechts:
        return QStringLiteral("Erste Zeile startet von rechts umschalten");
    case DontShowLinks:
        return QStringLiteral("Rückreihen nicht anzeigen umschalten");
    case FirstRow:
        return QStringLiteral("Erste Zeilennummer ändern");
    case Caption:
        return QStringLiteral("Überschrift ändern");
    case Text:
        return QStringLiteral("Text unter der Tessaplan ändern");
    case NumberFont:
        return QStringLiteral("Schriftart für Zeilen/Spaltennummern ändern");
    case CaptionFont:
        return QStringLiteral("Schriftart für die Überschrift ändern");
    case TextFont:
        return QStringLiteral("Schriftart für den Text ändern");
    case Legende:
        return QStringLiteral("Legende umschalten");
    case Inst:
        return QStringLiteral("Instruktionen in der Legende umschalten");
    case Tessaplan:
        return QStringLiteral("Tessaplan umschalten");
    default:
        return QStringLiteral("Einstellungen ändern");
    }
}

} // namespace settingsfields
