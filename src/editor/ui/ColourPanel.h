#pragma once

#include "TShape.h"

#include "foundation/OwnedDib.h"
#include "image/DocumentHost.h"

#include <QWidget>

class ImageDocument;
class QColorDialog;
class QLabel;
class QScrollArea;
class QTimer;
class QToolButton;
class TPaintBox;

// The colours of the image editor: the foreground and background swatches with the colour
// dialog, the swap button, the read-out of red, green, blue and palette index that goes idle
// three seconds after it was last started, and below them the image's palette (two cells a row)
// or, for 24-bit images, the hue and lightness picker. The colours belong to the document; the
// panel shows them (the window passes the document's showColor and showColorReadout on).
class ColourPanel : public QWidget {
    Q_OBJECT

public:
    explicit ColourPanel(QWidget* parent = nullptr);
    ~ColourPanel() override;

    // The document whose colours and palette the panel shows and sets; may be null.
    void setDocument(ImageDocument* doc);

    // The colour count of the image: 2^bits (2, 16, 256, 16777216), 0 without an image.
    std::uint32_t colourCount() const;

    // Shape1 (which 1) or Shape2 (which 2) shows `color`.
    void showColor(int which, QRgb color);
    // The read-out of a colour: labels, AColShape, and the timer started unless it runs.
    void showColorReadout(const ColorReadout& readout);
    // The image or its palette changed: size and repaint the palette display.
    void paletteChanged();

    // Handlers; positions are paint-box pixels.
    void PalPaintBoxPaint(QPainter& painter);
    void PalPaintBoxMouseDown(Qt::MouseButton button, int x, int y);
    void PalPaintBoxMouseMove(int x, int y);
    void Shape1MouseDown();
    void Shape2MouseDown();
    void Shape1MouseMove();
    void Shape2MouseMove();
    void ColorChangeBtnClick();
    void AColTimer1Timer();

    // The picker picture: 48 x 96 pixels of 24 bits, hue from top to bottom, lightness from
    // left to right. No pixels when memory was short at start.
    OwnedDib pal24dib;

    QWidget* Panel2;
    TShape* Shape1;
    TShape* Shape2;
    QToolButton* ColorChangeBtn;
    QLabel* RedLabel;
    QLabel* GreenLabel;
    QLabel* BlueLabel;
    QLabel* IndexLabel;
    TShape* AColShape;
    QScrollArea* PalScrollBox;
    TPaintBox* PalPaintBox;
    QTimer* AColTimer1;
    QColorDialog* ColorDialog1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseSwatchColour(int which);
    void swatchReadout(int which);
    void setReadout(int red, int green, int blue, const QString& index);
    void sizePaintBox();

    ImageDocument* doc_ = nullptr;
};

// The picker's colour at picture column x (0 to 47) and row y (0 to 95), and the colour a
// press at paint-box point (x, y) chooses.
QRgb pickerColour(int x, int y);
