#include "ui_dispatch.h"

#include "application.h"

namespace rt {

namespace {
// The slot of the innermost throughQt still waiting: none while a handler or an event runs
// beneath it.
std::exception_ptr* g_waiting = nullptr;
} // namespace

HandlerScope::HandlerScope(std::exception_ptr* waiting)
    : outer_(std::exchange(g_waiting, waiting)) {}

HandlerScope::~HandlerScope() {
    g_waiting = outer_;
}

void HandlerScope::failed(std::exception_ptr error) const {
    if (!error) return;
    // The call that waited raises the first error once Qt returns; Qt went on meanwhile, so a
    // later handler's error is reported here.
    if (outer_ && !*outer_) {
        *outer_ = std::move(error);
        return;
    }
    reportUntrappedError(error);
}

} // namespace rt
