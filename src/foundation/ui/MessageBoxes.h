#pragma once

#include "foundation/UserMessage.h"

#include <QString>

class QWidget;

// Modal message boxes in the program's style. An empty caption stands for "no caption of its
// own": the application title is shown instead.
namespace messages {

void show(QWidget* parent, MessageIcon icon, const QString& text, const QString& caption = {});
void error(QWidget* parent, const QString& text, const QString& caption = {});

// Routes the core's user messages (showUserMessage) into modal message boxes.
void installMessageBoxSink();

} // namespace messages
