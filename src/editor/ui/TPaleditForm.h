#pragma once

#include "foundation/dib.h"

#include <QDialog>

class QColorDialog;
class QLabel;
class QPushButton;
class TPaintBox;

// "Farbpalette editieren": the palette of a 4- or 8-bit picture as a grid of squares. Pointing
// at a square tells its index and colour, clicking it opens the colour dialog for it. The
// dialog edits a copy; only OK writes it back into the picture (applyTo).
class TPaleditForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCell = 18; // square of 16 pixels and a gap of 2

    explicit TPaleditForm(QWidget* parent = nullptr);

    // The palette being edited; set it before showing the dialog.
    LPAL pal{};

    // Writes the edited palette into `picture`: its logical palette and, for every entry in use,
    // its colour table. The pixels keep their indexes.
    void applyTo(dib& picture) const;

    // Index of the square containing paint-box point (x, y), borders included; -1 in a gap or
    // beside the grid.
    int entryAt(int x, int y) const;

    void PaintBox1Paint(QPainter& painter);
    void PaintBox1MouseDown(int x, int y);
    void PaintBox1MouseMove(int x, int y);

    TPaintBox* PaintBox1;
    QLabel* InfoLabel;
    QPushButton* BitBtn1; // OK
    QPushButton* BitBtn2; // Abbrechen
    QColorDialog* ColorDialog1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
