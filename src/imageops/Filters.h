#pragma once

#include "FilterType.h"
#include "ImageOp.h"

// The 5 x 5 convolution engine behind the built-in and the user-defined filters.
namespace imageops {

// What the window shows (caption "Fehler", error icon) when DibFilter returns NoMemory.
inline const QString kFilterNoMemoryText =
    QStringLiteral("Fehler: Nicht genügent Speicher für diese Aktion!");
inline const QString kFilterNoMemoryCaption = QStringLiteral("Fehler");

// Convolves a 24-bit picture with `fil`: for blue, green and red separately, the weighted sum
// of the 5 x 5 neighbourhood (32-bit, wrapping), divided by `divisor` truncating toward zero,
// plus `bias`, clamped to 0...255. Neighbours always come from the unfiltered picture; beyond
// the edges the nearest edge pixel repeats. Only selected pixels change.
//
// Unchanged for pictures of 8 bits or fewer and for a divisor of 0 (which no caller may pass);
// NoMemory (picture untouched) when the few work rows cannot be had. The callback sees the
// row percentage and 0 at the start and end; the filter does not stop early.
//
// The caller records the undo step before the call, whatever it returns.
[[nodiscard]] OpStatus DibFilter(dib& di, const filtertype& fil, const Selection& selection = {},
                                 const ProgressCallback& progress = {});

} // namespace imageops
