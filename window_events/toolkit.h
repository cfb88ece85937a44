// What the windows of both programs need of the toolkit where GTK+ 2 and
// GTK 3 ask for it differently: starting it on X, a widget's font and its
// setting, and a label's alignment. Everything else the windows call is the
// same on both.
#pragma once

#include <gtk/gtk.h>

namespace window_events {

// gtk_init_check on an X display: both programs talk to the X server
// directly when their display or window goes, so GTK 3 is not let choose
// another backend. False when no display could be opened.
bool StartToolkit(int* argc, char*** argv);

// A copy of the font a widget draws its text in now; free it with
// pango_font_description_free.
[[nodiscard]] PangoFontDescription* WidgetFont(GtkWidget* widget);
// Gives the widget (not its children) this font.
void SetWidgetFont(GtkWidget* widget, const PangoFontDescription* font);

// Where a label's text stands in the label's area, 0 (left, top) to 1.
void SetLabelAlignment(GtkWidget* label, float x, float y);
void GetLabelAlignment(GtkWidget* label, float& x, float& y);

}  // namespace window_events
