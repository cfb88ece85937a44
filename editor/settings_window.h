// The settings editor's one window: fourteen labels, thirteen spin boxes,
// the piece list and the save button, at fixed places in the client area.
#pragma once

#include <array>
#include <string>

#include <gtk/gtk.h>
#include <pango/pango.h>

#include "editor/editor_layout.h"
#include "settings/settings.h"
#include "editor/spin_box.h"
#include "window_events/event_queue.h"

namespace editor {

struct SettingsWindow {
    GtkWidget* Window = nullptr;
    GtkWidget* Client = nullptr;                              // fixed-position container filling the window
    std::array<GtkWidget*, EditorLabels.size()> Labels{};     // in EditorLabels order
    std::array<SpinBox, EditorSpinBoxes.size()> SpinBoxes{};  // in EditorSpinBoxes order
    GtkWidget* PieceList = nullptr;
    GtkWidget* SaveButton = nullptr;

    // Opens the window, shown at once, and creates every control in order:
    // the labels (each given `labelFont`), the spin boxes with the values
    // brought into their ranges, the piece list with `values`'s name
    // selected when it is one of the seven, and the save button.
    void Open(const settings::Settings& values, const PangoFontDescription* labelFont,
              window_events::EventQueue& events);
    void Close();

    // Sets every spin box's field to the decimal text of its value.
    void ShowValues();
    // The spin box with control number `number` (10..22), or null.
    SpinBox* SpinBoxNumbered(int number);

    // The selected piece name, empty when no item is selected.
    std::string SelectedPieceName() const;
    // The spin boxes' values and the selected name, as they are to be saved.
    settings::Settings ValuesToSave() const;

  private:
    void CreateWindow(window_events::EventQueue& events);
    void CreateLabels(const PangoFontDescription* labelFont);
    void CreateSpinBoxes(const settings::Settings& values, window_events::EventQueue& events);
    void CreatePieceList(const std::string& selectedName, window_events::EventQueue& events);
    void CreateSaveButton(window_events::EventQueue& events);
    void Place(GtkWidget* control, const ControlPlace& place);
};

}  // namespace editor
