#pragma once

namespace messages {

// Routes the program's user messages (showUserMessage) into modal message boxes over the
// active window.
void installMessageBoxSink();

} // namespace messages
