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

#if GTK_CHECK_VERSION(3, 0, 0)
// Adds a style sheet for every widget of the program, above the theme.
void AddStyleSheet(const char* sheet);

// GTK 3's theme gives push buttons more padding and a larger least height
// than GTK+ 2's default look: a 25-pixel button would grow. Buttons get
// GTK+ 2's room around their text instead (two pixels of border and focus
// line, two of padding on each side).
inline constexpr const char* ButtonStyle = "button { min-height: 0; min-width: 0; padding: 2px 4px; }\n";
#endif

}  // namespace window_events
