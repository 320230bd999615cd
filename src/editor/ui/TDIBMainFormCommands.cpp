// Commands of "Bearbeiten" and "Auswahl": each calls the document, which repaints and refreshes
// the commands.
#include "TDIBMainForm.h"

#include "image/ImageDocument.h"

void TDIBMainForm::Rckgngig1Click() {
    doc().LoadFromUndo();
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
