#include "UserMessage.h"

#include <cstdio>

namespace {

void printMessage(MessageIcon, const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MessageSink currentSink = &printMessage;

} // namespace

void setMessageSink(MessageSink sink) {
    currentSink = sink ? sink : &printMessage;
}

void showUserMessage(MessageIcon icon, const QString& text) {
    currentSink(icon, text);
}
