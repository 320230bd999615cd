#pragma once

#include "foundation/UserMessage.h"

#include <QString>
#include <QStringList>

#include <cstddef>

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
