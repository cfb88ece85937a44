// The one queue through which a window's controls report to its program's
// event loop; the trainer's window and the settings editor both use it.
// Toolkit callbacks post into it; the loop (and a nested wait, such as the
// trainer's promotion choice) takes events out in the order they arrived, so
// input that arrives while the program is busy is handled by later passes.
#pragma once

#include <deque>

namespace window_events {

enum class EventKind {
    NoEvent,       // the wait returned after toolkit work of its own (a repaint, a timer)
    CloseRequest,  // the user asked to close the main window
    Control,       // a control reported an event
};

enum class ClickKind {
    LeftClick,    // left press and release on the same control, a push button's activation, any other report
    RightClick,   // right press and release on the same control
    DoubleClick,  // the second press of a double click
};

struct WindowEvent {
    EventKind Kind = EventKind::NoEvent;
    int Control = 0;  // the reporting control's number, for EventKind::Control
    ClickKind Click = ClickKind::LeftClick;
};

class EventQueue {
  public:
    void PostCloseRequest();
    // A control that does not tell clicks apart (a field, a list) reports
    // with the default.
    void PostControlEvent(int control, ClickKind click = ClickKind::LeftClick);

    // The next event. When none is queued, blocks until the toolkit has
    // carried out some work and returns the event that work reported, or
    // NoEvent when it reported none: for a loop that has its own work to
    // check between two pieces of the toolkit's.
    WindowEvent WaitEvent();
    // The next event, never NoEvent: lets the toolkit work, blocking, for as
    // long as none is queued.
    WindowEvent WaitForEvent();
    // Lets the toolkit carry out whatever is pending without blocking.
    static void DoPendingWork();

    [[nodiscard]] bool Empty() const { return Pending.empty(); }

  private:
    WindowEvent TakeFirst();

    std::deque<WindowEvent> Pending;
};

}  // namespace window_events
