// Printing the image on one page of the editor's printer, a real one or a PDF file.
#include "TDIBMainForm.h"

#include "PrintLayout.h"
#include "TPrintForm.h"
#include "foundation/UserMessage.h"
#include "image/ImageDocument.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// The printable part of the printer's page in its own pixels; the painter's origin lies at its
// corner.
QSize printableSize(const QPrinter& p) {
    return p.pageLayout().paintRectPixels(p.resolution()).size();
}

} // namespace

QPrinter& TDIBMainForm::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

void TDIBMainForm::Druckereinrichten1Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void TDIBMainForm::Drucken1Click() {
    ImageDocument& d = doc();
    d.settleFloating();
    TPrintForm form(this);
    form.di = &d.di.get();
    form.pageSize = [this] { return printableSize(printer()); };
    form.printerSetup = [this] { Druckereinrichten1Click(); };
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    // The printer itself, or a PDF file, is chosen as everywhere on this desktop.
    QPrinter& p = printer();
    const bool chosen =
        choosePrinter ? choosePrinter(p) : QPrintDialog(&p, this).exec() == QDialog::Accepted;
    if (!chosen) {
        return;
    }
    p.setDocName(QStringLiteral("Bild bearbeiten Bild"));
    QPainter painter;
    if (!painter.begin(&p)) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Der Drucker konnte nicht gestartet werden."));
        return;
    }
    printPicture(painter, d.di.get(), printableSize(p), form.choice());
    painter.end();
}
