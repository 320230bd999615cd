// Project files and the stitch library on disk, from the main window's side.
#include "TMainForm.h"

#include "ProgressDialogScope.h"
#include "TSettingsTab.h"
#include "designer/ProjectFile.h"
#include "designer/StandardStitches.h"
#include "designer/StitchLibraryFile.h"
#include "foundation/AtomicSave.h"
#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/UserMessage.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/ui/FileDialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kCannotCreateText = QStringLiteral("Konnte die Datei nicht anlegen.");
const QString kDamagedText =
    QStringLiteral("Die Datei ist beschädigt oder unvollständig und konnte nicht geladen werden.");

// How many stitches came from a damaged library, out of how many it held, when that is known.
QString loadedStitchesText(std::int32_t read, std::int32_t declared) {
    if (declared > read) {
        return read == 1
                   ? QStringLiteral("Es wurde 1 von %1 Stichen geladen").arg(declared)
                   : QStringLiteral("Es wurden %1 von %2 Stichen geladen").arg(read).arg(declared);
    }
    switch (read) {
    case 0:
        return QStringLiteral("Es wurde kein Stich geladen");
    case 1:
        return QStringLiteral("Es wurde 1 Stich geladen");
    default:
        return QStringLiteral("Es wurden %1 Stiche geladen").arg(read);
    }
}

} // namespace

bool TMainForm::SaveProject(const QString& fname) {
    const PageSettings settings = TabSheet2->settings();
    ProgressDialogScope progress(this, QStringLiteral("Das Projekt wird gespeichert …"));
    const SaveOutcome outcome = saveAtomically(fname, [&](QIODevice& file) {
        return ProjectFile::write(file, doc, settings, progress.callback());
    });
    if (outcome == SaveOutcome::CannotCreate) {
        showUserMessage(MessageIcon::Error, kCannotCreateText);
    } else if (outcome == SaveOutcome::NotWritten && !progress.canceled()) {
        showUserMessage(
            MessageIcon::Error,
            QStringLiteral("Die Datei „%1“ konnte nicht vollständig geschrieben werden. "
                           "Ist der Datenträger voll? Die bisherige Datei bleibt "
                           "unverändert.")
                .arg(QFileInfo(fname).fileName()));
    }
    return outcome == SaveOutcome::Saved;
}

FileStatus TMainForm::readProject(QIODevice& file, std::int64_t size, QStringList* notes) {
    PageSettings settings = TabSheet2->settings();
    FileStatus status = FileStatus::Ok;
    {
        ProgressDialogScope progress(this, QStringLiteral("Das Projekt wird geladen …"));
        status = ProjectFile::read(file, size, doc, settings, memory::budgetBytes(),
                                   progress.callback(), notes);
    }
    if (status == FileStatus::Ok) {
        applySettingsQuietly(settings); // part of the loaded chart, not an edit
        PaintBox1Paint();
        PaintBox2Paint(); // the palette names stitches in the chart's number font
        scrollToTopLeft();
    }
    return status;
}

bool TMainForm::LoadProject(const QString& fname) {
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly)) {
        // A name that does not exist (a stale command-line argument) is passed over silently.
        if (QFileInfo::exists(fname)) {
            showUserMessage(MessageIcon::Error,
                            QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden.")
                                .arg(QFileInfo(fname).fileName()));
        }
        return false;
    }
    QStringList notes;
    switch (readProject(file, file.size(), &notes)) {
    case FileStatus::Ok:
        // What was passed over is told once the chart is there.
        for (const QString& note : notes) {
            showUserMessage(MessageIcon::Information, note);
        }
        break;
    case FileStatus::Damaged:
        showUserMessage(MessageIcon::Error, kDamagedText);
        return false;
    case FileStatus::NoMemory:
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    case FileStatus::Stopped:
        return false;
    }
    doc.afilename = fname;
    SetUnChanged();
    return true;
}

bool TMainForm::restoreProject(const QString& copyPath, const QString& fname) {
    QFile file(copyPath);
    if (!file.open(QIODevice::ReadOnly) || readProject(file, file.size()) != FileStatus::Ok) {
        return false;
    }
    doc.afilename = fname;
    SetChanged();
    return true;
}

QString TMainForm::GetProgramDir(bool create) const {
    const QString folder = StitchLibraryFile::dataFolder(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), progpath);
    if (create) {
        QDir().mkpath(folder);
    }
    return folder;
}

void TMainForm::LoadStiche() {
    const QString path = GetProgramDir(false) + StitchLibraryFile::kFileName;
    QFile file(path);
    if (!file.exists()) {
        // A new user starts with the standard stitches; a library once written, even an
        // empty one, is the user's own and stays as it is.
        if (standardstitches::addMissing(doc.stiche) < 0) {
            showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        }
        SaveStiche();
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return; // unreadable: the library stays empty, and the file is not replaced
    }
    doc.FreeAllStiche();
    const StitchLibraryFile::ReadResult result =
        StitchLibraryFile::read(file, file.size(), doc.stiche);
    if (result.status == FileStatus::Ok) {
        return;
    }
    // The next change of the library rewrites the file: keep the whole one for rescue.
    const QString kept = StitchLibraryFile::keepDamagedCopy(path);
    QString text = result.status == FileStatus::NoMemory
                       ? QStringLiteral("Der Arbeitsspeicher reicht nicht für die ganze "
                                        "Stichbibliothek.")
                       : QStringLiteral("Die Stichbibliothek ist beschädigt oder unvollständig.");
    text += QLatin1Char(' ') + loadedStitchesText(result.read, result.declared);
    text += kept.isEmpty() ? QStringLiteral(".")
                           : QStringLiteral("; eine Kopie der Datei liegt unter „%1“.")
                                 .arg(QDir::toNativeSeparators(kept));
    showUserMessage(MessageIcon::Warning, text);
}

bool TMainForm::SaveStiche() {
    const QString path = GetProgramDir(true) + StitchLibraryFile::kFileName;
    const SaveOutcome outcome = saveAtomically(
        path, [&](QIODevice& file) { return StitchLibraryFile::write(file, doc.stiche); });
    if (outcome == SaveOutcome::Saved) {
        return true;
    }
    showUserMessage(MessageIcon::Error,
                    QStringLiteral("Die Stichbibliothek konnte nicht in „%1“ gespeichert werden. "
                                   "Die Änderung gilt nur bis zum Ende des Programms.")
                        .arg(QDir::toNativeSeparators(path)));
    return false;
}

namespace {

const QString kProjectFilter = QStringLiteral("Tessaplan-Designer Dateien (*.tpd)|*.tpd");
const QString kProjectExtension = QStringLiteral(".tpd");
const QString kAskBeforeNew =
    QStringLiteral("Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?");
const QString kAskBeforeOpenOrClose =
    QStringLiteral("Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?");

} // namespace

bool TMainForm::askToSave(const QString& question) {
    if (!doc.changed) {
        return true;
    }
    switch (askUser(MessageIcon::Question, question, QStringLiteral("Speichern"))) {
    case UserAnswer::Yes:
        return SaveFile();
    case UserAnswer::No:
        return true;
    case UserAnswer::Cancel:
        break;
    }
    return false;
}

bool TMainForm::askToSaveBeforeNew() {
    return askToSave(kAskBeforeNew);
}

void TMainForm::Neu1Click() {
    if (askToSaveBeforeNew()) {
        NewAll();
    }
}

void TMainForm::ffnen1Click() {
    if (askToSave(kAskBeforeOpenOrClose)) {
        OpenFile();
    }
}

bool TMainForm::OpenFile() {
    const QString fileName =
        filedialogs::getOpenFileName(this, QStringLiteral("Öffnen"), kProjectFilter);
    return !fileName.isEmpty() && LoadProject(fileName);
}

void TMainForm::Speichern1Click() {
    SaveFile();
}

bool TMainForm::SaveTheFile() {
    return SaveProject(doc.afilename);
}

bool TMainForm::SaveFile() {
    bool result = false;
    if (!doc.afilename.isEmpty()) {
        result = SaveTheFile();
    } else {
        const filedialogs::SaveChoice choice = filedialogs::getSaveFileName(
            this, QStringLiteral("Speichern unter"), kProjectFilter, kProjectExtension);
        if (!choice.fileName.isEmpty()) {
            doc.afilename = choice.fileName;
            result = SaveTheFile();
        }
    }
    if (result) {
        SetUnChanged();
    }
    return result;
}

void TMainForm::Speichernunter1Click() {
    const filedialogs::SaveChoice choice = filedialogs::getSaveFileName(
        this, QStringLiteral("Speichern unter"), kProjectFilter, kProjectExtension);
    if (choice.fileName.isEmpty()) {
        return;
    }
    doc.afilename = choice.fileName;
    if (SaveTheFile()) {
        SetUnChanged();
    }
}

void TMainForm::Beenden1Click() {
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The question decides whether the window (and with it the program) may close.
    if (askToSave(kAskBeforeOpenOrClose)) {
        recovery_->discard(); // changes left unsaved on purpose
        event->accept();
    } else {
        event->ignore();
    }
}
