// Commands of "Farben": the adjustments with their preview dialogs, the direct colour commands,
// the colour depth, the palette files and editor, and the colour count.
#include "TDIBMainForm.h"

#include "TPaleditForm.h"

#include "foundation/UserMessage.h"
#include "foundation/ui/FileDialogs.h"
#include "image/ImageDocument.h"
#include "imageops/Adjustments.h"
#include "imageops/ColorCount.h"
#include "imageops/Depth.h"
#include "imageops/PaletteFile.h"
#include "imageops/ui/TColizeForm.h"
#include "imageops/ui/TDepthDownForm.h"
#include "imageops/ui/TFreeDepthForm.h"
#include "imageops/ui/TGammaForm.h"
#include "imageops/ui/THKForm.h"
#include "imageops/ui/TLightForm.h"
#include "imageops/ui/TPosterFaktor.h"
#include "imageops/ui/TRGBForm.h"
#include "imageops/ui/TSolarfaktor.h"

#include <optional>

using imageops::OpStatus;
using imageops::Selection;

namespace {

const QString kLoadCaption = QStringLiteral("Palette laden");
const QString kSaveCaption = QStringLiteral("Palette speichern");

// The adjustment dialogs change only the selected pixels of true-colour pictures and report
// their progress in the window's bar.
template <typename Form, typename Params>
void prepare(Form& form, const Params& preset, const ImageDocument& d, ProgressCallback bar) {
    form.setParams(preset);
    form.setSelection(d.selection());
    form.setProgress(std::move(bar));
}

} // namespace

// "Anpassen" and "Colorieren": preview dialogs --------------------------------------------

void TDIBMainForm::HelligkeitundKontrast1Click() {
    THKForm form(this);
    prepare(form, imageops::HKParams{0, 100, 0}, doc(), progress());
    runPreview(form);
}

void TDIBMainForm::GammaKorrektion1Click() {
    TGammaForm form(this);
    prepare(form, imageops::GammaParams{1.8}, doc(), progress());
    runPreview(form);
}

void TDIBMainForm::GlanzlichtMitteSchatten1Click() {
    TLightForm form(this);
    prepare(form, imageops::LightParams{255, 128, 0}, doc(), progress());
    runPreview(form);
}

void TDIBMainForm::RotGrnBlau1Click() {
    TRGBForm form(this);
    prepare(form, imageops::RGBParams{0, 0, 0}, doc(), progress());
    runPreview(form);
}

void TDIBMainForm::Colorieren1Click() {
    TColizeForm form(this);
    prepare(form, imageops::ColizeParams{128, 128}, doc(), progress());
    runPreview(form);
}

// Direct commands and the two value dialogs ------------------------------------------------

void TDIBMainForm::Graustufen1Click() {
    changeInPlace([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibGrayscale(di, sel, bar);
    });
}

void TDIBMainForm::HistogramFunktionen1Click() {
    changeInPlace([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::StretchHistogramm(di, sel, bar);
    });
}

void TDIBMainForm::Farbenumkehren1Click() {
    changeInPlace([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibInvert(di, sel, bar);
    });
}

void TDIBMainForm::Tiefebeschrnken1Click() {
    askThenChange<TPosterFaktor>(
        [](const imageops::PosterParams& p, dib& di, const Selection& sel,
           const ProgressCallback& bar) { return imageops::DibPoster(di, p.faktor(), sel, bar); });
}

void TDIBMainForm::Solarisieren1Click() {
    askThenChange<TSolarfaktor>(
        [](const imageops::SolarParams& p, dib& di, const Selection& sel,
           const ProgressCallback& bar) { return imageops::DibSolar(di, p.grenzwert, sel, bar); });
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
    changeDepth([&](dib& image) { return imageops::DepthDownTo(image, params, progress()); });
}

void TDIBMainForm::depthUp(int nbpp) {
    changeDepth([&](dib& image) { return imageops::DepthUpTo(image, nbpp, progress()); });
}

void TDIBMainForm::changeDepth(const std::function<imageops::OpStatus(dib&)>& convert) {
    ImageDocument& d = doc();
    ImageEdit edit = d.beginEdit();
    if (!edit) {
        return;
    }
    // The floating pixels and the background under them keep the old depth: merge them first.
    d.FinishDraging();
    edit.coloursStartAgain();
    const imageops::OpStatus status = edit.finish(convert(edit.image()));
    WMProgress(0);
    if (const QString text = imageops::depthFailureText(status); !text.isEmpty()) {
        showUserMessage(MessageIcon::Error, text);
    }
}

// Palette files ----------------------------------------------------------------------------

void TDIBMainForm::PaletteladenBildanpassen1Click() {
    // The file and the question first: cancelling either leaves no undo step behind.
    const QString path =
        filedialogs::getOpenFileName(this, kLoadCaption, imageops::paletteFileFilter());
    if (path.isEmpty()) {
        return;
    }
    ImageDocument& d = doc();
    // The step is recorded once the question is answered.
    std::optional<ImageEdit> edit;
    const imageops::PaletteCommandResult result = imageops::loadpal0(
        d.di.get(), path,
        [&](const imageops::OpMessage& question) -> std::optional<bool> {
            const UserAnswer answer = askUser(question.icon, question.text, question.caption);
            // Dismissed, the question leaves the picture and the undo steps as they were.
            if (answer == UserAnswer::Cancel) {
                return std::nullopt;
            }
            edit.emplace(d.beginEdit());
            if (!*edit) {
                return std::nullopt;
            }
            // The picture changes its depth: floating pixels of the old one are merged first.
            d.FinishDraging();
            edit->coloursStartAgain();
            return answer == UserAnswer::Yes;
        },
        progress());
    WMProgress(0);
    showMessages(result.messages);
    if (!edit) {
        edit.emplace(d.beginEdit(UndoStep::None));
    }
    edit->finish(result.status);
}

void TDIBMainForm::Paletteladen1Click() {
    const QString path =
        filedialogs::getOpenFileName(this, kLoadCaption, imageops::paletteFileFilter());
    if (path.isEmpty()) {
        return;
    }
    ImageEdit edit = doc().beginEdit();
    if (!edit) {
        return;
    }
    const imageops::PaletteCommandResult result = imageops::loadpal(edit.image(), path);
    showMessages(result.messages);
    showOutcome(edit.finish(result.status));
}

void TDIBMainForm::Palettespeichern1Click() {
    if (!imageops::hasFilePalette(doc().di.get())) {
        return;
    }
    const filedialogs::SaveChoice choice = filedialogs::getSaveFileName(
        this, kSaveCaption, imageops::paletteFileFilter(),
        QLatin1Char('.') + QLatin1String(imageops::kPaletteFileSuffix));
    if (choice.fileName.isEmpty()) {
        return;
    }
    showMessages(imageops::savepal(doc().di.get(), choice.fileName).messages);
}

// "Palette editieren...": no undo step and no change mark, as the palette is not the picture's
// content; the pixels keep their indexes and so change colour with their entries.
void TDIBMainForm::Paletteeditieren1Click() {
    if (!doc().di || DIBBitCount(doc().di.get()) > 8) {
        return;
    }
    TPaleditForm form(this);
    form.pal = doc().di->pal;
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    ImageEdit edit = doc().beginEdit(UndoStep::None); // no undo step
    form.applyTo(edit.image());
    edit.finish(OpStatus::Done);
}

// Counting colours --------------------------------------------------------------------------

void TDIBMainForm::BenutzteFarbenzhlen1Click() {
    const ImageDocument& d = doc();
    const imageops::ColourCount count =
        imageops::CountColors(d.di.get(), d.selection(), progress());
    WMProgress(0);
    showMessages(imageops::countColorsMessages(count, d.selaktiv));
}

void TDIBMainForm::showMessages(const QList<imageops::OpMessage>& messages) {
    for (const imageops::OpMessage& m : messages) {
        showUserMessage(m.icon, m.text, m.caption);
    }
}
