#include "editor/editor_events.h"

#include <gtk/gtk.h>

namespace editor {

void EditorEventQueue::PostControl(int controlNumber) {
    Pending.push_back({EditorEvent::Kind::Control, controlNumber});
}

void EditorEventQueue::PostCloseRequest() { Pending.push_back({EditorEvent::Kind::CloseRequest, -1}); }

EditorEvent EditorEventQueue::WaitForEvent() {
    while (Pending.empty()) {
        gtk_main_iteration_do(TRUE);
    }
    EditorEvent next = Pending.front();
    Pending.pop_front();
    return next;
}

}  // namespace editor
