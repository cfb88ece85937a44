#include "editor/spin_box.h"

#include <algorithm>

#include "editor/editor_layout.h"

namespace editor {
namespace {

// The arrow buttons get no frame padding of their own, so that an arrow
// stays visible in half the height of the box.
constexpr const char* ArrowWidgetName = "editor-spin-arrow";
constexpr const char* ArrowStyle =
    "style \"editor-spin-arrow\" {\n"
    "  xthickness = 1\n"
    "  ythickness = 1\n"
    "  GtkWidget::focus-line-width = 0\n"
    "  GtkWidget::focus-padding = 0\n"
    "  GtkButton::inner-border = {0, 0, 0, 0}\n"
    "}\n"
    "widget \"*.editor-spin-arrow\" style \"editor-spin-arrow\"\n";

GtkWidget* CreateArrowButton(GtkArrowType direction) {
    GtkWidget* button = gtk_button_new();
    gtk_widget_set_name(button, ArrowWidgetName);
    gtk_widget_set_can_focus(button, FALSE);
    gtk_button_set_focus_on_click(GTK_BUTTON(button), FALSE);
    gtk_container_add(GTK_CONTAINER(button), gtk_arrow_new(direction, GTK_SHADOW_NONE));
    return button;
}

void OnUpArrowClicked(GtkButton*, gpointer box) { static_cast<SpinBox*>(box)->RaiseByOne(); }

void OnDownArrowClicked(GtkButton*, gpointer box) { static_cast<SpinBox*>(box)->LowerByOne(); }

void OnFieldChanged(GtkEditable*, gpointer box) {
    auto* self = static_cast<SpinBox*>(box);
    self->Events->PostControlEvent(self->Number);
}

}  // namespace

void InstallSpinArrowStyle() { gtk_rc_parse_string(ArrowStyle); }

void SpinBox::Create(int number, std::int32_t lowest, std::int32_t highest, window_events::EventQueue& events) {
    Number = number;
    Lowest = lowest;
    Highest = highest;
    Value = lowest;
    Events = &events;

    constexpr int fieldWidth = SpinBoxWidth - SpinArrowWidth;
    constexpr int downArrowHeight = SpinBoxHeight - SpinUpArrowHeight;

    Frame = gtk_fixed_new();
    gtk_widget_set_size_request(Frame, SpinBoxWidth, SpinBoxHeight);

    Field = gtk_entry_new();
    gtk_widget_set_size_request(Field, fieldWidth, SpinBoxHeight);
    gtk_fixed_put(GTK_FIXED(Frame), Field, 0, 0);

    UpArrow = CreateArrowButton(GTK_ARROW_UP);
    gtk_widget_set_size_request(UpArrow, SpinArrowWidth, SpinUpArrowHeight);
    gtk_fixed_put(GTK_FIXED(Frame), UpArrow, fieldWidth, 0);

    DownArrow = CreateArrowButton(GTK_ARROW_DOWN);
    gtk_widget_set_size_request(DownArrow, SpinArrowWidth, downArrowHeight);
    gtk_fixed_put(GTK_FIXED(Frame), DownArrow, fieldWidth, SpinUpArrowHeight);

    g_signal_connect(UpArrow, "clicked", G_CALLBACK(OnUpArrowClicked), this);
    g_signal_connect(DownArrow, "clicked", G_CALLBACK(OnDownArrowClicked), this);
    FieldChangedHandler = g_signal_connect(Field, "changed", G_CALLBACK(OnFieldChanged), this);
    UpdateArrows();
}

void SpinBox::SetValue(std::int32_t value) {
    Value = std::clamp(value, Lowest, Highest);
    UpdateArrows();
}

void SpinBox::ShowValue() {
    // The editor's own writing of the field is not a change to report.
    g_signal_handler_block(Field, FieldChangedHandler);
    gtk_entry_set_text(GTK_ENTRY(Field), std::to_string(Value).c_str());
    g_signal_handler_unblock(Field, FieldChangedHandler);
}

std::string SpinBox::FieldText() const { return gtk_entry_get_text(GTK_ENTRY(Field)); }

void SpinBox::RaiseByOne() {
    if (Value >= Highest) {
        return;
    }
    SetValue(Value + 1);
    Events->PostControlEvent(Number);
}

void SpinBox::LowerByOne() {
    if (Value <= Lowest) {
        return;
    }
    SetValue(Value - 1);
    Events->PostControlEvent(Number);
}

void SpinBox::UpdateArrows() {
    gtk_widget_set_sensitive(UpArrow, Value < Highest);
    gtk_widget_set_sensitive(DownArrow, Value > Lowest);
}

}  // namespace editor
