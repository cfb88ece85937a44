// The benchmarks' window brought up to date and read back from the screen,
// on GTK+ 2 and GTK 3 alike.
#pragma once

#include <gtk/gtk.h>

namespace bench::trainer_window {

// Draws what the shown window still has to draw and sends it to the X
// server.
void DrawPending(GtkWidget* toplevel);

// What the window shows in the rectangle, as a picture of its own
// (g_object_unref it).
[[nodiscard]] GdkPixbuf* ShownPicture(GtkWidget* toplevel, int x, int y, int width, int height);

}  // namespace bench::trainer_window
