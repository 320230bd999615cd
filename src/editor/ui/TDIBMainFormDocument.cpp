// The image editor window around its document: embedding, installing pictures, the hand-over,
// and the window's side of the document's reports (caption, status, colours, zoom list).
#include "TDIBMainForm.h"

#include "TShape.h"
#include "foundation/ui/TPaintBox.h"
#include "image/ui/TMDIChild.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QTimer>

namespace {

constexpr int kReadoutInterval = 3000; // ms until the colour read-out returns to dashes
const QColor kIdleReadout(128, 128, 128);

QLabel* makeReadout(QWidget* parent, const char* name, const char* text, int top) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(0, top, 38, 16);
    return label;
}

} // namespace

void TDIBMainForm::embedDocument() {
    MDIChild1 = new TMDIChild(ClientArea);
    ClientArea->layout()->addWidget(MDIChild1);
    // The document reads the tool and its options at every press and move in the picture.
    MDIChild1->toolOptions = [this] { return toolOptions(); };
    MDIChild1->doc().setEditorHost(this);
}

void TDIBMainForm::createColourArea() {
    // Shape2 lies under Shape1: created first, it is drawn first.
    Shape2 = new TShape(QStringLiteral("Shape2"), Panel2);
    Shape2->setGeometry(21, 16, 28, 25);
    Shape1 = new TShape(QStringLiteral("Shape1"), Panel2);
    Shape1->setGeometry(5, 2, 28, 25);
    Shape1->setBrushColor(Qt::black);
    RedLabel = makeReadout(Panel2, "RedLabel", "R --", 48);
    GreenLabel = makeReadout(Panel2, "GreenLabel", "G --", 64);
    BlueLabel = makeReadout(Panel2, "BlueLabel", "B --", 80);
    IndexLabel = makeReadout(Panel2, "IndexLabel", "I  --", 96);
    AColShape = new TShape(QStringLiteral("AColShape"), Panel2);
    AColShape->setGeometry(40, 56, 9, 41);
    AColShape->setBrushColor(kIdleReadout);
    AColShape->hide();
    AColTimer1 = new QTimer(this);
    AColTimer1->setObjectName(QStringLiteral("AColTimer1"));
    AColTimer1->setInterval(kReadoutInterval);
    connect(AColTimer1, &QTimer::timeout, this, &TDIBMainForm::AColTimer1Timer);
}

ImageDocument& TDIBMainForm::doc() {
    return MDIChild1->doc();
}

const ImageDocument& TDIBMainForm::doc() const {
    return MDIChild1->doc();
}

void TDIBMainForm::NewWindow(OwnedDib bitmap, const QString& name) {
    // The document frees what belonged to the previous image, shows the new one at 1:1 and
    // reports caption, zoom list, colours and commands back here.
    doc().installImage(std::move(bitmap), name);
}

OwnedDib TDIBMainForm::takePicture() {
    // Floating pixels are composed into the image wherever they show, moving, following the
    // pointer or put down, so the image is exactly what the user sees.
    OwnedDib blank = makeWhiteImage(kStartWidth, kStartHeight);
    if (!blank) {
        blank = makeWhiteImage(1, 1); // memory is short: any picture keeps the document whole
    }
    OwnedDib shown = std::move(doc().di);
    NewWindow(std::move(blank), QStringLiteral("NONAME"));
    return shown;
}

void TDIBMainForm::UpdateAllColors() {
    doc().imageChanged();
}

menustate::Input TDIBMainForm::documentMenuState() const {
    const ImageDocument& d = doc();
    menustate::Input input;
    input.bitsPerPixel = d.di ? int(DIBBitCount(d.di.get())) : 0;
    input.selaktiv = d.selaktiv;
    input.floating = d.DragingNotFinished;
    input.canUndo = d.CanUndo;
    input.zoomin = d.zoomin;
    input.zoomout = d.zoomout;
    return input;
}

// EditorHost --------------------------------------------------------------------------------

void TDIBMainForm::showColor(int which, QRgb color) {
    if (which == 1) {
        Shape1->setBrushColor(QColor(color));
    } else if (which == 2) {
        Shape2->setBrushColor(QColor(color));
    }
}

void TDIBMainForm::showColorReadout(const ColorReadout& readout) {
    RedLabel->setText(QStringLiteral("R %1").arg(readout.red));
    GreenLabel->setText(QStringLiteral("G %1").arg(readout.green));
    BlueLabel->setText(QStringLiteral("B %1").arg(readout.blue));
    IndexLabel->setText(readout.index < 0 ? QStringLiteral("I  --")
                                          : QStringLiteral("I  %1").arg(readout.index));
    AColShape->setBrushColor(QColor(readout.swatch));
    AColShape->show();
    // A running timer keeps running: the read-out ends three seconds after it began.
    if (!AColTimer1->isActive()) {
        AColTimer1->start();
    }
}

void TDIBMainForm::AColTimer1Timer() {
    RedLabel->setText(QStringLiteral("R --"));
    GreenLabel->setText(QStringLiteral("G --"));
    BlueLabel->setText(QStringLiteral("B --"));
    IndexLabel->setText(QStringLiteral("I   --"));
    AColShape->setBrushColor(kIdleReadout);
    AColShape->hide();
    AColTimer1->stop();
}

void TDIBMainForm::selectZoomBoxIndex(int index) {
    // Only the user's choice runs ZoomBoxChange (its `activated` signal); this does not.
    if (ZoomBox->currentIndex() != index) {
        ZoomBox->setCurrentIndex(index);
    }
}

void TDIBMainForm::paletteChanged() {
    PalPaintBox->update();
    Panel2->update();
}
