// Undo and redo from the main window's side: the "Bearbeiten" menu, its tool-bar buttons and
// the recording of the settings tab's edits.
#include "TMainForm.h"

#include "TSettingsTab.h"
#include "ToolBarIcons.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>

namespace {

const QString kUndo = QStringLiteral("Rückgängig");
const QString kRedo = QStringLiteral("Wiederholen");

// "Rückgängig: Zeile einfügen", or just the command when there is nothing to name.
QString named(const QString& command, const QString& step) {
    return step.isEmpty() ? command : command + QStringLiteral(": ") + step;
}

} // namespace

void TMainForm::createEditMenu() {
    Bearbeiten1 = menuBar()->addMenu(QStringLiteral("Bearbeiten"));
    Rckgngig1 = Bearbeiten1->addAction(kUndo, this, &TMainForm::Rckgngig1Click);
    Rckgngig1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    Wiederholen1 = Bearbeiten1->addAction(kRedo, this, &TMainForm::Wiederholen1Click);
    Wiederholen1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Rckgngig1->setEnabled(false);
    Wiederholen1->setEnabled(false);
}

void TMainForm::createHistoryButtons() {
    // Set apart from the print button as that one is from the file buttons.
    constexpr int kButtonSize = 33;
    const struct {
        QToolButton** button;
        const char* name;
        toolbaricons::Kind icon;
        int x;
        void (TMainForm::*handler)();
        const QString& hint;
    } entries[] = {
        {&SpeedButton6, "SpeedButton6", toolbaricons::Kind::Undo, 176, &TMainForm::Rckgngig1Click,
         kUndo},
        {&SpeedButton7, "SpeedButton7", toolbaricons::Kind::Redo, 208,
         &TMainForm::Wiederholen1Click, kRedo},
    };
    for (const auto& entry : entries) {
        auto* button = new QToolButton(ToolPanel);
        button->setObjectName(QLatin1String(entry.name));
        button->setToolTip(entry.hint);
        button->setIcon(toolbaricons::icon(entry.icon));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setGeometry(entry.x, 0, kButtonSize, kButtonSize);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, entry.handler);
        *entry.button = button;
    }
}

void TMainForm::watchSettings() {
    settingsShown_ = TabSheet2->settings();
    auto edited = [this] { settingsEdited(); };
    for (QDoubleSpinBox* edit :
         {TabSheet2->BreitEd, TabSheet2->BreitLegendeEd, TabSheet2->RandEd, TabSheet2->PenWidEd}) {
        connect(edit, &QDoubleSpinBox::valueChanged, this, edited);
    }
    for (QCheckBox* check :
         {TabSheet2->allerechtsCheck, TabSheet2->ErsteRechtsCheck, TabSheet2->DontShowLinksEd,
          TabSheet2->LegendeCheck, TabSheet2->InstCheck, TabSheet2->TessaplanCheck}) {
        connect(check, &QCheckBox::toggled, this, edited);
    }
    connect(TabSheet2->FirstRowEd, &QSpinBox::valueChanged, this, edited);
    connect(TabSheet2->caped, &QLineEdit::textChanged, this, edited);
    connect(TabSheet2->Memo2, &QPlainTextEdit::textChanged, this, edited);
    connect(TabSheet2, &TSettingsTab::fontChanged, this, edited);
    // Typing in one field is one step until the focus moves on.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        connect(app, &QApplication::focusChanged, this, [this] { doc.history.sealMerging(); });
    }
}

void TMainForm::settingsEdited() {
    if (applyingSettings_) {
        return;
    }
    const PageSettings now = TabSheet2->settings();
    const PageSettings before = settingsShown_;
    settingsShown_ = now;
    doc.history.recordSettings(before, now);
}

void TMainForm::applySettingsQuietly(const PageSettings& settings) {
    applyingSettings_ = true;
    TabSheet2->setSettings(settings);
    applyingSettings_ = false;
    settingsShown_ = TabSheet2->settings();
    if (PageControl1->currentWidget() == TabSheet3) {
        refreshInstructions();
    }
}

void TMainForm::historyChanged() {
    if (!Rckgngig1 || !SpeedButton6) {
        return; // still being built
    }
    const ChartHistory& history = doc.history;
    Rckgngig1->setText(named(kUndo, history.undoText()));
    Rckgngig1->setEnabled(history.canUndo());
    Wiederholen1->setText(named(kRedo, history.redoText()));
    Wiederholen1->setEnabled(history.canRedo());
    SpeedButton6->setEnabled(history.canUndo());
    SpeedButton6->setToolTip(Rckgngig1->text());
    SpeedButton7->setEnabled(history.canRedo());
    SpeedButton7->setToolTip(Wiederholen1->text());
    if (PageControl1 && PageControl1->currentWidget() == TabSheet3) {
        refreshInstructions();
    }
    if (recovery_) {
        recovery_->touch(); // a new copy holds the settings too
    }
}

void TMainForm::Rckgngig1Click() {
    showUndoOutcome(doc.history.undo());
}

void TMainForm::Wiederholen1Click() {
    showUndoOutcome(doc.history.redo());
}

void TMainForm::showUndoOutcome(const ChartHistory::Outcome& outcome) {
    if (!outcome.done) {
        return; // nothing to do, or too little memory (reported where it ran out)
    }
    if (outcome.settings) {
        applySettingsQuietly(*outcome.settings);
        PaintBox2Paint(); // the palette writes with the numbers' font
    }
    if (outcome.layoutChanged || outcome.settings) {
        PaintBox1Paint();
    } else {
        // As after a click: only what changed is painted again.
        PaintBox1->update(outcome.dirty);
    }
    // The mark follows the chart back and forth; this is no save, so the saved state stays.
    doc.changed = outcome.changed;
    showChangedState();
}
