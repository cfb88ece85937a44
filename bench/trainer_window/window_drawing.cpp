#include "bench/trainer_window/window_drawing.h"

namespace bench::trainer_window {

#if GTK_CHECK_VERSION(3, 0, 0)

namespace {

void NotePainted(GdkFrameClock*, gpointer painted) { *static_cast<bool*>(painted) = true; }

}  // namespace

// GTK 3 draws on its frame clock: a paint asked for now draws every part
// still invalid, and the loop runs until that paint is done.
void DrawPending(GtkWidget* toplevel) {
    GdkWindow* surface = gtk_widget_get_window(toplevel);
    GdkFrameClock* clock = gtk_widget_get_frame_clock(toplevel);
    if (surface != nullptr && clock != nullptr && gdk_window_is_viewable(surface)) {
        bool painted = false;
        const gulong handler = g_signal_connect(clock, "after-paint", G_CALLBACK(NotePainted), &painted);
        gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_PAINT);
        while (!painted) gtk_main_iteration_do(TRUE);
        g_signal_handler_disconnect(clock, handler);
    }
    gdk_display_flush(gtk_widget_get_display(toplevel));
}

GdkPixbuf* ShownPicture(GtkWidget* toplevel, int x, int y, int width, int height) {
    return gdk_pixbuf_get_from_window(gtk_widget_get_window(toplevel), x, y, width, height);
}

#else

void DrawPending(GtkWidget*) {
    gdk_window_process_all_updates();
    gdk_flush();
}

GdkPixbuf* ShownPicture(GtkWidget* toplevel, int x, int y, int width, int height) {
    GdkWindow* surface = gtk_widget_get_window(toplevel);
    return gdk_pixbuf_get_from_drawable(nullptr, surface, gdk_drawable_get_colormap(surface), x, y, 0, 0, width,
                                        height);
}

#endif

}  // namespace bench::trainer_window
