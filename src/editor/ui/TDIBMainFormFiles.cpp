// The menu "Datei": new picture, open, save, save as, and the unsaved-changes question; the
// window on its own.
#include "TDIBMainForm.h"

#include "ColourPanel.h"
#include "TJPEGQForm.h"
#include "TNewForm.h"

#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/ui/FileDialogs.h"
#include "image/DocumentFiles.h"
#include "image/PictureRecovery.h"
#include "image/ui/TMDIChild.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QToolButton>

namespace {

// The JPEG formats need a quality first; false when the user cancelled the dialog.
bool askJpegQuality(QWidget* parent, int format) {
    TJPEGQForm quality(parent); // made for every save, so the stored quality is read
    if (!documentfiles::needsJpegQuality(format)) {
        return true;
    }
    if (quality.exec() != QDialog::Accepted) {
        return false;
    }
    grafikrw3::SetJPEGQual(quality.quality());
    return true;
}

} // namespace

void TDIBMainForm::FileNewItemClick() {
    TNewForm form(this);
    if (!AskSaveChanges()) {
        return;
    }
    form.TiefeBox->setCurrentIndex(3);
    if (form.exec() != QDialog::Accepted) {
        return;
    }
    const TNewForm::Params p = form.params();
    OwnedDib picture =
        documentfiles::newImage(p.width, p.height, documentfiles::depthForEntry(p.depthEntry));
    if (!picture) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"));
        return;
    }
    NewWindow(std::move(picture), QStringLiteral("NONAME"));
}

void TDIBMainForm::FileOpenItemClick() {
    if (!AskSaveChanges()) {
        return;
    }
    const QString fileName = filedialogs::getOpenFileName(this, QStringLiteral("Bild öffnen"),
                                                          grafikrw3::GetDIBOpenFilter());
    if (!fileName.isEmpty()) {
        OpenImageFile(fileName);
    }
}

void TDIBMainForm::OpenImageFile(const QString& fileName) {
    QString error;
    if (documentfiles::openImageFile(doc(), fileName, error, progress())) {
        colours_->paletteChanged();
    } else {
        WMProgress(0);
        showUserMessage(MessageIcon::Error, error, documentfiles::openFailureCaption(fileName));
    }
    WMProgress(0);
    doc().imageChanged();
    UpdateMenuItems();
}

bool TDIBMainForm::restorePicture(const QString& copyPath,
                                  const recovery::Description& description) {
    QString error;
    if (!documentfiles::restoreImageFile(doc(), copyPath, description, error)) {
        return false;
    }
    colours_->paletteChanged();
    doc().imageChanged();
    UpdateMenuItems();
    return true;
}

void TDIBMainForm::FileSaveItemClick() {
    ImageDocument& d = doc();
    if (!d.cansave) {
        FileSaveAsItemClick();
        return;
    }
    if (!askJpegQuality(this, d.SaveFormat)) {
        return;
    }
    const bool saved = documentfiles::saveImageFile(d, d.SaveFilename, d.SaveFormat, progress());
    WMProgress(0);
    if (!saved) {
        showUserMessage(MessageIcon::Information, documentfiles::saveFailureText());
    }
}

void TDIBMainForm::FileSaveAsItemClick() {
    ImageDocument& d = doc();
    const int current = d.SaveFormat >= grafikrw3::kFirstFormatCode ? d.SaveFormat - 2 : 1;
    const filedialogs::SaveChoice choice =
        filedialogs::getSaveFileName(this, QStringLiteral("Bild speichern unter"),
                                     grafikrw3::GetDIBSaveFilter(), QString(), current);
    if (choice.fileName.isEmpty()) {
        return;
    }
    // A typed extension of a known format names the format, as it does everywhere else in the
    // program; otherwise the chosen filter does (and gave a bare name its extension).
    const int typed = grafikrw3::formatForExtension(QFileInfo(choice.fileName).suffix());
    const int format = typed != 0 ? typed : choice.filterIndex + 2;
    if (!askJpegQuality(this, format)) {
        return;
    }
    const bool saved = documentfiles::saveImageFile(d, choice.fileName, format, progress());
    WMProgress(0);
    if (!saved) {
        showUserMessage(MessageIcon::Information, documentfiles::saveFailureText());
    }
}

bool TDIBMainForm::AskSaveChanges() {
    ImageDocument& d = doc();
    if (!d.changed) {
        return true;
    }
    switch (askUser(MessageIcon::Error,
                    QStringLiteral("Änderungen in ") + d.WinName + QStringLiteral(" speichern?"),
                    QStringLiteral("Bild bearbeiten"))) {
    case UserAnswer::Cancel:
        return false;
    case UserAnswer::No:
        return true;
    case UserAnswer::Yes:
        FileSaveItemClick();
        return !d.changed;
    }
    return false;
}

// The editor on its own ------------------------------------------------------------------------

void TDIBMainForm::setStandalone(bool standalone) {
    standalone_ = standalone;
    recoverySource_->setStitchPicture(!standalone);
    // There is no chart designer to go back to.
    ToolButton8->setVisible(!standalone);
}

void TDIBMainForm::closeEvent(QCloseEvent* event) {
    // Alone, closing ends the program: unsaved changes must not go unnoticed. Inside the chart
    // designer the picture goes back to the stitch instead.
    if (standalone_ && !AskSaveChanges()) {
        event->ignore();
        return;
    }
    if (standalone_) {
        recovery_->discard(); // changes left unsaved on purpose
    }
    QMainWindow::closeEvent(event);
}
