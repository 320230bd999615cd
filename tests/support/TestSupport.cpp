#include "TestSupport.h"

#include "foundation/Memory.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include <unistd.h>

namespace {

QStringList captured;

void captureMessage(MessageIcon, const QString& text, const QString&) {
    captured.append(text);
}

QList<UserAnswer> scriptedAnswers;
QStringList questionsAsked;

UserAnswer answerFromScript(MessageIcon, const QString& text, const QString& caption) {
    questionsAsked << caption + QLatin1Char('|') + text;
    return scriptedAnswers.isEmpty() ? UserAnswer::Cancel : scriptedAnswers.takeFirst();
}

std::size_t failFrom = 0;
std::size_t grantsLeft = 0;

void* failingAllocator(std::size_t bytes) {
    if (bytes >= failFrom) {
        if (grantsLeft == 0) {
            return nullptr;
        }
        --grantsLeft;
    }
    return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

std::mutex syncMutex;
std::vector<filesync::Target> syncCalls;
std::optional<filesync::Target> failingSync;

int recordingSync(filesync::Target target, int fd) {
    {
        const std::lock_guard lock(syncMutex);
        syncCalls.push_back(target);
        if (failingSync == target) {
            errno = EIO;
            return -1;
        }
    }
    return ::fsync(fd);
}

} // namespace

SyncFailure::SyncFailure(std::optional<filesync::Target> failing) {
    const std::lock_guard lock(syncMutex);
    syncCalls.clear();
    failingSync = failing;
    filesync::setSyncFunction(&recordingSync);
}

SyncFailure::~SyncFailure() {
    filesync::resetSyncFunction();
}

std::vector<filesync::Target> SyncFailure::calls() const {
    const std::lock_guard lock(syncMutex);
    return syncCalls;
}

MessageCapture::MessageCapture() {
    captured.clear();
    setMessageSink(&captureMessage);
}

MessageCapture::~MessageCapture() {
    setMessageSink(nullptr);
    captured.clear();
}

QStringList MessageCapture::texts() const {
    return captured;
}

AllocationFailure::AllocationFailure(std::size_t minimumBytes, std::size_t successes) {
    failFrom = minimumBytes;
    grantsLeft = successes;
    memory::setAllocator(&failingAllocator);
}

AllocationFailure::~AllocationFailure() {
    memory::resetAllocator();
}

QuestionScript::QuestionScript(QList<UserAnswer> answers) {
    scriptedAnswers = std::move(answers);
    questionsAsked.clear();
    setQuestionSink(&answerFromScript);
}

QuestionScript::~QuestionScript() {
    setQuestionSink(nullptr);
    scriptedAnswers.clear();
}

QStringList QuestionScript::asked() const {
    return questionsAsked;
}

int QuestionScript::unanswered() const {
    return int(scriptedAnswers.size());
}
