// The menu "Bearbeiten": cut, copy, paste as a new image or as a (transparent) selection,
// delete and emptying the clipboard.
#include "TDIBMainForm.h"

#include "ClipboardTransfer.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "image/ClipboardCommands.h"
#include "image/ui/TMDIChild.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

void showPasteFailure(const clipboard::PasteResult& result) {
    const QString text = clipboard::pasteFailureText(result);
    if (!text.isEmpty()) {
        showUserMessage(MessageIcon::Error, text);
    }
}

} // namespace

void TDIBMainForm::CopyItemClick() {
    copyToClipboard();
}

bool TDIBMainForm::copyToClipboard() {
    const clipboard::Outgoing out = clipboard::copySelection(doc());
    if (!out.ok()) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    }
    // The clipboard watcher refreshes the paste commands.
    QGuiApplication::clipboard()->setMimeData(clipboardio::mimeDataFor(out));
    return true;
}

void TDIBMainForm::CutItemClick() {
    if (copyToClipboard()) {
        Lschen1Click();
    }
}

void TDIBMainForm::Lschen1Click() {
    clipboard::deleteSelection(doc());
}

void TDIBMainForm::AlsBild1Click() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QByteArray block = clipboardio::pictureBlock(data);
    if (block.isEmpty()) {
        return;
    }
    clipboard::PasteResult result;
    OwnedDib picture = clipboard::pictureForNewImage(block, result);
    if (!picture) {
        showPasteFailure(result);
        return;
    }
    // The pasted picture replaces the image: unsaved changes are offered for saving first, as
    // New and Open do.
    if (!AskSaveChanges()) {
        return;
    }
    NewWindow(std::move(picture), QString());
}

void TDIBMainForm::AlsAuswahl1Click() {
    AusTrans = false;
    PasteAlsAuswahl();
}

void TDIBMainForm::AlstransparenteAuswahl1Click() {
    AusTrans = true;
    PasteAlsAuswahl();
}

void TDIBMainForm::PasteAlsAuswahl() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const clipboard::PasteResult result = clipboard::pasteAsSelection(
        doc(), clipboardio::pictureBlock(data), clipboardio::maskBlock(data), AusTrans);
    showPasteFailure(result);
}

void TDIBMainForm::Zwischenablagelschen1Click() {
    // The clipboard watcher refreshes the paste commands.
    QGuiApplication::clipboard()->clear();
}
