#pragma once

// Work without a window, for scripts and batch jobs:
//   tessaplan-designer --export CHART.tpd OUT.png [--dpi N]
//   tessaplan-designer --pdf CHART.tpd OUT.pdf
//   tessaplan-designer --instructions CHART.tpd OUT.txt
//   tessaplan-designer --from-picture PICTURE OUT.tpd [--width W] [--colours N] [--gauge S/R]
//                      [--dither]
//   tessaplan-designer --help
namespace commandline {

// True when the arguments ask for work without a window.
bool wanted(int argc, char** argv);

// Runs it; returns the exit status (0 success, 1 failure, 2 wrong use).
int run(int argc, char** argv);

} // namespace commandline
