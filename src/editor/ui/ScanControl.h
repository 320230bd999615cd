#pragma once

#include "foundation/scanner/Scanner.h"

#include <QObject>

// The editor's scans: runs a scanner::ScanJob and brings its reports to the user-interface
// thread as signals (queued, since they are sent from the scanning thread): the percentage for
// the progress bar, the token of a finished picture for WMScanDone, the text of a failure.
class ScanControl : public QObject {
    Q_OBJECT

public:
    explicit ScanControl(QObject* parent = nullptr);
    ~ScanControl() override;

    // Starts a scan; false when one is running.
    bool start(const scanner::ScanSettings& settings);
    void cancel();
    bool running() const { return running_; }

signals:
    void progress(int percent);
    // A picture is ready for scanner::GetScanedDib.
    void scanDone(quint64 token);
    void scanFailed(const QString& text);
    // Every scan ends with this, after scanDone or scanFailed (not after a cancel).
    void finished();

private:
    scanner::ScanJob job_;
    bool running_ = false;
};
