#include "Scanner.h"

#include "ScanPicture.h"

#include "../OwnedDib.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <QHash>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace scanner {

namespace {

// The library is not made for calls from several threads at once: every call except reading
// the data of a running scan holds this lock.
std::mutex& libraryLock() {
    static std::mutex lock;
    return lock;
}

// Started on first use. It is not ended at exit: that would unload the backends while
// memory they keep is still theirs, and every device is closed after each use anyway.
class Library {
public:
    // Needs libraryLock().
    bool start() {
        if (!started_) {
            started_ = sane_init(&version_, nullptr) == SANE_STATUS_GOOD;
        }
        return started_;
    }
    // Needs start().
    SANE_Int version() const { return version_; }

private:
    bool started_ = false;
    SANE_Int version_ = 0;
};

Library& library() {
    static Library instance;
    return instance;
}

QString statusText(SANE_Status status) {
    switch (status) {
    case SANE_STATUS_DEVICE_BUSY:
        return QStringLiteral("Der Scanner ist belegt.");
    case SANE_STATUS_JAMMED:
        return QStringLiteral("Im Scanner ist Papier gestaut.");
    case SANE_STATUS_NO_DOCS:
        return QStringLiteral("Im Einzug des Scanners liegt kein Papier.");
    case SANE_STATUS_COVER_OPEN:
        return QStringLiteral("Der Deckel des Scanners ist offen.");
    case SANE_STATUS_IO_ERROR:
        return QStringLiteral("Die Verbindung zum Scanner ist gestört.");
    case SANE_STATUS_NO_MEM:
        return QStringLiteral("Der Scanner hat nicht genug Speicher.");
    case SANE_STATUS_ACCESS_DENIED:
        return QStringLiteral("Der Zugriff auf den Scanner wurde verweigert.");
    case SANE_STATUS_INVAL:
        return QStringLiteral("Der Scanner ist nicht mehr da oder falsch eingestellt.");
    default:
        return QStringLiteral("Der Scanner meldet einen Fehler (%1).")
            .arg(QString::fromUtf8(sane_strstatus(status)));
    }
}

QString noLibraryText() {
    return QStringLiteral("Die Scanner-Bibliothek (SANE) kann nicht gestartet werden.");
}

// An open device, closed when it goes. Opening and closing need libraryLock().
class OpenDevice {
public:
    explicit OpenDevice(const QString& name, SANE_Status& status) {
        status = sane_open(name.toUtf8().constData(), &handle_);
        if (status != SANE_STATUS_GOOD) {
            handle_ = nullptr;
        }
    }
    ~OpenDevice() {
        if (handle_) {
            sane_close(handle_);
        }
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    SANE_Handle handle() const { return handle_; }

    // Index and description of the option called `name`, or -1.
    int find(const char* name, const SANE_Option_Descriptor** descriptor) const {
        SANE_Int count = 0;
        if (sane_control_option(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
            SANE_STATUS_GOOD) {
            return -1;
        }
        for (SANE_Int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
            if (d && d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap)) {
                *descriptor = d;
                return i;
            }
        }
        return -1;
    }

private:
    SANE_Handle handle_ = nullptr;
};

int toDpi(const SANE_Option_Descriptor* d, SANE_Word w) {
    return d->type == SANE_TYPE_FIXED ? int(SANE_UNFIX(w) + 0.5) : int(w);
}

SANE_Word fromDpi(const SANE_Option_Descriptor* d, int dpi) {
    return d->type == SANE_TYPE_FIXED ? SANE_FIX(double(dpi)) : SANE_Word(dpi);
}

void readChoices(const OpenDevice& device, DeviceChoices& choices) {
    const SANE_Option_Descriptor* d = nullptr;
    int index = device.find(SANE_NAME_SCAN_MODE, &d);
    if (index > 0 && d->type == SANE_TYPE_STRING &&
        d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
        for (const SANE_String_Const* s = d->constraint.string_list; *s; ++s) {
            choices.modes << QString::fromUtf8(*s);
        }
        std::vector<char> value(std::size_t(std::max<SANE_Int>(d->size, 1)) + 1, '\0');
        if (sane_control_option(device.handle(), index, SANE_ACTION_GET_VALUE, value.data(),
                                nullptr) == SANE_STATUS_GOOD) {
            choices.mode = QString::fromUtf8(value.data());
        }
    }
    index = device.find(SANE_NAME_SCAN_RESOLUTION, &d);
    if (index > 0 && (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
        d->size == SANE_Int(sizeof(SANE_Word))) {
        if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            const SANE_Word* list = d->constraint.word_list;
            for (SANE_Word i = 1; i <= list[0]; ++i) {
                choices.resolutions.push_back(toDpi(d, list[i]));
            }
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            // A range is offered as the usual steps within it.
            const int low = toDpi(d, d->constraint.range->min);
            const int high = toDpi(d, d->constraint.range->max);
            for (const int dpi : {50, 75, 100, 150, 200, 300, 400, 600, 1200, 2400}) {
                if (dpi >= low && dpi <= high) {
                    choices.resolutions.push_back(dpi);
                }
            }
        }
        SANE_Word value = 0;
        if (sane_control_option(device.handle(), index, SANE_ACTION_GET_VALUE, &value, nullptr) ==
            SANE_STATUS_GOOD) {
            choices.resolution = toDpi(d, value);
            choices.resolutions.push_back(choices.resolution);
        }
        std::sort(choices.resolutions.begin(), choices.resolutions.end());
        choices.resolutions.erase(
            std::unique(choices.resolutions.begin(), choices.resolutions.end()),
            choices.resolutions.end());
    }
}

// Sets what the user chose; a setting the device refuses leaves its own.
void applySettings(const OpenDevice& device, const ScanSettings& settings) {
    const SANE_Option_Descriptor* d = nullptr;
    int index = settings.mode.isEmpty() ? -1 : device.find(SANE_NAME_SCAN_MODE, &d);
    if (index > 0 && d->type == SANE_TYPE_STRING && SANE_OPTION_IS_SETTABLE(d->cap)) {
        std::vector<char> value(std::size_t(std::max<SANE_Int>(d->size, 1)), '\0');
        const QByteArray mode = settings.mode.toUtf8();
        if (mode.size() < qsizetype(value.size())) {
            std::memcpy(value.data(), mode.constData(), std::size_t(mode.size()));
            sane_control_option(device.handle(), index, SANE_ACTION_SET_VALUE, value.data(),
                                nullptr);
        }
    }
    // The mode may change the options: look the resolution up afterwards.
    index = settings.resolution > 0 ? device.find(SANE_NAME_SCAN_RESOLUTION, &d) : -1;
    if (index > 0 && (d->type == SANE_TYPE_INT || d->type == SANE_TYPE_FIXED) &&
        SANE_OPTION_IS_SETTABLE(d->cap) && d->size == SANE_Int(sizeof(SANE_Word))) {
        SANE_Word value = fromDpi(d, settings.resolution);
        sane_control_option(device.handle(), index, SANE_ACTION_SET_VALUE, &value, nullptr);
    }
}

bool frameFormat(const SANE_Parameters& p, FrameFormat& f) {
    switch (p.format) {
    case SANE_FRAME_GRAY:
        f.kind = FrameKind::Gray;
        break;
    case SANE_FRAME_RGB:
        f.kind = FrameKind::Rgb;
        break;
    case SANE_FRAME_RED:
        f.kind = FrameKind::Red;
        break;
    case SANE_FRAME_GREEN:
        f.kind = FrameKind::Green;
        break;
    case SANE_FRAME_BLUE:
        f.kind = FrameKind::Blue;
        break;
    default:
        return false;
    }
    f.depth = p.depth;
    f.pixels = p.pixels_per_line;
    f.lineBytes = p.bytes_per_line;
    f.lines = p.lines;
    return true;
}

// Finished scans waiting for GetScanedDib.
struct Store {
    std::mutex lock;
    std::uint64_t next = 1;
    QHash<std::uint64_t, dib> pictures;
    ~Store() {
        for (dib& d : pictures) {
            FreeDIB(d);
        }
    }
};

Store& store() {
    static Store instance;
    return instance;
}

} // namespace

QString Device::label() const {
    const QString maker = (vendor + QLatin1Char(' ') + model).trimmed();
    return maker.isEmpty() ? name : maker + QStringLiteral(" (") + name + QLatin1Char(')');
}

QString modeLabel(const QString& mode) {
    if (mode == QLatin1String(SANE_VALUE_SCAN_MODE_COLOR)) {
        return QStringLiteral("Farbe");
    }
    if (mode == QLatin1String(SANE_VALUE_SCAN_MODE_GRAY)) {
        return QStringLiteral("Graustufen");
    }
    if (mode == QLatin1String(SANE_VALUE_SCAN_MODE_LINEART)) {
        return QStringLiteral("Strichzeichnung");
    }
    if (mode == QLatin1String(SANE_VALUE_SCAN_MODE_HALFTONE)) {
        return QStringLiteral("Raster");
    }
    return mode;
}

QString libraryVersion() {
    const std::lock_guard guard(libraryLock());
    if (!library().start()) {
        return {};
    }
    const SANE_Int version = library().version();
    return QStringLiteral("%1.%2.%3")
        .arg(SANE_VERSION_MAJOR(version))
        .arg(SANE_VERSION_MINOR(version))
        .arg(SANE_VERSION_BUILD(version));
}

DeviceList listDevices() {
    DeviceList list;
    const std::lock_guard guard(libraryLock());
    if (!library().start()) {
        list.error = noLibraryText();
        return list;
    }
    const SANE_Device** devices = nullptr;
    const SANE_Status status = sane_get_devices(&devices, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        list.error = statusText(status);
        return list;
    }
    for (const SANE_Device** d = devices; d && *d; ++d) {
        list.devices.push_back({QString::fromUtf8((*d)->name), QString::fromUtf8((*d)->vendor),
                                QString::fromUtf8((*d)->model), QString::fromUtf8((*d)->type)});
    }
    return list;
}

DeviceChoices deviceChoices(const QString& name) {
    DeviceChoices choices;
    const std::lock_guard guard(libraryLock());
    if (!library().start()) {
        choices.error = noLibraryText();
        return choices;
    }
    SANE_Status status;
    const OpenDevice device(name, status);
    if (!device.handle()) {
        choices.error = statusText(status);
        return choices;
    }
    readChoices(device, choices);
    return choices;
}

ScanJob::ScanJob() = default;

ScanJob::~ScanJob() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool ScanJob::start(const ScanSettings& settings, Progress progress, Finished finished) {
    if (running_) {
        return false;
    }
    if (thread_.joinable()) {
        thread_.join(); // the previous scan has ended
    }
    running_ = true;
    cancelled_ = false;
    thread_ = std::thread(&ScanJob::run, this, settings, std::move(progress), std::move(finished));
    return true;
}

void ScanJob::cancel() {
    cancelled_ = true;
}

void ScanJob::run(ScanSettings settings, Progress progress, Finished finished) {
    ScanOutcome outcome;
    ScanPicture picture;
    {
        std::unique_lock guard(libraryLock());
        SANE_Status status = SANE_STATUS_GOOD;
        if (!library().start()) {
            outcome.error = noLibraryText();
        } else if (OpenDevice device(settings.device, status); !device.handle()) {
            outcome.error = statusText(status);
        } else {
            applySettings(device, settings);
            std::vector<SANE_Byte> buffer(64 * 1024);
            int lastPercent = -1;
            bool more = true;
            while (more && outcome.error.isEmpty() && !cancelled_) {
                status = sane_start(device.handle());
                SANE_Parameters parameters{};
                if (status == SANE_STATUS_GOOD) {
                    status = sane_get_parameters(device.handle(), &parameters);
                }
                if (status != SANE_STATUS_GOOD) {
                    outcome.error = statusText(status);
                    break;
                }
                FrameFormat format;
                if (!frameFormat(parameters, format) || !picture.beginFrame(format)) {
                    outcome.status = ScanStatus::NoMemory;
                    outcome.error = QStringLiteral(
                        "Das Bild des Scanners hat ein Format, das nicht gelesen werden kann, "
                        "oder ist zu groß für den Speicher.");
                    break;
                }
                more = !parameters.last_frame;
                // Reading the data needs no lock, so that choosing a device is not held up.
                guard.unlock();
                while (!cancelled_) {
                    SANE_Int length = 0;
                    status =
                        sane_read(device.handle(), buffer.data(), SANE_Int(buffer.size()), &length);
                    if (status == SANE_STATUS_EOF) {
                        break;
                    }
                    if (status != SANE_STATUS_GOOD) {
                        outcome.error = statusText(status);
                        break;
                    }
                    if (!picture.add(buffer.data(), std::size_t(length))) {
                        outcome.status = ScanStatus::NoMemory;
                        outcome.error =
                            QStringLiteral("Das gescannte Bild ist zu groß für den Speicher.");
                        break;
                    }
                    const std::int64_t expected = picture.expectedBytes();
                    const int percent = expected > 0
                                            ? int(std::min<std::int64_t>(
                                                  100, picture.receivedBytes() * 100 / expected))
                                            : 0;
                    if (percent != lastPercent && progress) {
                        lastPercent = percent;
                        progress(percent);
                    }
                }
                guard.lock();
            }
            // Ends the scan, finished or not, and returns the device to idle.
            sane_cancel(device.handle());
        }
    }
    if (cancelled_ && outcome.error.isEmpty()) {
        outcome.status = ScanStatus::Cancelled;
    } else if (outcome.error.isEmpty()) {
        OwnedDib result = picture.finish();
        if (!result) {
            outcome.status = ScanStatus::NoMemory;
            outcome.error = QStringLiteral("Das gescannte Bild ist zu groß für den Speicher.");
        } else {
            Store& s = store();
            const std::lock_guard guard(s.lock);
            outcome.token = s.next++;
            s.pictures.insert(outcome.token, result.release());
            outcome.status = ScanStatus::Done;
        }
    } else if (outcome.status != ScanStatus::NoMemory) {
        outcome.status = ScanStatus::Failed;
    }
    running_ = false;
    if (finished) {
        finished(outcome);
    }
}

void GetScanedDib(dib* out, std::uint64_t token) {
    *out = dib{};
    Store& s = store();
    const std::lock_guard guard(s.lock);
    const auto it = s.pictures.find(token);
    if (it != s.pictures.end()) {
        *out = it.value();
        s.pictures.erase(it);
    }
}

} // namespace scanner
