// problem-tool try-settings SETTINGS_FILE LIMIT [SEED]: what a trainer started
// with this settings file would do, without a window: the trainer's settings
// reader, then a few passes of the problem cycle with the attempt limit
// lowered to LIMIT, each answered with a random legal move. For checking that
// any file whatever, however malformed, neither crashes nor hangs the trainer.
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

#include "problems/trainer_rules.h"
#include "problems/generation_run.h"
#include "problems/headless_view.h"
#include "problems/judging.h"
#include "problems/problem_cycle.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

constexpr const char* Name = "try-settings";
constexpr int Passes = 3;  // problems asked for, each answered once

// One trainer's problem cycle with a headless view.
struct HeadlessTrainer {
    HeadlessTrainer(settings::TrainerSettings& config, std::uint64_t seed, std::int32_t limit)
        : Search(*Rules),
          Builder(*Rules, config, seed),
          Run(*Rules, Search, Builder, config, View),
          Judging(*Rules, Search, View),
          Cycle(*Rules, Run, Judging, View) {
        Run.Limit = limit;
    }

    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    problems::MateSearch Search;
    problems::PositionBuilder Builder;
    problems::HeadlessView View;
    problems::GenerationRun Run;
    problems::Judge Judging;
    problems::ProblemCycle Cycle;

    // Plays White's listed entry as the move list's "Сходить!" does.
    void CommitEntry(int entry) {
        [[maybe_unused]] const rules::Undo undo = Rules->Play(Judging.Moves[entry]);  // put back by the cycle
        Judging.MoveMade = true;
        Judging.JudgeMove();
    }
};

}  // namespace

int TrySettingsCommand(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "problem-tool try-settings: give SETTINGS_FILE LIMIT [SEED]\n");
        return 2;
    }
    std::uint64_t limit = 0;
    std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (!ParseNumberArgument(Name, "LIMIT", argv[1], 1, limit) ||
        (argc == 3 && !ParseNumberArgument(Name, "SEED", argv[2], 0, seed))) {
        return 2;
    }
    if (limit > static_cast<std::uint64_t>(problems::AttemptLimit)) limit = problems::AttemptLimit;

    settings::TrainerSettings config;
    config.SettingsReader(argv[0]);  // as the trainer does: a missing file is created empty
    auto trainer = std::make_unique<HeadlessTrainer>(config, seed, static_cast<std::int32_t>(limit));
    std::mt19937_64 answers(seed);
    int problemsMade = 0;
    int mates = 0;
    int wrongAnswers = 0;
    long attempts = 0;
    bool gaveUp = false;
    for (int pass = 0; pass < Passes && !gaveUp; ++pass) {
        const bool newProblem = trainer->Judging.Outcome == problems::Verdict::Mate;
        gaveUp = !trainer->Cycle.BeginPass();
        if (newProblem) attempts += trainer->Run.AttemptCount;
        if (gaveUp) break;
        if (newProblem) ++problemsMade;
        const int count = trainer->Judging.Moves.Count();
        if (count == 0) continue;
        trainer->CommitEntry(1 + static_cast<int>(answers() % static_cast<std::uint64_t>(count)));
        if (trainer->Judging.Outcome == problems::Verdict::Mate) {
            ++mates;
        } else {
            ++wrongAnswers;
        }
        trainer->Cycle.AfterEventWait();
    }
    std::printf("CellSize %d, first-move piece %d, problems %d, attempts %ld, mates %d, wrong %d, %s\n",
                static_cast<int>(config.InUse.CellSize), static_cast<int>(config.FirstMovePiece), problemsMade,
                attempts, mates, wrongAnswers, gaveUp ? "gave up at the limit" : "did not give up");
    return 0;
}

}  // namespace problem_tool
