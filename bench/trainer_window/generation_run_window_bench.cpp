// How much the window costs a generation run: the 30000 attempts up to the
// limit message with settings that hold only the two kings (no attempt can
// succeed), once headless and once in the real window, several times each.
// Needs an X display (see the generation-run-window script).
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "problems/trainer_rules.h"
#include "bench/trainer_window/bench_work_dir.h"
#include "bench/trainer_window/window_drawing.h"
#include "problems/generation_run.h"
#include "problems/headless_view.h"
#include "trainer/dialogs.h"
#include "trainer/trainer_program.h"
#include "window_events/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Rounds = 9;

// Answers every box at once and notes when the last one was shown.
class TimingDialogs final : public trainer::Dialogs {
  public:
    Clock::time_point LastMessage{};
    int Messages = 0;
    void ShowMessage(const std::string&, const std::string&) override {
        LastMessage = Clock::now();
        ++Messages;
    }
    std::string AskSavePath(const trainer::SaveDialogRequest&) override { return ""; }
};

double Milliseconds(Clock::duration span) { return std::chrono::duration<double, std::milli>(span).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double HeadlessRun() {
    auto rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    settings::TrainerSettings config;
    config.SettingsReader();
    auto search = std::make_unique<problems::MateSearch>(*rules);
    problems::PositionBuilder builder(*rules, config);
    problems::HeadlessView view;
    problems::GenerationRun run(*rules, *search, builder, config, view);
    rules->SetSideToMove(rules::White);
    const Clock::time_point start = Clock::now();
    run.GenerateProblem();
    const Clock::time_point end = Clock::now();
    if (!run.GaveUp || run.AttemptCount != problems::AttemptLimit || view.Messages.size() != 1) {
        std::fprintf(stderr, "headless run did not reach the limit\n");
        std::exit(1);
    }
    return Milliseconds(end - start);
}

void SettleWindow(GtkWidget* toplevel) {
    for (int round = 0; round < 3; ++round) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        bench::trainer_window::DrawPending(toplevel);
    }
}

}  // namespace

int main() {
    if (!window_events::StartToolkit(nullptr, nullptr)) {
        std::fprintf(stderr, "generation_run_window_bench: needs an X display\n");
        return 2;
    }
    const bench::trainer_window::BenchWorkDir workDir(bench::trainer_window::KingsOnlySettings());

    TimingDialogs dialogs;
    auto program = std::make_unique<trainer::TrainerProgram>(dialogs);
    program->StartUp();
    GtkWidget* toplevel = program->Window.Toplevel();
    while (!gdk_window_is_viewable(gtk_widget_get_window(toplevel))) SettleWindow(toplevel);
    SettleWindow(toplevel);

    // Headless and window runs take turns, so that a busy moment of the
    // machine falls on both alike.
    std::vector<double> headless;
    std::vector<double> window;
    for (int round = 0; round < Rounds; ++round) {
        headless.push_back(HeadlessRun());

        program->Rules.SetSideToMove(rules::White);
        const int messagesBefore = dialogs.Messages;
        const Clock::time_point start = Clock::now();
        program->Run.GenerateProblem();
        if (!program->Run.GaveUp || dialogs.Messages != messagesBefore + 1) {
            std::fprintf(stderr, "window run did not reach the limit\n");
            return 1;
        }
        window.push_back(Milliseconds(dialogs.LastMessage - start));
        SettleWindow(toplevel);
    }
    const std::string label = gtk_label_get_text(GTK_LABEL(program->Window.Control(trainer::StatusLabelControl)));
    program->End();

    const double headlessMedian = Median(headless);
    const double windowMedian = Median(window);
    const double bound = 1.25 * headlessMedian + 20.0;
    std::printf("30000 attempts to the limit message, kings only, median of %d runs\n", Rounds);
    std::printf("  headless:          %8.2f ms (min %.2f)\n", headlessMedian,
                *std::min_element(headless.begin(), headless.end()));
    std::printf("  real window:       %8.2f ms (min %.2f)\n", windowMedian,
                *std::min_element(window.begin(), window.end()));
    std::printf("  allowed:           %8.2f ms (1.25 x headless + 20 ms)\n", bound);
    std::printf("  window / headless: %8.3f\n", windowMedian / headlessMedian);
    std::printf("  status label at the limit: \"%s\"\n", label.c_str());
    std::printf("  %s\n", windowMedian <= bound ? "within the allowance" : "OVER the allowance");
    return 0;
}
