// The window from its start to its first paint: runs the window program as
// `dotforge` does and ends the process as soon as the window's first paint has
// reached the display. Timed from outside (bench/run.sh takes perf stat's time
// elapsed), the figure holds loading the program and its libraries too.
// Run it in a folder holding "Font16s", as the window program is.

#include "app/widgets/window_program.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

// Ends the process once the paint that the first paint event starts has been
// flushed: the zero timer runs after the whole window is drawn.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    FirstPaint watcher;
    return dotforge::runWindowProgram(argc, argv, [&watcher](QWidget &window) { window.installEventFilter(&watcher); });
}
