#pragma once

// Keeps the OpenGL driver that the window's context loaded in memory until
// the process ends. Mesa unloads its driver when the last context goes, and
// what it keeps on purpose would then be reported by the leak checker from an
// unknown module, where no suppression can name it; loaded, it is found
// under the driver's name (tests/lsan.supp). Call with a context current.
void keepGraphicsDriverLoaded();
