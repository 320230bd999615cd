// The scanner commands of the menu "Datei": choosing a scanner and scanning, which runs while
// the window stays usable and ends in WMScanDone.
#include "TDIBMainForm.h"

#include "ScanControl.h"
#include "TScannerForm.h"

#include "foundation/UserMessage.h"
#include "foundation/scanner/Scanner.h"
#include "image/ImageDocument.h"

#include <QGuiApplication>
#include <QToolButton>

#include <algorithm>

namespace {

const QString kNoScannerText =
    QStringLiteral("Es wurde kein Scanner gefunden. Ist er angeschlossen und eingeschaltet?");
const QString kScanningText = QStringLiteral(
    "Der Scanner arbeitet noch. Warten Sie, bis das Bild da ist, oder brechen Sie ab.");

// The scanners there are; false, after saying so, when there are none.
bool findScanners(scanner::DeviceList& list) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // looking may take a moment
    list = scanner::listDevices();
    QGuiApplication::restoreOverrideCursor();
    if (!list.error.isEmpty()) {
        showUserMessage(MessageIcon::Error, list.error);
        return false;
    }
    if (list.devices.empty()) {
        showUserMessage(MessageIcon::Information, kNoScannerText);
        return false;
    }
    return true;
}

} // namespace

void TDIBMainForm::createScanning() {
    scans_ = new ScanControl(this);
    // The progress comes from the scanning thread and is queued; the rest is sent on this
    // thread and handled at once, so that no cancel can slip in between.
    connect(scans_, &ScanControl::progress, this, &TDIBMainForm::WMProgress, Qt::QueuedConnection);
    connect(scans_, &ScanControl::scanDone, this, &TDIBMainForm::WMScanDone);
    connect(scans_, &ScanControl::scanFailed, this,
            [](const QString& text) { showUserMessage(MessageIcon::Error, text); });
    connect(scans_, &ScanControl::finished, this, &TDIBMainForm::scanEnded);
    connect(ScanCancelBtn, &QToolButton::clicked, scans_, &ScanControl::cancel);
}

void TDIBMainForm::Scannerauswhlne1Click() {
    if (scans_->running()) {
        showUserMessage(MessageIcon::Information, kScanningText);
        return;
    }
    scanner::DeviceList list;
    if (!findScanners(list)) {
        return;
    }
    TScannerForm form(this);
    form.setDevices(list.devices, TScannerForm::storedSettings());
    if (form.exec() == QDialog::Accepted) {
        TScannerForm::storeSettings(form.settings());
    }
}

void TDIBMainForm::Bildscannen1Click() {
    if (scans_->running()) {
        showUserMessage(MessageIcon::Information, kScanningText);
        return;
    }
    // The scanned picture replaces the image, as a new or opened one does.
    if (!AskSaveChanges()) {
        return;
    }
    scanner::DeviceList list;
    if (!findScanners(list)) {
        return;
    }
    scanner::ScanSettings settings = TScannerForm::storedSettings();
    const bool known =
        std::any_of(list.devices.begin(), list.devices.end(),
                    [&](const scanner::Device& d) { return d.name == settings.device; });
    if (!known && list.devices.size() == 1) {
        settings = {list.devices.front().name, {}, 0};
    } else if (!known) {
        // Several scanners and none chosen yet: ask which.
        TScannerForm form(this);
        form.setDevices(list.devices, settings);
        if (form.exec() != QDialog::Accepted) {
            return;
        }
        settings = form.settings();
        TScannerForm::storeSettings(settings);
    }
    if (scans_->start(settings)) {
        scanStartRevision_ = doc().revision();
        ScanCancelBtn->show();
        setStatusText(0, QStringLiteral("Bild wird gescannt..."));
    }
}

void TDIBMainForm::WMScanDone(quint64 token) {
    dib scanned;
    scanner::GetScanedDib(&scanned, token);
    OwnedDib picture(scanned);
    // The window stayed usable while the scanner worked: changes made meanwhile are asked
    // about too.
    if (picture && (doc().revision() == scanStartRevision_ || AskSaveChanges())) {
        NewWindow(std::move(picture), QString());
    }
}

void TDIBMainForm::scanEnded() {
    // Also after a cancel or a failure: the bar and the button go.
    ScanCancelBtn->hide();
    WMProgress(0);
    setStatusText(0, QString());
}
