#pragma once

// Work without a window, for scripts and batch jobs:
//   tessaplan-designer --export CHART.tpd OUT.png [--dpi N]
//   tessaplan-designer --pdf CHART.tpd OUT.pdf [--with-instructions]
//   tessaplan-designer --instructions CHART.tpd OUT.txt
//   tessaplan-designer --from-picture PICTURE OUT.tpd [--width W] [--colours N] [--gauge S/R]
//                      [--dither]
//   tessaplan-designer --thumbnail CHART.tpd OUT.png SIZE
//   tessaplan-designer --version
//   tessaplan-designer --help
// and the image editor on its own (a window, so not handled here):
//   tessaplan-designer --image [PICTURE]
#include <QString>
#include <QStringList>

namespace commandline {

// True when the arguments ask for work without a window.
bool wanted(int argc, char** argv);

// The image editor on its own: `--image [PICTURE]`, or a picture file (known by its extension)
// as the only argument, as file managers pass it. `wrongUse` when more than one picture is
// named.
struct ImageEditorCall {
    bool wanted = false;
    bool wrongUse = false;
    QString file; // empty: a new picture
};
ImageEditorCall imageEditorCall(const QStringList& arguments);

// Runs it; returns the exit status (0 success, 1 failure, 2 wrong use).
int run(int argc, char** argv);

} // namespace commandline
