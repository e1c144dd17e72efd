#pragma once
// Ends the process once a window's first paint has reached the display: the
// zero timer started at the first paint event runs after the whole window is
// drawn and flushed. Installed as the window's event filter; the benchmarks
// time the process from outside (perf stat's time elapsed).

#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdlib>

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
