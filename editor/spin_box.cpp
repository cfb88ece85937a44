#include "editor/spin_box.h"

#include <algorithm>

#include "editor/editor_layout.h"
#include "window_events/toolkit.h"

namespace editor {
namespace {

constexpr const char* ArrowWidgetName = "editor-spin-arrow";

#if GTK_CHECK_VERSION(3, 0, 0)
constexpr const char* FieldWidgetName = "editor-spin-field";
// GTK 3's themes give buttons and fields a least size and padding larger
// than half the box; here the arrows and the field are sized by the box
// alone, as GTK+ 2 sizes them, and the field's text keeps two pixels from
// its frame as there.
constexpr const char* SpinBoxStyle =
    "#editor-spin-arrow { padding: 0; min-width: 0; min-height: 0; border-radius: 0; }\n"
    "#editor-spin-field { padding: 0 2px; min-width: 0; min-height: 0; border-radius: 0; }\n";
// The arrow's side against the smaller side of its button, as GTK+ 2 draws it.
constexpr double ArrowScale = 0.7;
constexpr double UpAngle = 0.0;
constexpr double DownAngle = G_PI;

// GTK 3 draws arrows only through the theme's renderer: a drawing area in the
// button paints one, in the button's colours (greyed while it is disabled).
gboolean OnArrowDrawn(GtkWidget* area, cairo_t* cr, gpointer angle) {
    const double width = gtk_widget_get_allocated_width(area);
    const double height = gtk_widget_get_allocated_height(area);
    const double side = std::min(width, height) * ArrowScale;
    gtk_render_arrow(gtk_widget_get_style_context(area), cr, *static_cast<const double*>(angle), (width - side) / 2,
                     (height - side) / 2, side);
    return FALSE;
}

GtkWidget* CreateArrowButton(const double& angle) {
    GtkWidget* button = gtk_button_new();
    gtk_widget_set_name(button, ArrowWidgetName);
    gtk_widget_set_can_focus(button, FALSE);
    gtk_widget_set_focus_on_click(button, FALSE);
    GtkWidget* arrow = gtk_drawing_area_new();
    g_signal_connect(arrow, "draw", G_CALLBACK(OnArrowDrawn), const_cast<double*>(&angle));
    gtk_container_add(GTK_CONTAINER(button), arrow);
    return button;
}

GtkWidget* CreateUpArrow() { return CreateArrowButton(UpAngle); }
GtkWidget* CreateDownArrow() { return CreateArrowButton(DownAngle); }
#else
// The arrow buttons get no frame padding of their own, so that an arrow
// stays visible in half the height of the box.
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

GtkWidget* CreateUpArrow() { return CreateArrowButton(GTK_ARROW_UP); }
GtkWidget* CreateDownArrow() { return CreateArrowButton(GTK_ARROW_DOWN); }
#endif

void OnUpArrowClicked(GtkButton*, gpointer box) { static_cast<SpinBox*>(box)->RaiseByOne(); }

void OnDownArrowClicked(GtkButton*, gpointer box) { static_cast<SpinBox*>(box)->LowerByOne(); }

void OnFieldChanged(GtkEditable*, gpointer box) {
    auto* self = static_cast<SpinBox*>(box);
    self->Events->PostControlEvent(self->Number);
}

}  // namespace

#if GTK_CHECK_VERSION(3, 0, 0)
void InstallSpinArrowStyle() { window_events::AddStyleSheet(SpinBoxStyle); }
#else
void InstallSpinArrowStyle() { gtk_rc_parse_string(ArrowStyle); }
#endif

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
#if GTK_CHECK_VERSION(3, 0, 0)
    gtk_widget_set_name(Field, FieldWidgetName);
    gtk_entry_set_width_chars(GTK_ENTRY(Field), 0);  // no least width beyond the box's
#endif
    gtk_widget_set_size_request(Field, fieldWidth, SpinBoxHeight);
    gtk_fixed_put(GTK_FIXED(Frame), Field, 0, 0);

    UpArrow = CreateUpArrow();
    gtk_widget_set_size_request(UpArrow, SpinArrowWidth, SpinUpArrowHeight);
    gtk_fixed_put(GTK_FIXED(Frame), UpArrow, fieldWidth, 0);

    DownArrow = CreateDownArrow();
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
