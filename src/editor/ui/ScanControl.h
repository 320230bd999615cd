#pragma once

#include "foundation/scanner/Scanner.h"

#include <QObject>

// The editor's scans: runs a scanner::ScanJob and brings its reports to the user-interface
// thread as signals: the percentage for the progress bar (sent from the scanning thread), and,
// sent on the user-interface thread, the token of a finished picture for WMScanDone, the text
// of a failure and the end. A picture that arrives after cancel() is dropped.
class ScanControl : public QObject {
    Q_OBJECT

public:
    explicit ScanControl(QObject* parent = nullptr);
    ~ScanControl() override;

    // Starts a scan; false when one is running.
    bool start(const scanner::ScanSettings& settings);
    // The running scan's picture will not be delivered, even when the scanner has finished it.
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
    void deliver(const scanner::ScanOutcome& outcome);

    scanner::ScanJob job_;
    // Both are read and written on the user-interface thread only.
    bool running_ = false;
    bool cancelled_ = false;
};
