#include "tests/support/toolkit_loop.h"

#include <gtk/gtk.h>

#include <chrono>
#include <thread>

namespace support {
namespace {

using Clock = std::chrono::steady_clock;

bool Passed(Clock::time_point deadline) { return Clock::now() > deadline; }

}  // namespace

void Settle() {
    const Clock::time_point deadline = Clock::now() + WindowPatience;
    do {
        while (gtk_events_pending() && !Passed(deadline)) gtk_main_iteration_do(FALSE);
#if GTK_CHECK_VERSION(3, 0, 0)
        // GTK 3 lays widgets out on its frame clock, whose next tick need not
        // be due yet: the windows' pending layout is done now.
        GList* windows = gtk_window_list_toplevels();
        for (GList* window = windows; window != nullptr; window = window->next) {
            if (gtk_widget_get_visible(GTK_WIDGET(window->data)))
                gtk_container_check_resize(GTK_CONTAINER(window->data));
        }
        g_list_free(windows);
#else
        gdk_window_process_all_updates();
#endif
        gdk_display_sync(gdk_display_get_default());  // a round trip: the server's answers to all of it are queued now
    } while (gdk_events_pending() && !Passed(deadline));
}

bool SettleUntil(const std::function<bool()>& done, Milliseconds patience) {
    const Clock::time_point deadline = Clock::now() + patience;
    for (;;) {
        Settle();
        if (done()) return true;
        if (Passed(deadline)) return false;
        std::this_thread::sleep_for(PollPause);
    }
}

void RunLoopFor(Milliseconds span) {
    const Clock::time_point end = Clock::now() + span;
    while (!Passed(end)) {
        Settle();
        std::this_thread::sleep_for(PollPause);
    }
}

}  // namespace support
