#pragma once

#include <QString>

// Failures that must reach the user at once go through this sink: out of memory in the record
// array or while copying a picture, files that cannot be read or written. The window layer
// installs a sink that shows a modal message box; without one the text goes to standard error,
// and tests install one that collects the texts.
enum class MessageIcon { None, Error, Warning, Question, Information };

// An empty caption stands for "no caption of its own": the application title shows instead.
using MessageSink = void (*)(MessageIcon icon, const QString& text, const QString& caption);

void setMessageSink(MessageSink sink);
void showUserMessage(MessageIcon icon, const QString& text, const QString& caption = {});

// Yes / No / Cancel questions go through a sink of their own, so that windows can ask and tests
// can answer. Without a sink every question is answered with Cancel.
enum class UserAnswer { Yes, No, Cancel };

using QuestionSink = UserAnswer (*)(MessageIcon icon, const QString& text, const QString& caption);

void setQuestionSink(QuestionSink sink);
UserAnswer askUser(MessageIcon icon, const QString& text, const QString& caption);
