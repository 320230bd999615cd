#pragma once

#include <QColor>

class QPainter;

// The pictures the chart window's and the image editor's tool bars share, drawn in one place on
// a 24 x 24 design grid (a painter scaled to the button's size), with their colours.
namespace toolbarpictures {

inline const QColor kInk{52, 73, 94};
inline const QColor kPaper{250, 251, 252};
inline const QColor kAccent{52, 120, 198};
inline const QColor kFolder{232, 178, 62};

// A page with a few chart cells: a new file.
void drawNew(QPainter& p);
// An opened folder.
void drawOpen(QPainter& p);
// A floppy disk.
void drawSave(QPainter& p);
// A curved arrow turning back to the left; its mirror image is redo.
void drawUndo(QPainter& p);

} // namespace toolbarpictures
