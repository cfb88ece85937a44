// A spin box made of a text field and two arrow buttons. The value moves by
// one per click released over an enabled arrow; an arrow at its limit is
// disabled. The field is written only by the editor (ShowValue): typed text
// never becomes the value. Arrow clicks and every change of the field's text
// are posted to the editor's event queue under the box's number.
#pragma once

#include <cstdint>
#include <string>

#include <gtk/gtk.h>

#include "window_events/event_queue.h"

namespace editor {

// Gives the arrow buttons of all spin boxes their slim look; called once
// before the first box is created.
void InstallSpinArrowStyle();

struct SpinBox {
    int Number = -1;
    std::int32_t Lowest = 0;
    std::int32_t Highest = 0;
    std::int32_t Value = 0;
    window_events::EventQueue* Events = nullptr;

    GtkWidget* Frame = nullptr;  // holds the field and the two arrows
    GtkWidget* Field = nullptr;
    GtkWidget* UpArrow = nullptr;
    GtkWidget* DownArrow = nullptr;
    gulong FieldChangedHandler = 0;

    // Builds the box at its lowest value; the caller places Frame.
    void Create(int number, std::int32_t lowest, std::int32_t highest, window_events::EventQueue& events);
    // Sets the value, brought into the box's range, and re-evaluates the arrows.
    void SetValue(std::int32_t value);
    // Sets the field to the decimal text of the value.
    void ShowValue();
    std::string FieldText() const;

    void RaiseByOne();
    void LowerByOne();

  private:
    void UpdateArrows();
};

}  // namespace editor
