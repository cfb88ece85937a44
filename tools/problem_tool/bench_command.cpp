// problem-tool bench SETTINGS_FILE SECONDS: generation runs without a window
// for that long; prints attempts and problems per second and the time to a
// problem (median and 99th percentile).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "problems/trainer_rules.h"
#include "problems/generation_run.h"
#include "problems/headless_view.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

constexpr const char* Name = "bench";
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// The time below which the given share of the sorted times lie.
double Percentile(const std::vector<double>& sorted, double share) {
    if (sorted.empty()) return 0;
    const auto index = static_cast<std::size_t>(share * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[index];
}

}  // namespace

int BenchCommand(int argc, char** argv) {
    if (!ArgumentCountFits(argc, 2, 2, "problem-tool bench: give SETTINGS_FILE SECONDS")) return 2;
    settings::TrainerSettings config;
    std::uint64_t seconds = 0;
    if (!ReadSettingsArgument(Name, argv[0], config) || !ParseNumberArgument(Name, "SECONDS", argv[1], 1, seconds)) {
        return 2;
    }
    const std::int32_t askedPiece = config.FirstMovePiece;
    auto rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    auto search = std::make_unique<problems::MateSearch>(*rules);
    problems::PositionBuilder builder(*rules, config);  // seeded from the wall clock, as in the trainer
    problems::HeadlessView view;
    problems::GenerationRun run(*rules, *search, builder, config, view);

    std::vector<double> problemTimes;
    long long attempts = 0;
    int givenUp = 0;
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::seconds(seconds);
    Clock::time_point now = start;
    while (now < end) {
        const Clock::time_point runStart = now;
        run.GenerateProblem();
        now = Clock::now();
        attempts += run.AttemptCount;
        if (run.GaveUp) {
            ++givenUp;
        } else {
            problemTimes.push_back(Milliseconds(now - runStart));
        }
    }
    const double elapsed = Milliseconds(now - start) / 1000.0;
    std::sort(problemTimes.begin(), problemTimes.end());

    std::printf("first-move piece %d (asked %d), %.2f s on one thread\n", static_cast<int>(config.FirstMovePiece),
                static_cast<int>(askedPiece), elapsed);
    std::printf("attempts per second %.0f\n", static_cast<double>(attempts) / elapsed);
    std::printf("problems per second %.1f\n", static_cast<double>(problemTimes.size()) / elapsed);
    std::printf("time to a problem: median %.3f ms, 99th percentile %.3f ms\n", Percentile(problemTimes, 0.5),
                Percentile(problemTimes, 0.99));
    std::printf("problems %zu, attempts %lld, runs that reached the limit %d\n", problemTimes.size(), attempts,
                givenUp);
    return 0;
}

}  // namespace problem_tool
