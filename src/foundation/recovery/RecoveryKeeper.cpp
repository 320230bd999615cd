#include "RecoveryKeeper.h"

#include "foundation/AtomicSave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace recovery {

Keeper::Keeper(Store store, std::unique_ptr<Source> source, Timing timing)
    : store_(std::move(store)), source_(std::move(source)), timing_(timing),
      base_(store_.newBase()), kind_(source_->describe().kind) {
    for (QTimer* timer : {&idleTimer_, &latestTimer_, &stepTimer_}) {
        timer->setSingleShot(true);
    }
    QObject::connect(&idleTimer_, &QTimer::timeout, &context_, [this] { copyWhenDue(); });
    QObject::connect(&latestTimer_, &QTimer::timeout, &context_, [this] { copyWhenDue(); });
    QObject::connect(&stepTimer_, &QTimer::timeout, &context_, [this] { step(); });
}

Keeper::~Keeper() {
    stop_ = true;
    joinWorker();
    snapshot_.reset();
    if (hasCopy_) {
        Store::removeBase(base_);
    }
}

QString Keeper::copyPath() const {
    return base_ + Store::copySuffix(kind_);
}

QString Keeper::descriptionPath() const {
    return base_ + Store::descriptionSuffix();
}

void Keeper::touch() {
    if (!source_->changed()) {
        discard();
        return;
    }
    dropWhenIdle_ = false;
    const std::optional<std::uint64_t> revision = source_->revision();
    if (revision) {
        // Nothing new since the copy that exists or is under way.
        const std::optional<std::uint64_t> latest = phase_ != Phase::Idle ? snapshotRevision_
                                                    : hasCopy_            ? copiedRevision_
                                                                          : std::nullopt;
        if (latest == revision) {
            return;
        }
    }
    lastChange_ = QDateTime::currentDateTime();
    abortSnapshot(); // it would miss this change
    schedule();
}

void Keeper::discard() {
    idleTimer_.stop();
    latestTimer_.stop();
    pending_ = false;
    abortSnapshot();
    if (phase_ == Phase::Writing) {
        stop_ = true; // a copy being written is of no use any more
    }
    if (phase_ != Phase::Idle) {
        dropWhenIdle_ = true;
        return;
    }
    dropCopy();
}

bool Keeper::adopt(const Entry& entry) {
    if (phase_ != Phase::Idle) {
        return false;
    }
    QFile::remove(copyPath());
    if (!QFile::rename(entry.copyPath, copyPath())) {
        return false;
    }
    hasCopy_ = true;
    Description description = source_->describe();
    description.changed = entry.description.changed;
    description.pid = QCoreApplication::applicationPid();
    description.writer = Store::processToken();
    store_.writeDescription(base_, description);
    QFile::remove(entry.descriptionPath);
    // The copy is the document as restored: nothing is due until it changes.
    idleTimer_.stop();
    latestTimer_.stop();
    pending_ = false;
    copiedRevision_ = source_->revision();
    lastChange_ = entry.description.changed;
    lastBytes_ = QFileInfo(copyPath()).size();
    return true;
}

void Keeper::schedule() {
    if (!pending_) {
        pending_ = true;
        latestTimer_.start(timing_.latestMs);
    }
    idleTimer_.start(timing_.idleMs);
}

void Keeper::copyWhenDue() {
    if (!pending_ || phase_ != Phase::Idle) {
        return; // the copy under way looks again when it is done
    }
    if (!source_->changed()) {
        discard();
        return;
    }
    if (!source_->atRest()) {
        idleTimer_.start(timing_.retryMs);
        return;
    }
    if (lastBytes_ > timing_.largeBytes && sinceLastCopy_.isValid() &&
        sinceLastCopy_.elapsed() < timing_.largeIntervalMs) {
        latestTimer_.stop();
        idleTimer_.start(int(timing_.largeIntervalMs - sinceLastCopy_.elapsed()));
        return;
    }
    startSnapshot();
}

void Keeper::startSnapshot() {
    idleTimer_.stop();
    latestTimer_.stop();
    pending_ = false;
    sinceLastCopy_.start();
    snapshotRevision_ = source_->revision();
    snapshotDescription_ = source_->describe();
    snapshotDescription_.changed = lastChange_;
    snapshotDescription_.pid = QCoreApplication::applicationPid();
    snapshotDescription_.writer = Store::processToken();

    QElapsedTimer clock;
    clock.start();
    snapshot_ = source_->snapshot();
    taking_ = Cost{};
    taking_.windowNs = taking_.longestStepNs = clock.nsecsElapsed();
    if (!snapshot_) {
        schedule(); // no memory for it now; later
        return;
    }
    phase_ = Phase::Preparing;
    abandoned_ = false;
    Snapshot* snapshot = snapshot_.get();
    startWork([snapshot] { snapshot->prepare(); }, [this] { prepared(); });
}

void Keeper::prepared() {
    if (abandoned_) {
        snapshot_.reset();
        phase_ = Phase::Idle;
        if (dropWhenIdle_) {
            dropCopy();
        } else if (pending_ && !idleTimer_.isActive()) {
            copyWhenDue();
        }
        return;
    }
    phase_ = Phase::Taking;
    step();
}

void Keeper::step() {
    if (phase_ != Phase::Taking) {
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const Snapshot::Step result = snapshot_->take(QDeadlineTimer(timing_.stepMs));
    const qint64 ns = clock.nsecsElapsed();
    ++taking_.steps;
    taking_.windowNs += ns;
    taking_.longestStepNs = std::max(taking_.longestStepNs, ns);
    switch (result) {
    case Snapshot::Step::More:
        stepTimer_.start(0); // the window handles its events in between
        return;
    case Snapshot::Step::Failed:
        snapshot_.reset();
        phase_ = Phase::Idle;
        schedule();
        return;
    case Snapshot::Step::Done:
        break;
    }

    // Written under the document's own name first, then described; each replaces the last one
    // only when complete.
    phase_ = Phase::Writing;
    auto bytes = std::make_shared<qint64>(-1);
    startWork(
        [bytes, snapshot = snapshot_.get(), copy = copyPath(), base = base_,
         description = snapshotDescription_, store = store_, stop = &stop_] {
            const auto proceed = [stop](int) { return !stop->load(); };
            QDir().mkpath(store.folder());
            const SaveOutcome outcome =
                saveAtomically(copy, [&](QIODevice& out) { return snapshot->write(out, proceed); });
            if (outcome == SaveOutcome::Saved) {
                *bytes = QFileInfo(copy).size();
                store.writeDescription(base, description);
            }
        },
        [this, bytes] { written(*bytes); });
}

void Keeper::written(qint64 bytes) {
    QElapsedTimer clock;
    clock.start();
    snapshot_.reset(); // what the copy held goes back on the window's thread
    taking_.windowNs += clock.nsecsElapsed();
    phase_ = Phase::Idle;
    cost_ = taking_;
    cost_.bytes = std::max<qint64>(bytes, 0);
    const bool ok = bytes >= 0;
    if (ok) {
        hasCopy_ = true;
        copiedRevision_ = snapshotRevision_;
        lastBytes_ = bytes;
    } else if (!dropWhenIdle_ && !pending_) {
        // The disk refused it (full?): try again, but not at once.
        pending_ = true;
        idleTimer_.start(timing_.latestMs);
    }
    if (dropWhenIdle_) {
        dropCopy();
    } else if (pending_ && !idleTimer_.isActive() && !latestTimer_.isActive()) {
        copyWhenDue(); // it became due while this copy was written
    }
    if (onCopied) {
        onCopied(ok);
    }
}

void Keeper::startWork(std::function<void()> work, std::function<void()> then) {
    joinWorker();
    stop_ = false;
    worker_ = std::thread([this, work = std::move(work), then = std::move(then)] {
        work();
        QMetaObject::invokeMethod(
            &context_,
            [this, then] {
                joinWorker();
                then();
            },
            Qt::QueuedConnection);
    });
}

void Keeper::abortSnapshot() {
    switch (phase_) {
    case Phase::Preparing:
        abandoned_ = true; // the thread still uses it
        break;
    case Phase::Taking:
        stepTimer_.stop();
        snapshot_.reset();
        phase_ = Phase::Idle;
        break;
    case Phase::Idle:
    case Phase::Writing: // complete and consistent: it goes on, and the next copy follows
        break;
    }
}

void Keeper::dropCopy() {
    if (hasCopy_) {
        Store::removeBase(base_);
        hasCopy_ = false;
    }
    copiedRevision_.reset();
    lastBytes_ = 0;
    dropWhenIdle_ = false;
    source_->dropped();
}

void Keeper::joinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

} // namespace recovery
