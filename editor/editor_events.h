// The settings editor's own event queue: the controls post what happened to
// them, and the editor's loop takes one event at a time.
#pragma once

#include <deque>

namespace editor {

struct EditorEvent {
    enum class Kind { Control, CloseRequest };
    Kind What = Kind::Control;
    int ControlNumber = -1;  // for Kind::Control
};

struct EditorEventQueue {
    std::deque<EditorEvent> Pending;

    void PostControl(int controlNumber);
    void PostCloseRequest();

    // Lets the toolkit run, blocking without a timeout, until an event is
    // pending, then takes it off the queue.
    EditorEvent WaitForEvent();
};

}  // namespace editor
