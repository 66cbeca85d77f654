#include "ui_timer.h"

#include "core/rt_error.h"
#include "ui_dispatch.h"

namespace rt {

Timer::Timer(Container& parent, const QString& name, int index)
    : Control(ControlKind::Timer, parent, name, index) {
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
        if (Enabled() && interval_ > 0 && onTimer) dispatch(onTimer);
    });
}

void Timer::setInterval(int milliseconds) {
    if (milliseconds < 0 || milliseconds > 65535) rt::raise(ErrInvalidProperty);
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    timer_.stop();
    update();
}

void Timer::update() {
    if (Enabled() && interval_ > 0) {
        if (!timer_.isActive()) timer_.start(interval_);
    } else {
        timer_.stop();
    }
}

} // namespace rt
