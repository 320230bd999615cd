#pragma once

#include <QIcon>
#include <QImage>

// The pictures of the main window's tool bar and the program's own icon, drawn in code so
// that they stay sharp at every screen scale.
namespace toolbaricons {

enum class Kind { New, Open, Save, SaveAs, Print, Undo, Redo };

QIcon icon(Kind kind);

// A chart grid with a few stitches: the program's window icon.
QIcon programIcon();
// The same at `size` x `size` pixels, for the icon files of the installation.
QImage programImage(int size);

} // namespace toolbaricons
