#pragma once

#include "designer/PageSettings.h"

#include <QString>

// The page settings field by field, for telling which one a change touched and naming it.
namespace settingsfields {

enum Field : int {
    BreitMm,
    BreitLegendeMm,
    RandMm,
    PenWidMm,
    AlleRechts,
    ErsteRechts,
    DontShowLinks,
    FirstRow,
    Caption,
    Text,
    NumberFont,
    CaptionFont,
    TextFont,
    Legende,
    Inst,
    Tessaplan,
    kCount
};
constexpr int kNone = -2;    // no field differs
constexpr int kSeveral = -1; // more than one field differs

// The one field in which `a` and `b` differ, kNone or kSeveral.
int difference(const PageSettings& a, const PageSettings& b);
// Text and number fields, whose edits arrive keystroke by keystroke.
bool typed(int field);
// What changing the field is called ("Überschrift ändern").
QString changeText(int field);

} // namespace settingsfields
