#pragma once

#include <QString>

// Core code reports the few failures that must reach the user at once (out of memory in the
// record array or while copying a picture) through this sink. The window layer installs a sink
// that shows a modal message box; without one the text goes to standard error.
enum class MessageIcon { None, Error, Warning, Question, Information };

using MessageSink = void (*)(MessageIcon icon, const QString& text);

void setMessageSink(MessageSink sink);
void showUserMessage(MessageIcon icon, const QString& text);
