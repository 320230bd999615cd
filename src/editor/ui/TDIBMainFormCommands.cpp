// Commands of "Bearbeiten", "Auswahl" and the colour-depth menus: each gathers its input, calls
// the document or the operation and lets the document repaint and refresh the commands.
#include "TDIBMainForm.h"

#include "foundation/UserMessage.h"
#include "image/ImageDocument.h"
#include "imageops/Depth.h"
#include "imageops/ui/TDepthDownForm.h"
#include "imageops/ui/TFreeDepthForm.h"

void TDIBMainForm::Rckgngig1Click() {
    ImageDocument& d = doc();
    if (d.CanUndo <= 0) {
        return;
    }
    const int bitsBefore = DIBBitCount(d.di.get());
    d.LoadFromUndo();
    const int bits = DIBBitCount(d.di.get());
    if (bits != bitsBefore) {
        // Colour values mean palette indexes at one depth and RGB at another: the colours of
        // the undone depth would paint wrongly. They start again as for a new image.
        d.setcol1(0);
        d.setcol2(std::int32_t(imageops::lastColour(bits)));
    } else {
        // The palette may be the older one again: the swatches show its entries.
        d.setcol1(d.col1);
        d.setcol2(d.col2);
    }
}

void TDIBMainForm::Allesauswhlen1Click() {
    doc().SelectAll();
}

void TDIBMainForm::Nichtauswhlen1Click() {
    doc().SelectNone();
}

void TDIBMainForm::Auswahlumkeheren1Click() {
    doc().InvertSelection();
}

void TDIBMainForm::VomUntergrundlsen1Click() {
    doc().MakeSelectionDragable();
    UpdateMenuItems();
}

void TDIBMainForm::MitUntergrundverschmelzen1Click() {
    if (doc().DragingNotFinished) {
        doc().FinishDraging();
    }
    UpdateMenuItems();
}

void TDIBMainForm::settleFloating() {
    doc().settleFloating();
}

// Colour depth --------------------------------------------------------------------------------

void TDIBMainForm::N2Farbent1Bit1Click() {
    depthDown(1);
}

void TDIBMainForm::N16Farbent4Bit1Click() {
    depthDown(4);
}

void TDIBMainForm::N256Farbent8Bit1Click() {
    depthDown(8);
}

void TDIBMainForm::XFarben4Bit8Bit1Click() {
    depthDown(0);
}

void TDIBMainForm::N16Farbent4Bit2Click() {
    depthUp(4);
}

void TDIBMainForm::N256Farbent8Bit2Click() {
    depthUp(8);
}

void TDIBMainForm::N16MillionenFarbent24Bit1Click() {
    depthUp(24);
}

void TDIBMainForm::depthDown(int nbpp) {
    ImageDocument& d = doc();
    imageops::DepthDownParams params;
    // The dialog comes first, so that cancelling leaves no undo step behind.
    if (nbpp == 0) {
        TFreeDepthForm form(this);
        form.prepare(DIBBitCount(d.di.get()));
        if (form.exec() != QDialog::Accepted) {
            return;
        }
        params = form.params();
    } else {
        TDepthDownForm form(this);
        form.prepare(nbpp);
        if (form.exec() != QDialog::Accepted) {
            return;
        }
        params = form.params();
    }
    settleFloating();
    if (!d.SaveForUndo()) {
        return;
    }
    // The floating pixels and the background under them keep the old depth: merge them first.
    d.FinishDraging();
    afterDepthChange(imageops::DepthDownTo(d.di.get(), params, progress()));
}

void TDIBMainForm::depthUp(int nbpp) {
    ImageDocument& d = doc();
    settleFloating();
    if (!d.SaveForUndo()) {
        return;
    }
    d.FinishDraging();
    afterDepthChange(imageops::DepthUpTo(d.di.get(), nbpp, progress()));
}

void TDIBMainForm::afterDepthChange(imageops::OpStatus status) {
    WMProgress(0);
    ImageDocument& d = doc();
    if (status == imageops::OpStatus::Done) {
        d.setcol1(0);
        d.setcol2(std::int32_t(imageops::lastColour(DIBBitCount(d.di.get()))));
    } else if (const QString text = imageops::depthFailureText(status); !text.isEmpty()) {
        showUserMessage(MessageIcon::Error, text);
    }
    paletteChanged();
    d.imageChanged();
    UpdateMenuItems();
}
