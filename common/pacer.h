#pragma once
// Long loops over whole files hand control back to the window system now and then, not after
// every record: often enough that the window repaints and its buttons answer, rarely enough
// that the event loop costs nothing next to the reading.
#include <QElapsedTimer>

class Pacer {
public:
    explicit Pacer(int intervalMs = 20) : m_interval(intervalMs) { m_timer.start(); }
    // True at most once per interval; the interval starts again when it says so.
    bool due() {
        if (m_timer.elapsed() < m_interval) return false;
        m_timer.restart();
        return true;
    }

private:
    QElapsedTimer m_timer;
    int m_interval;
};
