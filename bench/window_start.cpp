// The window from its start to its first paint: runs the window program as
// `dotforge` does and ends the process as soon as the window's first paint has
// reached the display. Timed from outside (bench/run.sh takes perf stat's time
// elapsed), the figure holds loading the program and its libraries too.
// Run it in a folder holding "Font16s", as the window program is.

#include "app/widgets/window_program.h"
#include "bench/first_paint.h"

#include <QWidget>

int main(int argc, char *argv[])
{
    FirstPaint watcher;
    return dotforge::runWindowProgram(argc, argv, [&watcher](QWidget &window) { window.installEventFilter(&watcher); });
}
