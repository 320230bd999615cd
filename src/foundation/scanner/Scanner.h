#pragma once

#include "../dib.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// The scanner library: devices, their scan modes and resolutions, and acquisition through
// SANE. A scan runs on a thread of its own so that the window stays responsive; it reports
// progress and its end through callbacks that run on that thread (the window passes them on to
// its own thread as queued signals) and leaves the picture under a token for GetScanedDib.
namespace scanner {

struct Device {
    QString name; // what the library opens, e.g. "test:0"
    QString vendor;
    QString model;
    QString type;
    // "Vendor Model (name)" for lists.
    QString label() const;
};

// The version of the library in use ("1.2.1"); empty when it cannot be started.
QString libraryVersion();

// The devices the library finds; `error` holds a German text when it cannot even look.
struct DeviceList {
    std::vector<Device> devices;
    QString error;
};
DeviceList listDevices();

// What a device offers for the two settings the program asks for. Empty lists when the device
// has no such option (it then scans as it is set).
struct DeviceChoices {
    QStringList modes;            // the library's names ("Color", "Gray", "Lineart", ...)
    QString mode;                 // the current one
    std::vector<int> resolutions; // dots per inch, ascending
    int resolution = 0;
    QString error; // the device cannot be opened
};
DeviceChoices deviceChoices(const QString& device);

// German name of a scan mode for the user ("Farbe" for "Color" ...); others as they are.
QString modeLabel(const QString& mode);

struct ScanSettings {
    QString device;
    QString mode;       // empty: as the device is set
    int resolution = 0; // 0: as the device is set
};

enum class ScanStatus { Done, Cancelled, Failed, NoMemory };

struct ScanOutcome {
    ScanStatus status = ScanStatus::Failed;
    std::uint64_t token = 0; // for GetScanedDib when Done
    QString error;           // German, when Failed or NoMemory
};

// One acquisition at a time per job. Destroying a running job cancels it and waits for it.
class ScanJob {
public:
    using Progress = std::function<void(int percent)>;
    using Finished = std::function<void(const ScanOutcome&)>;

    ScanJob();
    ~ScanJob();
    ScanJob(const ScanJob&) = delete;
    ScanJob& operator=(const ScanJob&) = delete;

    // Starts scanning; false when a scan of this job is still running. Both callbacks run on
    // the scanning thread; `finished` is called exactly once for every start that returned true.
    bool start(const ScanSettings& settings, Progress progress, Finished finished);
    // Asks the running scan to stop; it ends with ScanStatus::Cancelled soon after.
    void cancel();
    bool running() const { return running_; }

private:
    void run(ScanSettings settings, Progress progress, Finished finished);

    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> cancelled_{false};
};

// The picture of a finished scan, handed out once; `out` has no pixels for an unknown token.
void GetScanedDib(dib* out, std::uint64_t token);

} // namespace scanner
