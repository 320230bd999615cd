#pragma once

#include "RecoveryStore.h"
#include "foundation/Progress.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

class QIODevice;

namespace recovery {

// A copy of a document, taken on the window's thread in short steps (so the window never waits
// long) and then written on a thread of its own.
class Snapshot {
public:
    virtual ~Snapshot() = default; // on the window's thread

    // On the writing thread, before the first step: makes ready what the steps copy into (fresh
    // memory is slow to touch the first time, so that happens here and not in the window).
    virtual void prepare() {}

    enum class Step { More, Done, Failed };
    // On the window's thread: copies the next part of the document, stopping soon after
    // `deadline`. Failed when the document no longer fits what was prepared.
    virtual Step take(const QDeadlineTimer& deadline) = 0;

    // On the writing thread: the copy in the document's own file format.
    virtual bool write(QIODevice& out, const ProgressCallback& progress) = 0;
};

// The document's side of its recovery copies.
class Source {
public:
    virtual ~Source() = default;

    // Whether the document has unsaved changes.
    virtual bool changed() const = 0;
    // A number that grows with every change of the content, when the document keeps one; the
    // copy is then taken only when it differs from the last copy's.
    virtual std::optional<std::uint64_t> revision() const { return std::nullopt; }
    // Whether a copy may be taken now: not in the middle of a drag or of a preview.
    virtual bool atRest() const { return true; }
    // Kind, file, title and format of the document now (time and writer are filled in).
    virtual Description describe() const = 0;
    virtual std::unique_ptr<Snapshot> snapshot() = 0;
    // The copies went; memory held for taking them may go too.
    virtual void dropped() {}
};

// When copies are taken.
struct Timing {
    int idleMs = 2000;    // after the last change, while nothing else happens
    int latestMs = 10000; // after the first change not yet copied, at the latest
    qint64 largeBytes = 50'000'000;
    int largeIntervalMs = 60000; // copies larger than largeBytes: at most this often
    int retryMs = 250;           // while the document is not at rest
    int stepMs = 4;              // the longest the window's thread copies at a time
};

// Keeps the recovery copy of one document up to date. Lives on the window's thread; the window
// calls touch() wherever it learns that the document changed, was saved or was discarded.
class Keeper {
public:
    Keeper(Store store, std::unique_ptr<Source> source, Timing timing = {});
    // Stops a write in progress and removes the copy: the program ends or the window goes.
    ~Keeper();
    Keeper(const Keeper&) = delete;
    Keeper& operator=(const Keeper&) = delete;

    // The document may have changed: with unsaved changes a copy follows soon, without them
    // (saved, changes undone) the copy goes.
    void touch();
    // The user dropped the unsaved changes (closed without saving): the copy goes now.
    void discard();
    // Takes over a restored copy as this document's own, so that the work is never without a
    // copy on the disk while the restored document has unsaved changes.
    bool adopt(const Entry& entry);

    // The copy and description paths of this document (they exist while hasCopy()).
    QString copyPath() const;
    QString descriptionPath() const;
    bool hasCopy() const { return hasCopy_; }
    // A copy is due or being taken or written.
    bool busy() const { return pending_ || phase_ != Phase::Idle; }

    // What the last copy cost the window's thread: its longest step and all its steps, in
    // nanoseconds, and its size in bytes.
    struct Cost {
        qint64 longestStepNs = 0;
        qint64 windowNs = 0;
        int steps = 0;
        qint64 bytes = 0;
    };
    const Cost& lastCost() const { return cost_; }
    // Called on the window's thread after each copy was written (tests, benchmarks).
    std::function<void(bool written)> onCopied;

private:
    // Where the copy under way is: its memory made ready on the writing thread, its steps on
    // the window's thread, its writing on the writing thread.
    enum class Phase { Idle, Preparing, Taking, Writing };

    void schedule();
    void copyWhenDue();
    void startSnapshot();
    void step();
    // Runs `work` on the writing thread, then `then` on the window's thread.
    void startWork(std::function<void()> work, std::function<void()> then);
    void prepared();
    void written(qint64 bytes);
    void abortSnapshot();
    void dropCopy();
    void joinWorker();

    Store store_;
    std::unique_ptr<Source> source_;
    Timing timing_;
    QString base_;
    Kind kind_;

    QObject context_; // queued calls from the writing thread arrive through it
    QTimer idleTimer_;
    QTimer latestTimer_;
    QTimer stepTimer_;

    bool pending_ = false; // changes wait for a copy
    bool hasCopy_ = false;
    bool dropWhenIdle_ = false;
    std::optional<std::uint64_t> copiedRevision_;
    std::optional<std::uint64_t> snapshotRevision_;
    QDateTime lastChange_;
    QElapsedTimer sinceLastCopy_;
    qint64 lastBytes_ = 0;

    Phase phase_ = Phase::Idle;
    std::unique_ptr<Snapshot> snapshot_;
    bool abandoned_ = false; // the snapshot being prepared is out of date
    Description snapshotDescription_;
    Cost cost_;
    Cost taking_;

    std::thread worker_;
    std::atomic<bool> stop_{false};
};

} // namespace recovery
