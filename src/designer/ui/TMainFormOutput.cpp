// Printing and picture export of the chart page.
#include "TMainForm.h"

#include "ProgramWindows.h"
#include "ProgressDialogScope.h"
#include "TAufloesungForm.h"
#include "TSettingsTab.h"
#include "designer/ChartOutput.h"
#include "designer/PageRenderer.h"
#include "foundation/Memory.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QImage>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

void TMainForm::Druckereinrichten1Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
    // A new paper size or orientation shows at once, whatever the user did.
    PaintBox1Paint();
}

void TMainForm::Drucken1Click() {
    QPrinter& p = printer();
    QPrintDialog dialog(&p, this);
    // The dialog's own options page: the written instructions as further sheets.
    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("Anleitung"));
    auto* withInstructions =
        new QCheckBox(QStringLiteral("Anleitung auf weiteren Seiten drucken"), options);
    withInstructions->setObjectName(QStringLiteral("AnleitungDruckenCheck"));
    withInstructions->setChecked(printInstructions_);
    auto* layout = new QVBoxLayout(options);
    layout->addWidget(withInstructions);
    layout->addStretch();
    dialog.setOptionTabs({options});
    if (dialog.exec() == QDialog::Accepted) {
        printInstructions_ = withInstructions->isChecked();
        QSettings().setValue(QStringLiteral("MainForm/AnleitungDrucken"), printInstructions_);
        printTo(p);
    }
}

int TMainForm::printTo(QPrinter& p) {
    p.setDocName(doc.afilename.isEmpty() ? QStringLiteral("unbenannt.tpd")
                                         : QFileInfo(doc.afilename).fileName());
    const int dpi = p.resolution();
    const QRect page = p.pageLayout().paintRectPixels(dpi);
    QPainter painter;
    int pages = 0;
    if (painter.begin(&p)) {
        pages = ChartOutput::printChart(p, painter, doc, TabSheet2->settings(), dpi, page.size(),
                                        printInstructions_);
        painter.end();
    } else {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Der Drucker konnte nicht gestartet werden."));
    }
    restoreScreenLayout();
    return pages;
}

void TMainForm::restoreScreenLayout() {
    // Rendering for another device recorded its sizes; clicks and the palette need the
    // screen's again before the next click.
    doc.cellGrid.valid = false;
    PaintBox1Paint();
    // Lay the page out for the screen now, also when the view is not visible: on an image of
    // the view's resolution, with nothing to draw.
    const int dpi = PaintBox1->logicalDpiX();
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    probe.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    QPainter painter(&probe);
    painter.setClipRect(QRect(0, 0, 0, 0));
    const PageSettings settings = TabSheet2->settings();
    PageRenderer(doc, settings, dpi, false, PaintBox1->width())
        .Drawpage(painter, QRect(-2, -2, 1, 1));
    PaintBox2Paint();
}

void TMainForm::ExportierenalsBild1Click() {
    TAufloesungForm& resolution = *windows_.AufloesungForm;
    if (resolution.exec() != QDialog::Accepted) {
        return;
    }
    // The type list starts on PNG: lossless, small and read everywhere. Its position in the
    // list is the format code minus 2.
    constexpr int kFilterOffset = grafikrw3::kFirstFormatCode - 1;
    const filedialogs::SaveChoice choice = filedialogs::getSaveFileName(
        this, QStringLiteral("Exportieren als Bild"), grafikrw3::GetDIBSaveFilter(), QString(),
        int(grafikrw3::ImageFormat::Png) - kFilterOffset);
    if (choice.fileName.isEmpty()) {
        return;
    }
    // An extension the user typed decides the format when it names one; otherwise the chosen
    // type's extension is added.
    QString fileName = choice.fileName;
    int code = grafikrw3::formatForExtension(QFileInfo(fileName).suffix());
    if (code == 0) {
        code = choice.filterIndex + kFilterOffset;
        if (grafikrw3::formatExtension(code).isEmpty()) {
            code = int(grafikrw3::ImageFormat::Png);
        }
        if (fileName.endsWith(QLatin1Char('.'))) {
            fileName.chop(1);
        }
        fileName += grafikrw3::formatExtension(code).toLower();
    }
    exportPicture(fileName, code, resolution.DPIEd->value());
}

bool TMainForm::exportPicture(const QString& fileName, int code, int dpi) {
    const PageSettings settings = TabSheet2->settings();
    // The text under the chart wraps as on the printer's page.
    const double pageWidth = printer().pageLayout().paintRect(QPageLayout::Millimeter).width();
    const ChartOutput::ExportPlan plan =
        ChartOutput::planExport(doc, settings, dpi, pageWidth, code, memory::budgetBytes());
    if (!plan.fits) {
        QString text = QStringLiteral("Das Bild wäre bei %1 DPI %2 × %3 Pixel groß und passt nicht "
                                      "in den Arbeitsspeicher.")
                           .arg(dpi)
                           .arg(plan.size.width())
                           .arg(plan.size.height());
        if (plan.suggestedDpi >= 10) {
            text += QStringLiteral(" Bitte wählen Sie eine Auflösung von höchstens %1 DPI.")
                        .arg(plan.suggestedDpi);
        }
        showUserMessage(MessageIcon::Error, text);
        return false;
    }
    ChartOutput::ExportResult result;
    {
        ProgressDialogScope progress(this, QStringLiteral("Das Bild wird erstellt …"));
        result = ChartOutput::exportPicture(doc, settings, dpi, pageWidth, fileName, code,
                                            progress.callback());
    }
    restoreScreenLayout();
    switch (result) {
    case ChartOutput::ExportResult::Saved:
        return true;
    case ChartOutput::ExportResult::NoMemory:
        showUserMessage(
            MessageIcon::Error,
            QStringLiteral("Für das Bild reicht der Arbeitsspeicher nicht. Bitte wählen "
                           "Sie eine kleinere Auflösung."));
        break;
    case ChartOutput::ExportResult::NotWritten:
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Das Bild konnte nicht als „%1“ gespeichert werden.")
                            .arg(QFileInfo(fileName).fileName()));
        break;
    }
    return false;
}
