#pragma once

namespace kit {

// Makes SIGINT and SIGTERM ask the frame loop to stop, as the window's close
// button does, so that shutdown runs in full and the exit status is 0.
void installStopSignalHandlers();

// Whether SIGINT or SIGTERM arrived since the handlers were installed.
[[nodiscard]] bool stopSignalReceived();

} // namespace kit
