#pragma once

#include "designer/TStich.h"
#include "foundation/TDynaArrayOf.h"

#include <QString>

#include <cstddef>

// The built-in set of standard hand-knitting stitches a new user starts with: plain and twisted
// stitches, yarn overs, decreases and increases, slipped stitches, a bobble, cable crossings
// from 1/1 to 3/3 in both directions (knit and purl variants), the edge stitch, binding off
// and "keine Masche". "rechts" comes first, so that a new chart is knitted plain.
//
// Every stitch has both instructions written as a knitter works them: a symbol stands for what
// shows on the right side, so a wrong-side row works the opposite (a knit stitch is purled,
// a right-leaning decrease is a purled one leaning the same way, a cable is crossed from the
// back). Symbols are drawn here at the size of a new stitch picture, 100 pixels per cell of
// the stitch's width and 100 high, black on white as 1-bit pictures.
namespace standardstitches {

// Number of stitches in the set.
std::size_t count();
// Name of stitch `k` of the set.
QString name(std::size_t k);

// Fills the empty `out` with stitch `k` of the set. False when memory ran out; `out` then
// owns nothing.
bool make(std::size_t k, TStich& out);

// Appends, in the set's order, every standard stitch whose name the library does not hold yet.
// Returns how many were added; -1 when memory ran out (the stitches added until then stay).
int addMissing(TDynaArrayOf<TStich>& stiche);

// The stitch that mirrors `name` from left to right: the decrease, increase or cable leaning
// or crossing the other way. Empty for stitches that look the same mirrored.
QString mirrorPartner(const QString& name);

} // namespace standardstitches
