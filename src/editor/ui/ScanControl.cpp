#include "ScanControl.h"

#include "foundation/OwnedDib.h"

ScanControl::ScanControl(QObject* parent) : QObject(parent) {}

ScanControl::~ScanControl() = default; // the job is stopped and waited for

bool ScanControl::start(const scanner::ScanSettings& settings) {
    if (running_) {
        return false;
    }
    cancelled_ = false;
    running_ = job_.start(
        settings, [this](int percent) { emit progress(percent); },
        [this](const scanner::ScanOutcome& outcome) {
            // The job may finish just before a cancel or the window's closing: what happens to
            // its picture is decided on this thread, where a cancel is known for certain.
            QMetaObject::invokeMethod(
                this, [this, outcome] { deliver(outcome); }, Qt::QueuedConnection);
        });
    return running_;
}

void ScanControl::cancel() {
    cancelled_ = true;
    job_.cancel();
}

void ScanControl::deliver(const scanner::ScanOutcome& outcome) {
    running_ = false;
    switch (outcome.status) {
    case scanner::ScanStatus::Done:
        if (cancelled_) {
            dib late;
            scanner::GetScanedDib(&late, outcome.token);
            OwnedDib dropped(late);
        } else {
            emit scanDone(quint64(outcome.token));
        }
        break;
    case scanner::ScanStatus::Failed:
    case scanner::ScanStatus::NoMemory:
        emit scanFailed(outcome.error);
        break;
    case scanner::ScanStatus::Cancelled:
        break;
    }
    emit finished();
}
