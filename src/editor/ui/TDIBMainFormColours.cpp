// Commands of "Farben": the adjustments with their preview dialogs, the direct colour commands,
// the palette files and the colour count.
#include "TDIBMainForm.h"

#include "foundation/UserMessage.h"
#include "foundation/ui/FileDialogs.h"
#include "image/ImageDocument.h"
#include "imageops/Adjustments.h"
#include "imageops/ColorCount.h"
#include "imageops/Depth.h"
#include "imageops/PaletteFile.h"
#include "imageops/ui/TColizeForm.h"
#include "imageops/ui/TGammaForm.h"
#include "imageops/ui/THKForm.h"
#include "imageops/ui/TLightForm.h"
#include "imageops/ui/TPosterFaktor.h"
#include "imageops/ui/TRGBForm.h"
#include "imageops/ui/TSolarfaktor.h"

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
    changeImage([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibGrayscale(di, sel, bar);
    });
}

void TDIBMainForm::HistogramFunktionen1Click() {
    changeImage([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::StretchHistogramm(di, sel, bar);
    });
}

void TDIBMainForm::Farbenumkehren1Click() {
    changeImage([](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibInvert(di, sel, bar);
    });
}

void TDIBMainForm::Tiefebeschrnken1Click() {
    TPosterFaktor form(this);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const int faktor = form.params().faktor();
    changeImage([faktor](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibPoster(di, faktor, sel, bar);
    });
}

void TDIBMainForm::Solarisieren1Click() {
    TSolarfaktor form(this);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const int grenzwert = form.params().grenzwert;
    changeImage([grenzwert](dib& di, const Selection& sel, const ProgressCallback& bar) {
        return imageops::DibSolar(di, grenzwert, sel, bar);
    });
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
    const imageops::PaletteCommandResult result = imageops::loadpal0(
        d.di.get(), path,
        [&d](const imageops::OpMessage& question) -> std::optional<bool> {
            const UserAnswer answer = askUser(question.icon, question.text, question.caption);
            // Dismissed, the question leaves the picture and the undo steps as they were.
            if (answer == UserAnswer::Cancel) {
                return std::nullopt;
            }
            d.settleFloating();
            if (!d.SaveForUndo()) {
                return std::nullopt;
            }
            // The picture changes its depth: floating pixels of the old one are merged first.
            d.FinishDraging();
            return answer == UserAnswer::Yes;
        },
        progress());
    WMProgress(0);
    showMessages(result.messages);
    if (result.status == OpStatus::Done) {
        d.setcol1(0);
        d.setcol2(std::int32_t(imageops::lastColour(DIBBitCount(d.di.get()))));
    }
    paletteChanged();
    d.imageChanged();
    UpdateMenuItems();
}

void TDIBMainForm::Paletteladen1Click() {
    const QString path =
        filedialogs::getOpenFileName(this, kLoadCaption, imageops::paletteFileFilter());
    if (path.isEmpty()) {
        return;
    }
    ImageDocument& d = doc();
    d.settleFloating();
    if (!d.SaveForUndo()) {
        return;
    }
    const imageops::PaletteCommandResult result = imageops::loadpal(d.di.get(), path);
    showMessages(result.messages);
    afterImageChange(result.status);
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
