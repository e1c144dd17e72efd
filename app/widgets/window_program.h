#pragma once
// The window program from its start to its end: the application on the
// display, the Chinese texts, the window TForm1 with its print dialog, and the
// event loop until the window closes.

#include <functional>

class QWidget;

namespace dotforge {

// Runs the window program and returns its exit code. `shown`, when given, is
// called with the window once it is shown (a benchmark watches its first paint).
int runWindowProgram(int argc, char *argv[], const std::function<void(QWidget &)> &shown = {});

} // namespace dotforge
