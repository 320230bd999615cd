#pragma once

#include "ImageOp.h"
#include "OpMessage.h"
#include "foundation/dib.h"

#include <QList>

#include <cstdint>

namespace imageops {

struct ColourCount {
    std::int64_t count = 0;
    OpStatus status = OpStatus::Done; // NoMemory or Stopped: count is 0
};

// Distinct colours (24 bits) or palette indexes (other depths; two indexes of the same colour
// count twice) among the pixels of the picture, or of the selection when one is active.
[[nodiscard]] ColourCount CountColors(const dib& di, const Selection& selection = {},
                                      const ProgressCallback& progress = {});

// What the command "Benutzte Farben zählen" shows for a count, in this order.
QList<OpMessage> countColorsMessages(const ColourCount& result, bool selectionActive);

} // namespace imageops
