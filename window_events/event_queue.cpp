#include "window_events/event_queue.h"

#include <gtk/gtk.h>

namespace window_events {

void EventQueue::PostCloseRequest() { Pending.push_back({EventKind::CloseRequest, 0, ClickKind::LeftClick}); }

void EventQueue::PostControlEvent(int control, ClickKind click) {
    Pending.push_back({EventKind::Control, control, click});
}

WindowEvent EventQueue::WaitEvent() {
    if (Pending.empty()) gtk_main_iteration_do(TRUE);
    return TakeFirst();
}

WindowEvent EventQueue::WaitForEvent() {
    while (Pending.empty()) gtk_main_iteration_do(TRUE);
    return TakeFirst();
}

void EventQueue::DoPendingWork() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

WindowEvent EventQueue::TakeFirst() {
    if (Pending.empty()) return {};
    const WindowEvent first = Pending.front();
    Pending.pop_front();
    return first;
}

}  // namespace window_events
