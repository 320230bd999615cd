// Commands of "Bild": mirroring, rotating, new sizes, deformations, effects and filters. Each
// gathers its values (most through a dialog shown before anything changes), lets the document
// or the operation change the picture and repaints; the patterns live at the end of the file.
#include "TDIBMainForm.h"

#include "TUserFilterForm.h"
#include "foundation/Random.h"
#include "foundation/UserMessage.h"
#include "image/ImageDocument.h"
#include "imageops/Effects.h"
#include "imageops/Filters.h"
#include "imageops/Transforms.h"
#include "imageops/UserFilterFile.h"
#include "imageops/ui/TAddBForm.h"
#include "imageops/ui/TButtonForm.h"
#include "imageops/ui/TCanvasSForm.h"
#include "imageops/ui/TDelNoiseForm.h"
#include "imageops/ui/TMosaikForm.h"
#include "imageops/ui/TNoiseForm.h"
#include "imageops/ui/TPerspForm.h"
#include "imageops/ui/TResizeForm.h"
#include "imageops/ui/TRotateForm.h"
#include "imageops/ui/TShadowForm.h"
#include "imageops/ui/TWoelbenForm.h"

#include <optional>

using imageops::OpStatus;
using imageops::Selection;

namespace {

const QString kResizeFailedText = QStringLiteral("Fehler beim Ändern der Größe...");
const QString kNoPictureText =
    QStringLiteral("Fehler: Konnte Bild nicht erstellen! (Zuwenig Speicher?)");

// A turn by any angle can outgrow what a picture may hold.
const QString kRotateFailedText =
    QStringLiteral("Fehler: Das Bild konnte nicht gedreht werden (zu wenig Speicher).");

// Shows `shortageText` when the picture could not be made and reports the command as having
// changed nothing, so that the shortage is told once and in the command's own words.
OpStatus saidOnce(OpStatus status, const QString& shortageText) {
    if (status != OpStatus::NoMemory) {
        return status;
    }
    showUserMessage(MessageIcon::Error, shortageText);
    return OpStatus::Unchanged;
}

int bitsOf(const ImageDocument& d) {
    return int(DIBBitCount(d.di.get()));
}

} // namespace

// Mirroring and rotating -------------------------------------------------------------------

void TDIBMainForm::Horizontalspiegeln1Click() {
    showOutcome(doc().FlipH(progress()));
}

void TDIBMainForm::Vertikalspiegeln1Click() {
    showOutcome(doc().FlipV(progress()));
}

void TDIBMainForm::Rotieren1Click() {
    TRotateForm form(this);
    form.setInterpolAllowed(bitsOf(doc()) == 24);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    showOutcome(saidOnce(doc().rotate(form.params(), progress()), kRotateFailedText));
}

// New sizes -------------------------------------------------------------------------------

void TDIBMainForm::Randhinzufgen1Click() {
    TAddBForm form(this);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const imageops::BorderParams p = form.params();
    if (p.top_ <= 0 && p.bot_ <= 0 && p.lef_ <= 0 && p.rig_ <= 0) {
        return;
    }
    const auto col2 = std::uint32_t(doc().col2);
    newSize([&](const dib& image) { return imageops::AddBorders(image, p, col2, progress()); });
}

void TDIBMainForm::Rahmenvergrern1Click() {
    const dib& image = doc().di.get();
    TCanvasSForm form(this);
    form.setOldSize(DIBWidth(image), DIBHeight(image));
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const imageops::CanvasParams p = form.params();
    if (p.Breit <= 0 && p.Hoch <= 0) {
        return;
    }
    const auto col2 = std::uint32_t(doc().col2);
    newSize([&](const dib& image) { return imageops::NewCanvas(image, p, col2, progress()); });
}

void TDIBMainForm::ZurAuswahlverkleinern1Click() {
    showOutcome(saidOnce(doc().cropToSelection(progress()), kNoPictureText));
}

void TDIBMainForm::Grendern1Click() {
    const dib& image = doc().di.get();
    TResizeForm form(this);
    form.setInterpolAllowed(DIBBitCount(image) > 8);
    form.setOldSize(DIBWidth(image), DIBHeight(image));
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const imageops::ResizeParams p = form.params();
    newSize([&](const dib& image) { return imageops::Resize(image, p, progress()); });
}

// Deformations and effects -------------------------------------------------------------------

void TDIBMainForm::Perspektive1Click() {
    TPerspForm form(this);
    form.setDocumentState(std::uint32_t(doc().col2), doc().selection());
    runPreview(form);
}

void TDIBMainForm::Wlben1Click() {
    TWoelbenForm form(this);
    form.setDocumentState(doc().selection());
    runPreview(form);
}

void TDIBMainForm::Druckknopferstellen1Click() {
    TButtonForm form(this);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const ImageDocument& d = doc();
    imageops::ButtonParams p = form.params();
    p.color = imageops::effectColour(form.colorEntry(), std::uint32_t(d.col1),
                                     std::uint32_t(d.col2), d.di.get());
    changeInPlace([&p](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::Buttonize(di, p, sel, bar);
    });
}

void TDIBMainForm::Schattenhinzufgen1Click() {
    TShadowForm form(this);
    form.setBlendingAllowed(bitsOf(doc()) > 8);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const ImageDocument& d = doc();
    imageops::ShadowParams p = form.params();
    p.color = imageops::effectColour(form.colorEntry(), std::uint32_t(d.col1),
                                     std::uint32_t(d.col2), d.di.get());
    changeInPlace([&p](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DrawShadow(di, p, sel, bar);
    });
}

// Filters -----------------------------------------------------------------------------------

void TDIBMainForm::builtinFilterClick(const imageops::BuiltinFilter& filter) {
    showOutcome(doc().runBuiltinFilter(filter, progress()));
}

void TDIBMainForm::BuiltinFilterItemClick() {
    const QObject* item = sender();
    if (!item) {
        return;
    }
    if (const imageops::BuiltinFilter* filter =
            imageops::findBuiltinFilter(item->objectName().toLatin1().constData())) {
        builtinFilterClick(*filter);
    }
}

void TDIBMainForm::Hinzufgen1Click() {
    askThenChange<TNoiseForm>([](const imageops::NoiseParams& p, dib& di, const Selection& sel,
                                 const ProgressCallback& bar) {
        // Every run adds other noise.
        programrandom::seedFromClock();
        return imageops::AddNoise(di, p, sel, bar);
    });
}

void TDIBMainForm::Entfernen1Click() {
    TDelNoiseForm form(this);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    ImageDocument& d = doc();
    // The command's step, then the operation's own.
    ImageEdit edit = d.beginEdit();
    if (!edit) {
        return;
    }
    showOutcome(edit.finish(d.DelNoise(form.params().Grenze, progress())));
}

void TDIBMainForm::Erweitern1Click() {
    showOutcome(doc().DibDilateFilter(progress()));
}

void TDIBMainForm::Auswachen1Click() {
    showOutcome(doc().DibErodeFilter(progress()));
}

void TDIBMainForm::MosaikEffekt1Click() {
    askThenChange<TMosaikForm>(
        [](const imageops::MosaicParams& p, dib& di, const Selection& sel,
           const ProgressCallback& bar) { return imageops::MosaikEffekt(di, p, sel, bar); });
}

void TDIBMainForm::BenutzerdefinierteFilter1Click() {
    TUserFilterForm form(this);
    form.FileName = userfilters::defaultFilePath();
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    showOutcome(doc().DibFilter(form.choosedf, progress()));
}

// The patterns ------------------------------------------------------------------------------

void TDIBMainForm::changeInPlace(const InPlaceOperation& operation) {
    showOutcome(doc().changeInPlace(operation, progress()));
}

void TDIBMainForm::showOutcome(OpStatus status) {
    WMProgress(0);
    if (status == OpStatus::NoMemory) {
        showUserMessage(MessageIcon::Error, imageops::kFilterNoMemoryText,
                        imageops::kFilterNoMemoryCaption);
    }
}

void TDIBMainForm::newSize(const std::function<OwnedDib(const dib&)>& make) {
    const OpStatus status = doc().changeSize(make);
    WMProgress(0);
    if (status == OpStatus::NoMemory) {
        showUserMessage(MessageIcon::Error, kResizeFailedText);
    }
}

void TDIBMainForm::runPreview(TPreviewForm& form) {
    ImageDocument& d = doc();
    d.settleFloating();
    // The dialog's OK records the step: the edit opens there.
    std::optional<ImageEdit> edit;
    const int result =
        runPreviewDialog(form, {&d.di.get(), [&d] { d.imageChanged(); },
                                [&] {
                                    edit.emplace(d.beginEdit());
                                    if (!*edit) {
                                        edit.reset(); // refused: the dialog stays open
                                        return false;
                                    }
                                    return true;
                                }});
    if (!edit) {
        edit.emplace(d.beginEdit(UndoStep::None)); // the picture is restored: repaint it
    }
    showOutcome(edit->finish(result == QDialog::Accepted ? OpStatus::Done : OpStatus::Unchanged));
}
