#pragma once

#include "dib.h"

// Independent copy of `di` (same size, depth, colour table and pixels). Without picture, or
// when memory runs out, the result holds no picture; nothing is reported.
dib copyDib(const dib& di);

// As copyDib, but a failed allocation is reported to the user with
// "Fehler: nicht genug Speicher für diese Operation!".
dib MakeDIBCopy(const dib& di);

// Replaces `di` by a resampled copy of breit x hoch pixels (each clamped to at least 1):
// nearest neighbour in 10-bit fixed point, bilinear only for enlarging 24-bit pictures with
// `interpol`. Returns false and leaves `di` untouched when the new picture cannot be created.
bool ResizeDIB(dib& di, std::int32_t breit, std::int32_t hoch, bool interpol);

// Message shown when a picture cannot be copied.
extern const char16_t* const kNotEnoughMemoryText;
