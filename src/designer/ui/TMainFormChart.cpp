// The chart view of the main window: page size, painting, clicks and the grid menus.
#include "TMainForm.h"

#include "TSettingsTab.h"
#include "designer/PageRenderer.h"
#include "designer/Units.h"
#include "foundation/UserMessage.h"
#include "foundation/ui/TPaintBox.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>

namespace {

const QString kNoColumnText = QStringLiteral(
    "Es ist keine Spalte markiert. Bitte klicken Sie auf ein hellblaues Kästchen am oberen Rand "
    "der Tabelle, um eine Spalte zu markieren");
const QString kNoRowText = QStringLiteral(
    "Es ist keine Zeile markiert. Bitte klicken Sie auf ein hellblaues Kästchen am linken Rand "
    "der Tabelle, um eine Zeile zu markieren");

const QString kNoBlockText = QStringLiteral(
    "Es ist kein Block markiert. Bitte ziehen Sie bei gedrückter Umschalttaste mit der linken "
    "Maustaste über die Tabelle, um einen Block zu markieren");
const QString kNothingCopiedText = QStringLiteral(
    "Es wurde noch kein Block kopiert. Bitte markieren Sie einen Block und wählen Sie „Block "
    "kopieren“ oder „Block ausschneiden“");
const QString kWouldCutText = QStringLiteral(
    "Hier würde der eingefügte Block einen breiten Stich zerschneiden, der von links in ihn "
    "hineinreicht. Bitte wählen Sie eine andere Zelle als linke obere Ecke");
const QString kTooWideText = QStringLiteral(
    "Der gewählte Stich ist breiter als der Block. Bitte markieren Sie einen breiteren Block");
const QString kNoRepeatText = QStringLiteral(
    "Es ist kein Rapport markiert. Bitte markieren Sie einen Block und wählen Sie „Als Rapport "
    "markieren“");
const QString kTooLargeText =
    QStringLiteral("So groß kann die Tabelle nicht werden: höchstens %1 Zeilen und %1 Spalten")
        .arg(kMaxChartLines);
const QString kRepeatCutsText = QStringLiteral(
    "Ein breiter Stich reicht über den Rand des Rapports hinaus; so lässt er sich nicht "
    "wiederholen. Bitte markieren Sie den Rapport so, dass er ganze Stiche enthält");

// Room below the grid for heading, legend and text, in cell heights.
constexpr int kRoomBelowGrid = 42;

} // namespace

QPrinter& TMainForm::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

QSize TMainForm::pageSize() {
    const int dpi = PaintBox1->logicalDpiX();
    const PageSettings settings = TabSheet2->settings();
    if (ZeigegesamteTabelle1->isChecked()) {
        doc.cellwh = millimetresToPixels(settings.breitMm, dpi);
        const int b = millimetresToPixels(settings.randMm, dpi);
        const std::int64_t width = std::int64_t(doc.cellwh) * (doc.aspalten + 2) + 2 * b;
        const std::int64_t height =
            std::int64_t(doc.cellwh) * (doc.azeilen + kRoomBelowGrid) + 2 * b;
        return {int(std::min<std::int64_t>(width, QWIDGETSIZE_MAX)),
                int(std::min<std::int64_t>(height, QWIDGETSIZE_MAX))};
    }
    // The printer's page at screen scale; its horizontal resolution serves both directions.
    QPrinter& p = printer();
    const int printerDpi = std::max(1, p.resolution());
    const QRect page = p.pageLayout().paintRectPixels(printerDpi);
    return {int(std::int64_t(page.width()) * dpi / printerDpi),
            int(std::int64_t(page.height()) * dpi / printerDpi)};
}

void TMainForm::PaintBox1Paint() {
    const QSize size = pageSize();
    if (PaintBox1->size() != size) {
        PaintBox1->resize(size);
    }
    PaintBox1->update();
}

void TMainForm::scrollToTopLeft() {
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TMainForm::PaintBox1MouseDown(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool chartShown = TabSheet2->TessaplanCheck->isChecked();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier)) {
        // Shift + left button starts a block at the cell, which the drag then widens.
        const auto cell = chartShown ? doc.cellAtPoint(at.x(), at.y(), false) : std::nullopt;
        if (cell) {
            showPlacement({}, true); // the frame shows what the drag takes
            blockDragging_ = true;
            dragFrom_ = *cell;
            doc.selectBlock(*cell, *cell);
            updateOutline(blockShown_, doc.block);
        }
        return;
    }
    // Any other click lets go of the block.
    doc.block = {};
    updateOutline(blockShown_, doc.block);
    const ChartDocument::ClickResult result = doc.clickAt(at.x(), at.y(), chartShown);
    if (result.repaint) {
        // Only what the click changed is painted again, not the whole visible page.
        PaintBox1->update(result.dirty);
    }
    if (result.changed) {
        SetChanged();
    }
}

void TMainForm::BreitEdChange() {
    // The palette's rows are as high as the chart's cells on the screen. Lay it out with the
    // new size now, also while the chart view is hidden, so that a click hits what it shows.
    doc.cellwh = millimetresToPixels(TabSheet2->BreitEd->value(), PaintBox1->logicalDpiX());
    PaintBox1Paint();
    PaintBox2Paint();
}

void TMainForm::ZeigegesamteTabelle1Click() {
    QSettings().setValue(QStringLiteral("MainForm/ZeigegesamteTabelle"),
                         ZeigegesamteTabelle1->isChecked());
    PaintBox1Paint();
}

void TMainForm::afterEdit(ChartDocument::EditResult result) {
    switch (result) {
    case ChartDocument::EditResult::Done:
        PaintBox1Paint();
        SetChanged();
        break;
    case ChartDocument::EditResult::Unchanged:
        break;
    case ChartDocument::EditResult::NeedColumnMark:
        showUserMessage(MessageIcon::Error, kNoColumnText);
        break;
    case ChartDocument::EditResult::NeedRowMark:
        showUserMessage(MessageIcon::Error, kNoRowText);
        break;
    case ChartDocument::EditResult::NeedBlock:
        showUserMessage(MessageIcon::Error, kNoBlockText);
        break;
    case ChartDocument::EditResult::NothingCopied:
        showUserMessage(MessageIcon::Error, kNothingCopiedText);
        break;
    case ChartDocument::EditResult::WouldCutStitch:
        showUserMessage(MessageIcon::Error, kWouldCutText);
        break;
    case ChartDocument::EditResult::StitchTooWide:
        showUserMessage(MessageIcon::Error, kTooWideText);
        break;
    case ChartDocument::EditResult::NeedRepeat:
        showUserMessage(MessageIcon::Error, kNoRepeatText);
        break;
    case ChartDocument::EditResult::TooLarge:
        showUserMessage(MessageIcon::Error, kTooLargeText);
        break;
    case ChartDocument::EditResult::RepeatCutsStitch:
        showUserMessage(MessageIcon::Error, kRepeatCutsText);
        break;
    }
}

void TMainForm::NeueSpaltelinks1Click() {
    afterEdit(doc.insertColumnLeft());
}

void TMainForm::NeueSpalterechts1Click() {
    afterEdit(doc.insertColumnRight());
}

void TMainForm::Markierte1Click() {
    afterEdit(doc.deleteMarkedColumn());
}

void TMainForm::Spalteganzlinkslschen1Click() {
    afterEdit(doc.deleteFirstColumn());
}

void TMainForm::Spalteganzrechtslschen1Click() {
    afterEdit(doc.deleteLastColumn());
}

void TMainForm::Spaltekopieren1Click() {
    afterEdit(doc.copyColumn());
}

void TMainForm::Spalteeinfgen1Click() {
    afterEdit(doc.pasteColumn());
}

void TMainForm::NeueZeileoben1Click() {
    afterEdit(doc.insertRowAbove());
}

void TMainForm::ZeueZeileunten1Click() {
    afterEdit(doc.insertRowBelow());
}

void TMainForm::MarkierteZeilelschen1Click() {
    afterEdit(doc.deleteMarkedRow());
}

void TMainForm::Zeileganzobenlschen1Click() {
    afterEdit(doc.deleteTopRow());
}

void TMainForm::Zeileganzuntenlschen1Click() {
    afterEdit(doc.deleteBottomRow());
}

void TMainForm::Zeilekopieren1Click() {
    afterEdit(doc.copyRow());
}

void TMainForm::Zeileeinfgen1Click() {
    afterEdit(doc.pasteRow());
}

void TMainForm::Zeilenachlinksverschieben1Click() {
    afterEdit(doc.shiftRowLeft());
}

void TMainForm::Zeilenachrechtsverschieben1Click() {
    afterEdit(doc.shiftRowRight());
}
