#pragma once
// Timers: Interval in milliseconds (0 stops it) and Enabled. Enabling a timer that already
// runs changes nothing: its countdown goes on (Qt's start() would restart it). A new Interval
// restarts the countdown.

#include "ui_control.h"

#include <QTimer>

namespace rt {

class Timer : public Control {
public:
    explicit Timer(Container& parent, const QString& name = {}, int index = -1);

    int Interval() const { return interval_; }
    void setInterval(int milliseconds);
    // True while a countdown runs.
    bool isRunning() const { return timer_.isActive(); }
    // Milliseconds left of the running countdown, -1 when none runs.
    int remainingTime() const { return timer_.remainingTime(); }

    std::function<void()> onTimer;

private:
    void pushEnabled() override { update(); }
    void update();
    QTimer timer_;
    int interval_ = 0;
};

} // namespace rt
