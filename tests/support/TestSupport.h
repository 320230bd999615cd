#pragma once

#include "foundation/AtomicSave.h"
#include "foundation/UserMessage.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <ostream>
#include <vector>

// Texts in failure messages as text, not as bytes.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{";
    for (const QString& text : texts) {
        *out << "\n  \"" << text.toStdString() << "\"";
    }
    *out << " }";
}

// Collects the user messages of the core while alive, instead of showing them.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList texts() const;
};

// Makes the program's allocator refuse requests while alive: every request of at least
// `minimumBytes`, after `successes` requests have been granted.
class AllocationFailure {
public:
    explicit AllocationFailure(std::size_t minimumBytes, std::size_t successes = 0);
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;
};

// Answers the program's Yes / No / Cancel questions from a script while alive and records
// what was asked (caption, then text).
class QuestionScript {
public:
    explicit QuestionScript(QList<UserAnswer> answers);
    ~QuestionScript();
    QuestionScript(const QuestionScript&) = delete;
    QuestionScript& operator=(const QuestionScript&) = delete;

    QStringList asked() const;
    int unanswered() const;
};

// Makes the saves' fsync of `failing` (a file's content or its folder entry) fail with an I/O
// error while alive; with nothing to fail, only records. Saves on any thread count.
class SyncFailure {
public:
    explicit SyncFailure(std::optional<filesync::Target> failing);
    ~SyncFailure();
    SyncFailure(const SyncFailure&) = delete;
    SyncFailure& operator=(const SyncFailure&) = delete;

    // The syncs asked for so far, in order.
    std::vector<filesync::Target> calls() const;
};
