#include "ui_dispatch.h"

#include "application.h"
#include "core/rt_error.h"

namespace rt {

namespace {
// The innermost throughQt still waiting: none while a handler or an event runs beneath it.
detail::WaitingCall* g_waiting = nullptr;

void report(const std::exception_ptr& error) {
    int32_t number = ErrInvalidCall;
    QString description;
    try {
        std::rethrow_exception(error);
    } catch (const RtError& e) {
        number = e.Number;
        description = e.Description;
    } catch (const std::exception& e) {
        description = QString::fromLocal8Bit(e.what());
    }
    reportUntrappedError(number, description);
}
} // namespace

namespace detail {

WaitingCall::WaitingCall() : previous_(g_waiting) {
    g_waiting = this;
}

WaitingCall::~WaitingCall() {
    g_waiting = previous_;
}

void WaitingCall::raiseHeld() {
    if (!held_) return;
    std::exception_ptr error = std::exchange(held_, nullptr);
    std::rethrow_exception(error);
}

} // namespace detail

HandlerScope::HandlerScope() : waiting_(g_waiting) {
    g_waiting = nullptr;
}

HandlerScope::~HandlerScope() {
    g_waiting = waiting_;
}

void HandlerScope::failed(std::exception_ptr error) const {
    if (!error) return;
    // The call that waited raises the first error once Qt returns; Qt went on meanwhile, so a
    // later handler's error is reported here.
    if (waiting_ && !waiting_->held_) {
        waiting_->held_ = std::move(error);
        return;
    }
    report(error);
}

} // namespace rt
