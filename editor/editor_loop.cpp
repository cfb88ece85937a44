#include "editor/editor.h"
#include "editor/editor_layout.h"

namespace editor {

LoopOutcome Editor::RunEventLoop() {
    LoopOutcome outcome = LoopOutcome::KeepWaiting;
    while (outcome == LoopOutcome::KeepWaiting) {
        outcome = HandleNextEvent();
    }
    return outcome;
}

LoopOutcome Editor::HandleNextEvent() {
    const window_events::WindowEvent event = Events.WaitForEvent();
    if (event.Kind == window_events::EventKind::CloseRequest) {
        return LoopOutcome::Closed;
    }
    if (event.Control == SaveButtonNumber) {
        SaveAndLaunch();
        return LoopOutcome::Saved;
    }
    // A spin box's field always shows the box's value, so typed text is
    // replaced at once; the piece list's choice counts only when saving.
    if (SpinBox* box = Window.SpinBoxNumbered(event.Control)) {
        box->ShowValue();
    }
    return LoopOutcome::KeepWaiting;
}

}  // namespace editor
