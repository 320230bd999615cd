#pragma once

namespace messages {

// Routes the program's user messages (showUserMessage) and questions (askUser) into modal
// message boxes over the active window.
void installMessageBoxSink();

} // namespace messages
