// Start-up to the first problem on screen with the example settings: the
// bench starts itself anew as the trainer would be started (a new process
// with GTK to load), which then runs the trainer's start-up and first loop
// step, brings the screen up to date and reports the time since the start.
// Needs an X display (see the trainer-start-up script).
#include <gtk/gtk.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/trainer_window/bench_work_dir.h"
#include "bench/trainer_window/window_drawing.h"
#include "trainer/dialogs.h"
#include "trainer/trainer_program.h"
#include "window_events/toolkit.h"

extern char** environ;

namespace {

constexpr int Rounds = 15;
constexpr const char* ChildFlag = "--trainer-child";

long long NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The squares that show a piece, read back from the screen: a square whose
// pixels differ from both empty-square pictures.
int PiecesOnScreen(trainer::TrainerProgram& program) {
    const int cell = program.Window.CellSize();
    GdkPixbuf* screen = bench::trainer_window::ShownPicture(program.Window.Toplevel(), cell, cell, 8 * cell, 8 * cell);
    int pieces = 0;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            // The middle pixel of an empty square has the square's colour;
            // a piece's picture differs somewhere on its middle column.
            GdkPixbuf* empty = program.Tiles.Picture(trainer::TileNumberFor(0, trainer::SquareShade[file][row]));
            bool differs = false;
            for (int y = 0; y < cell && !differs; ++y) {
                const guchar* shown = gdk_pixbuf_get_pixels(screen) +
                                      ((row - 1) * cell + y) * gdk_pixbuf_get_rowstride(screen) +
                                      ((file - 1) * cell + cell / 2) * gdk_pixbuf_get_n_channels(screen);
                const guchar* blank = gdk_pixbuf_get_pixels(empty) + y * gdk_pixbuf_get_rowstride(empty) +
                                      cell / 2 * gdk_pixbuf_get_n_channels(empty);
                differs = std::memcmp(shown, blank, 3) != 0;
            }
            if (differs) ++pieces;
        }
    }
    g_object_unref(screen);
    return pieces;
}

// The trainer's start-up and first pass up to its event wait, then the
// screen brought up to date; prints the milliseconds since `started`.
int RunChild(long long started) {
    if (!window_events::StartToolkit(nullptr, nullptr)) return 2;
    trainer::ToolkitDialogs dialogs;
    auto program = std::make_unique<trainer::TrainerProgram>(dialogs);
    program->StartUp();
    dialogs.SetParent(program->Window.Toplevel());
    program->Cycle.BeginPass();
    GdkWindow* surface = gtk_widget_get_window(program->Window.Toplevel());
    while (gtk_events_pending() || !gdk_window_is_viewable(surface)) gtk_main_iteration_do(FALSE);
    bench::trainer_window::DrawPending(program->Window.Toplevel());
    const long long shown = NowNanoseconds();
    const int pieces = PiecesOnScreen(*program);
    std::printf("%.2f %d %d\n", (shown - started) / 1e6, program->Run.AttemptCount, pieces);
    program->End();
    return pieces >= 3 ? 0 : 1;  // two kings and the mating piece at least
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], ChildFlag) == 0) return RunChild(std::atoll(argv[2]));

    const bench::trainer_window::BenchWorkDir workDir(bench::trainer_window::ExampleSettings());
    const std::string self = "/proc/self/exe";
    char executable[4096] = {};
    const ssize_t length = readlink(self.c_str(), executable, sizeof executable - 1);
    if (length <= 0) return 2;

    std::vector<double> times;
    std::vector<int> attempts;
    for (int round = 0; round < Rounds; ++round) {
        int channel[2];
        if (pipe(channel) != 0) return 2;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, channel[0]);
        const std::string started = std::to_string(NowNanoseconds());
        char* const arguments[] = {executable, const_cast<char*>(ChildFlag), const_cast<char*>(started.c_str()),
                                   nullptr};
        pid_t child = 0;
        if (posix_spawn(&child, executable, &actions, nullptr, arguments, environ) != 0) return 2;
        posix_spawn_file_actions_destroy(&actions);
        close(channel[1]);
        char report[128] = {};
        const ssize_t got = read(channel[0], report, sizeof report - 1);
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        double milliseconds = 0;
        int runAttempts = 0;
        int pieces = 0;
        if (got <= 0 || std::sscanf(report, "%lf %d %d", &milliseconds, &runAttempts, &pieces) != 3 ||
            !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "round %d: no problem on screen\n", round);
            return 1;
        }
        times.push_back(milliseconds);
        attempts.push_back(runAttempts);
    }

    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("start-up to the first problem on screen, example settings, %d starts\n", Rounds);
    std::printf("  median %.1f ms, min %.1f ms, max %.1f ms (limit 300 ms)\n", sorted[sorted.size() / 2],
                sorted.front(), sorted.back());
    std::printf("  attempts per first problem:");
    for (int count : attempts) std::printf(" %d", count);
    std::printf("\n  %s\n", sorted.back() < 300.0 ? "every start under 300 ms" : "some start took 300 ms or more");
    return 0;
}
