// Blocks of cells from the window's side: the Shift + left drag that selects one, its frame,
// the outline of the cells the chosen stitch would cover, the block commands of the
// "Bearbeiten" menu and the repeat made from a block.
#include "TMainForm.h"

#include "TRapportForm.h"
#include "TSettingsTab.h"
#include "foundation/UserMessage.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kBlockFrame{0, 90, 210};
const QColor kPlacementOutline{110, 170, 255};
const QColor kPlacementCut{230, 70, 30};
constexpr int kBlockFrameWidth = 3;
constexpr int kPlacementWidth = 2;

} // namespace

void TMainForm::createBlockCommands() {
    struct Entry {
        const char* caption;
        void (TMainForm::*handler)();
        QKeySequence shortcut;
    };
    const Entry entries[] = {
        {"Block ausschneiden", &TMainForm::Blockausschneiden1Click,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X)},
        {"Block kopieren", &TMainForm::Blockkopieren1Click,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
        {"Block einfügen", &TMainForm::Blockeinfgen1Click,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)},
        {"Block leeren", &TMainForm::Blockleeren1Click, QKeySequence(Qt::Key_Delete)},
        {"Block mit Stich füllen", &TMainForm::BlockmitStichfllen1Click,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F)},
        {"Block waagerecht spiegeln", &TMainForm::Blockwaagerechtspiegeln1Click, {}},
        {"Block senkrecht spiegeln", &TMainForm::Blocksenkrechtspiegeln1Click, {}},
        {nullptr, nullptr, {}},
        {"Als Rapport markieren", &TMainForm::AlsRapportmarkieren1Click, {}},
        {"Rapport aufheben", &TMainForm::Rapportaufheben1Click, {}},
        {"Rapport wiederholen...", &TMainForm::Rapportwiederholen1Click, {}},
    };
    Bearbeiten1->addSeparator();
    for (const Entry& e : entries) {
        if (!e.caption) {
            Bearbeiten1->addSeparator();
            continue;
        }
        QAction* action = Bearbeiten1->addAction(QString::fromUtf8(e.caption), this, e.handler);
        action->setShortcut(e.shortcut);
    }

    PaintBox1->setMouseTracking(true); // for the outline of the stitch about to be placed
    PaintBox1->mouseMove = [this](QMouseEvent* event) { PaintBox1MouseMove(event); };
    PaintBox1->mouseUp = [this](QMouseEvent* event) { PaintBox1MouseUp(event); };
    PaintBox1->mouseLeave = [this] { showPlacement({}, true); };
}

QRect TMainForm::viewRect(const CellBlock& cells) const {
    const CellBlock inside = cells.clippedTo(doc.azeilen, doc.aspalten);
    if (inside.isEmpty()) {
        return {};
    }
    const CellRect& first = doc.cellAt(inside.top, inside.left).feldrect;
    const CellRect& last = doc.cellAt(inside.bottom(), inside.right()).feldrect;
    // Around the cells, on the grid lines between them and their neighbours.
    return QRect(QPoint(first.left - 1, first.top - 1), QPoint(last.right, last.bottom));
}

void TMainForm::updateOutline(const CellBlock& before, const CellBlock& after) {
    constexpr int kPen = std::max(kBlockFrameWidth, kPlacementWidth);
    for (const CellBlock& cells : {before, after}) {
        const QRect r = viewRect(cells);
        if (!r.isEmpty()) {
            PaintBox1->update(r.adjusted(-kPen, -kPen, kPen, kPen));
        }
    }
    blockShown_ = doc.block;
}

void TMainForm::showPlacement(const CellBlock& cells, bool fits) {
    if (cells == placementShown_ && fits == placementFits_) {
        return;
    }
    const CellBlock before = placementShown_;
    placementShown_ = cells;
    placementFits_ = fits;
    updateOutline(before, cells);
}

void TMainForm::drawChartOverlay(QPainter& painter) {
    if (!TabSheet2->TessaplanCheck->isChecked()) {
        return;
    }
    painter.save();
    painter.setBrush(Qt::NoBrush);
    auto outline = [&](const CellBlock& cells, const QColor& colour, int width) {
        const QRect r = viewRect(cells);
        if (r.isEmpty()) {
            return;
        }
        QPen pen(colour, width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(r);
    };
    outline(placementShown_, placementFits_ ? kPlacementOutline : kPlacementCut, kPlacementWidth);
    outline(doc.block, kBlockFrame, kBlockFrameWidth);
    painter.restore();
    blockShown_ = doc.block;
}

void TMainForm::PaintBox1MouseMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (blockDragging_) {
        // Beside the grid the drag keeps the nearest cell.
        if (const auto cell = doc.cellAtPoint(at.x(), at.y(), true)) {
            doc.selectBlock(dragFrom_, *cell);
            if (doc.block != blockShown_) {
                updateOutline(blockShown_, doc.block);
            }
        }
        return;
    }
    const auto cell = TabSheet2->TessaplanCheck->isChecked()
                          ? doc.cellAtPoint(at.x(), at.y(), false)
                          : std::nullopt;
    if (!cell) {
        showPlacement({}, true);
        return;
    }
    const ChartDocument::Placement placement = doc.placementAt(*cell);
    showPlacement(placement.cells, placement.fits);
}

void TMainForm::PaintBox1MouseUp(QMouseEvent*) {
    blockDragging_ = false;
}

void TMainForm::Blockausschneiden1Click() {
    afterEdit(doc.cutBlock());
}

void TMainForm::Blockkopieren1Click() {
    afterEdit(doc.copyBlock());
}

void TMainForm::Blockeinfgen1Click() {
    ChartDocument::PasteFit fit = ChartDocument::PasteFit::Grow;
    const ChartDocument::Growth growth = doc.pasteGrowth();
    if (growth.any()) {
        auto count = [](int n, const char* one, const char* many) {
            return n == 1 ? QString::fromUtf8(one) : QString::fromUtf8(many).arg(n);
        };
        QStringList missing;
        if (growth.rows > 0) {
            missing << count(growth.rows, "eine Zeile", "%1 Zeilen");
        }
        if (growth.columns > 0) {
            missing << count(growth.columns, "eine Spalte", "%1 Spalten");
        }
        const UserAnswer answer = askUser(
            MessageIcon::Question,
            QStringLiteral("Der Block reicht über den Rand der Tabelle hinaus. Soll die Tabelle "
                           "um %1 erweitert werden?\n\n„Nein“ fügt nur den Teil ein, der in die "
                           "Tabelle passt.")
                .arg(missing.join(QStringLiteral(" und "))),
            QStringLiteral("Block einfügen"));
        if (answer == UserAnswer::Cancel) {
            return;
        }
        fit = answer == UserAnswer::Yes ? ChartDocument::PasteFit::Grow
                                        : ChartDocument::PasteFit::Clip;
    }
    afterEdit(doc.pasteBlock(fit));
}

void TMainForm::Blockleeren1Click() {
    afterEdit(doc.clearBlock());
}

void TMainForm::BlockmitStichfllen1Click() {
    afterEdit(doc.fillBlock());
}

void TMainForm::Blockwaagerechtspiegeln1Click() {
    afterEdit(doc.mirrorBlockHorizontally());
}

void TMainForm::Blocksenkrechtspiegeln1Click() {
    afterEdit(doc.mirrorBlockVertically());
}

void TMainForm::AlsRapportmarkieren1Click() {
    const ChartDocument::EditResult result = doc.markRepeat();
    if (result == ChartDocument::EditResult::Done) {
        // Let go of the block, whose frame would hide the repeat's.
        doc.block = {};
    }
    afterEdit(result);
}

void TMainForm::Rapportaufheben1Click() {
    afterEdit(doc.clearRepeat());
}

void TMainForm::Rapportwiederholen1Click() {
    if (doc.repeat.clippedTo(doc.azeilen, doc.aspalten).isEmpty()) {
        afterEdit(ChartDocument::EditResult::NeedRepeat);
        return;
    }
    TRapportForm form(doc, this);
    if (form.exec() == QDialog::Accepted) {
        afterEdit(doc.tileRepeat(form.across(), form.up()));
    }
}
