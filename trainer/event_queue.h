// The one queue through which the window's controls report to the event
// loop. Toolkit callbacks post into it; the loop (and the nested wait of a
// promotion choice) take events out in the order they arrived, so input that
// arrives while the trainer is busy is handled by later passes.
#pragma once

#include <deque>

namespace trainer {

enum class EventKind {
    NoEvent,       // the wait returned after toolkit work of its own (a repaint, a timer)
    CloseRequest,  // the user asked to close the main window
    Control,       // a control reported an event
};

enum class ClickKind {
    LeftClick,    // left press and release on the same control, or a push button's activation
    RightClick,   // right press and release on the same control
    DoubleClick,  // the second press of a double click
};

struct WindowEvent {
    EventKind Kind = EventKind::NoEvent;
    int Control = 0;
    ClickKind Click = ClickKind::LeftClick;
};

class EventQueue {
  public:
    void PostCloseRequest();
    void PostControlEvent(int control, ClickKind click);

    // The next event. When none is queued, blocks until the toolkit has
    // carried out some work and returns the event that work reported, or
    // NoEvent when it reported none.
    WindowEvent WaitEvent();
    // Lets the toolkit carry out whatever is pending without blocking.
    static void DoPendingWork();

    bool Empty() const { return Pending.empty(); }

  private:
    WindowEvent TakeFirst();

    std::deque<WindowEvent> Pending;
};

}  // namespace trainer
