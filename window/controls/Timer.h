#pragma once

#include <QObject>
#include <QTimer>

namespace window {

// A timer that raises tick() every Interval milliseconds while it is enabled. Enabling a timer
// that already runs leaves its interval running: a stream of mouse moves that keep enabling it
// must not hold its ticks back.
class Timer : public QObject
{
    Q_OBJECT
public:
    explicit Timer(QObject *parent);

    int interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    bool isActive() const { return m_timer.isActive(); }
    void setEnabled(bool enabled);

Q_SIGNALS:
    void tick();

private:
    QTimer m_timer;
};

} // namespace window
