// The image editor window around its document: embedding, installing pictures, the hand-over,
// and the window's side of the document's reports (caption, status, colours, zoom list).
#include "TDIBMainForm.h"

#include "ColourPanel.h"
#include "foundation/ui/TPaintBox.h"
#include "image/ui/TMDIChild.h"

#include <QComboBox>
#include <QLayout>

void TDIBMainForm::embedDocument() {
    MDIChild1 = new TMDIChild(ClientArea);
    ClientArea->layout()->addWidget(MDIChild1);
    // The document reads the tool and its options at every press and move in the picture.
    MDIChild1->toolOptions = [this] { return toolOptions(); };
    MDIChild1->doc().setEditorHost(this);
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
    colours_->showColor(which, color);
}

void TDIBMainForm::showColorReadout(const ColorReadout& readout) {
    colours_->showColorReadout(readout);
}

void TDIBMainForm::AColTimer1Timer() {
    colours_->AColTimer1Timer();
}

void TDIBMainForm::selectZoomBoxIndex(int index) {
    // Only the user's choice runs ZoomBoxChange (its `activated` signal); this does not.
    if (ZoomBox->currentIndex() != index) {
        ZoomBox->setCurrentIndex(index);
    }
}

void TDIBMainForm::paletteChanged() {
    colours_->paletteChanged();
}
