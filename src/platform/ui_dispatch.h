#pragma once
// Where Qt calls into the runtime (a widget's signal, a window's event handler, an event
// filter, a timer) and the runtime runs the program's handler (CmdOk_Click, Form_Resize, a
// timer's handler...), a run-time error that the handler does not trap stops there: Qt does not
// let an exception pass through its signals and event handlers. dispatch runs the handler and
// reports such an error as one that reached the event loop (reportUntrappedError); the program
// goes on.
//
// Code of the program that sets a property raises the event at once, and an error of the
// handler reaches that code, as from a handler it called itself. Where the runtime makes such a
// change through Qt and Qt answers at once with a signal (the active child window, a tab made
// unusable, the date typed in a field taken when code reads it), throughQt carries the handler's
// error past Qt and raises it again once Qt has returned. An event that Qt delivers meanwhile
// is Qt's own call: an error in it is reported, as the application object reports it.

#include <exception>
#include <utility>

namespace rt {

// While it lives, says where the error of a handler that Qt runs goes. Opened without a slot,
// when Qt runs a handler or delivers an event (Application::notify opens one around each
// event): no throughQt waits for what runs inside, so that an error there is reported unless
// the handler's own dispatch hands it to the call that waited just outside. Opened by throughQt
// with its slot: the first error of a handler beneath goes there.
class HandlerScope {
public:
    HandlerScope() : HandlerScope(nullptr) {}
    explicit HandlerScope(std::exception_ptr* waiting);
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
    // The handler failed: the error goes to the throughQt that waited just outside, or is
    // reported.
    void failed(std::exception_ptr error) const;

private:
    std::exception_ptr* outer_; // where the errors went before this scope
};

// Runs a handler on Qt's behalf. True when it ended without an error; false after an error was
// reported (or handed to the waiting throughQt): the caller then leaves the rest of its event
// as it stands.
template <class Handler> bool dispatch(Handler&& handler) {
    const HandlerScope scope;
    std::exception_ptr error;
    try {
        std::forward<Handler>(handler)();
        return true;
    } catch (const std::exception&) { // run-time errors (RtError) among them
        error = std::current_exception();
    }
    // Reported outside the catch block: the message box runs an event loop.
    scope.failed(error);
    return false;
}

// Runs call, in which the runtime asks Qt for a change on behalf of the program's own code;
// an error of a handler that Qt runs at once in answer comes out of throughQt.
template <class Call> void throughQt(Call&& call) {
    std::exception_ptr held;
    {
        const HandlerScope waiting(&held);
        std::forward<Call>(call)();
    }
    if (held) std::rethrow_exception(held);
}

} // namespace rt
