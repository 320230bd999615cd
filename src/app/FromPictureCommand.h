#pragma once

#include <QStringList>

namespace commandline {

// tessaplan-designer --from-picture PICTURE OUT.tpd [--width W] [--colours N] [--gauge S/R]
//                    [--dither]
// Writes a colourwork chart made from the picture as a project file. `arguments` are those
// after --from-picture. Returns the exit status (0 success, 1 failure, 2 wrong use).
int fromPicture(const QStringList& arguments);

} // namespace commandline
