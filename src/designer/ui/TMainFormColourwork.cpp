// A new colourwork chart from a picture file, from the main window's side.
#include "TMainForm.h"

#include "ProgressDialogScope.h"
#include "TFarbmusterForm.h"
#include "designer/ColourworkStitches.h"
#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/OwnedDib.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"

#include <QApplication>
#include <QFileInfo>

namespace {

// The values last confirmed, offered again for the next picture of this run.
colourwork::Params& lastParams() {
    static colourwork::Params params;
    return params;
}

} // namespace

void TMainForm::BildalsFarbmusterimportieren1Click() {
    // The chart is replaced as by "Neu...", so the same question comes first.
    if (!askToSaveBeforeNew()) {
        return;
    }
    const QString fileName = filedialogs::getOpenFileName(
        this, QStringLiteral("Bild als Farbmuster importieren"), grafikrw3::GetDIBOpenFilter());
    if (fileName.isEmpty()) {
        return;
    }
    OwnedDib picture;
    {
        ProgressDialogScope progress(this, QStringLiteral("Das Bild wird geladen …"));
        grafikrw3::OpenDib(&picture.get(), fileName, 0, progress.callback());
    }
    if (!picture) {
        showUserMessage(
            MessageIcon::Error,
            QStringLiteral("Das Bild „%1“ konnte nicht gelesen werden. %2")
                .arg(QFileInfo(fileName).fileName(), grafikrw3::dibErrorText(picture.get())));
        return;
    }

    TFarbmusterForm dialog(picture.get(), QFileInfo(fileName).fileName(), this);
    dialog.setParams(lastParams());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    lastParams() = dialog.params();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const colourwork::BuildStatus status =
        colourwork::buildColourworkChart(doc, dialog.chart(), memory::budgetBytes());
    QApplication::restoreOverrideCursor();
    if (status == colourwork::BuildStatus::NoMemory ||
        status == colourwork::BuildStatus::Incomplete) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
    }
    if (status != colourwork::BuildStatus::Done && status != colourwork::BuildStatus::Incomplete) {
        return; // the old chart stays
    }
    doc.afilename.clear();
    PaintBox1Paint();
    // Unlike an empty new chart, this one holds work that exists nowhere else yet.
    SetChanged();
}
