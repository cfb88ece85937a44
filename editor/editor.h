// The settings editor program: its whole state, created once by the entry
// point, and its start, event loop, save step and end.
#pragma once

#include <pango/pango.h>

#include "settings/settings.h"
#include "editor/settings_window.h"
#include "window_events/event_queue.h"

namespace editor {

// How a pass of the event loop ended.
enum class LoopOutcome { KeepWaiting, Closed, Saved };

struct Editor {
    settings::Settings Values;  // as read from the file; used only to build the window
    PangoFontDescription* LabelFont = nullptr;
    window_events::EventQueue Events;
    SettingsWindow Window;

    Editor() = default;
    Editor(const Editor&) = delete;  // the controls keep pointers into the editor
    Editor& operator=(const Editor&) = delete;
    ~Editor();

    // After the toolkit is initialised: loads the label font, reads the
    // settings file, opens the window with its controls and shows the values.
    void Start();
    // Waits for events and handles them until the window is asked to close
    // or the settings are saved and the trainer started.
    LoopOutcome RunEventLoop();
    // Waits for one event and acts on it.
    LoopOutcome HandleNextEvent();
    // Closes the window and releases the font.
    void End();

    void LoadLabelFont();
    void ShowValues();
    // Writes the settings file from the controls and starts the trainer.
    void SaveAndLaunch();
};

}  // namespace editor
