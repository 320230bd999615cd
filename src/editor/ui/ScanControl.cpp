#include "ScanControl.h"

ScanControl::ScanControl(QObject* parent) : QObject(parent) {
    // The job's callbacks run on its thread; these turn them into queued calls.
    connect(this, &ScanControl::finished, this, [this] { running_ = false; });
}

ScanControl::~ScanControl() = default; // the job is stopped and waited for

bool ScanControl::start(const scanner::ScanSettings& settings) {
    if (running_) {
        return false;
    }
    running_ = job_.start(
        settings, [this](int percent) { emit progress(percent); },
        [this](const scanner::ScanOutcome& outcome) {
            switch (outcome.status) {
            case scanner::ScanStatus::Done:
                emit scanDone(quint64(outcome.token));
                break;
            case scanner::ScanStatus::Failed:
            case scanner::ScanStatus::NoMemory:
                emit scanFailed(outcome.error);
                break;
            case scanner::ScanStatus::Cancelled:
                break;
            }
            emit finished();
        });
    return running_;
}

void ScanControl::cancel() {
    job_.cancel();
}
