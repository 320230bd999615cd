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

// Lifting and merging the selection change no pixel: they record no undo step.
void TDIBMainForm::VomUntergrundlsen1Click() {
    ImageEdit edit = doc().beginEdit(UndoStep::None);
    doc().MakeSelectionDragable();
    edit.finish(imageops::OpStatus::Done);
}

void TDIBMainForm::MitUntergrundverschmelzen1Click() {
    ImageEdit edit = doc().beginEdit(UndoStep::None);
    doc().FinishDraging();
    edit.finish(imageops::OpStatus::Done);
}
