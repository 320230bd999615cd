#pragma once

#include "foundation/OwnedDib.h"

#include <QString>

#include <cstdint>

// The picture every image-operation benchmark works on, so that figures compare across
// operations: 4000 x 3000 pixels of smooth random colour noise (soft blobs of colour with a
// little grain, about a million distinct colours), the same bytes in every run.
namespace benchpicture {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A new copy of the picture at 24 bits (made once, copied on every call).
OwnedDib smoothNoise24();

// Writes the picture as a binary PPM file (top row first, RGB).
bool writeSmoothNoisePpm(const QString& file);

// The picture as a binary PPM file in a folder that lives until the program ends, for
// running ImageMagick on the same pixels in the same run.
QString smoothNoisePpm();

// Runs a shell command, returns false when it fails (ImageMagick missing, say).
bool runCommand(const QString& command);

} // namespace benchpicture
