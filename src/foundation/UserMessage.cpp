#include "UserMessage.h"

#include <cstdio>

namespace {

void printMessage(MessageIcon, const QString& text, const QString&) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MessageSink currentSink = &printMessage;

UserAnswer cancelEverything(MessageIcon, const QString&, const QString&) {
    return UserAnswer::Cancel;
}

QuestionSink currentQuestionSink = &cancelEverything;

} // namespace

void setMessageSink(MessageSink sink) {
    currentSink = sink ? sink : &printMessage;
}

void showUserMessage(MessageIcon icon, const QString& text, const QString& caption) {
    currentSink(icon, text, caption);
}

void setQuestionSink(QuestionSink sink) {
    currentQuestionSink = sink ? sink : &cancelEverything;
}

UserAnswer askUser(MessageIcon icon, const QString& text, const QString& caption) {
    return currentQuestionSink(icon, text, caption);
}
