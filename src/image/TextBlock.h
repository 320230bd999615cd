#pragma once

#include "foundation/OwnedDib.h"

#include <QFont>
#include <QSize>
#include <QStringList>

// The text tool's block of text: the lines the user typed, the font and the alignment of the
// lines against the widest one.
struct TextBlock {
    enum class Alignment { Left, Centre, Right };
    QStringList lines;
    QFont font;
    Alignment alignment = Alignment::Left;
};

// Width of the widest line by height of all lines together, in pixels of a 96 dpi picture.
QSize textBlockSize(const TextBlock& text);

// The block as a 1-bit mask of textBlockSize() pixels, 1 where the text is, drawn without
// smoothing: the lines from the top down, each left-aligned, centred (its left margin rounded
// down) or right-aligned within the widest line. Holds no picture when the block is empty or
// memory is short.
OwnedDib renderTextMask(const TextBlock& text);
