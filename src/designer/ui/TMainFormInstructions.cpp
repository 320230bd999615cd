// The written instructions from the main window's side: the "Anleitung" tab and its export.
#include "TMainForm.h"

#include "TSettingsTab.h"
#include "designer/Instructions.h"
#include "foundation/AtomicSave.h"
#include "foundation/UserMessage.h"
#include "foundation/ui/FileDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QIODevice>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

void TMainForm::createInstructionsTab() {
    TabSheet3 = new QWidget(PageControl1);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    Memo3 = new QPlainTextEdit(TabSheet3);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Memo3->setReadOnly(true);
    auto* layout = new QVBoxLayout(TabSheet3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo3);
}

void TMainForm::refreshInstructions() {
    // Made again only when the chart or the settings the instructions read have changed:
    // every change of the chart is a step of its history.
    const instructions::Options options = instructions::Options::of(TabSheet2->settings());
    const std::uint64_t revision = doc.history.revision();
    if (instructionsShown_ && revision == instructionsRevision_ &&
        options == instructionsOptions_) {
        return;
    }
    const int scrolled = Memo3->verticalScrollBar()->value();
    Memo3->setPlainText(instructions::lines(doc, options).join(QLatin1Char('\n')));
    Memo3->verticalScrollBar()->setValue(scrolled);
    instructionsShown_ = true;
    instructionsRevision_ = revision;
    instructionsOptions_ = options;
}

void TMainForm::Anleitungexportieren1Click() {
    const filedialogs::SaveChoice choice = filedialogs::getSaveFileName(
        this, QStringLiteral("Anleitung exportieren"), QStringLiteral("Textdateien (*.txt)|*.txt"),
        QStringLiteral(".txt"));
    if (!choice.fileName.isEmpty()) {
        exportInstructions(choice.fileName);
    }
}

bool TMainForm::exportInstructions(const QString& fileName) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QByteArray bytes =
        instructions::text(doc, instructions::Options::of(TabSheet2->settings())).toUtf8();
    const SaveOutcome outcome = saveAtomically(
        fileName, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); });
    QApplication::restoreOverrideCursor();
    switch (outcome) {
    case SaveOutcome::Saved:
        return true;
    case SaveOutcome::CannotCreate:
        showUserMessage(MessageIcon::Error, QStringLiteral("Konnte die Datei nicht anlegen."));
        break;
    case SaveOutcome::NotWritten:
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Die Datei „%1“ konnte nicht vollständig geschrieben "
                                       "werden. Ist der Datenträger voll?")
                            .arg(QFileInfo(fileName).fileName()));
        break;
    }
    return false;
}
