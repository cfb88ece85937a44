// problem-tool generate SETTINGS_FILE COUNT [SEED]: generation runs without a
// window, one line per problem: its FEN, its solution and the attempts it took.
#include <chrono>
#include <cstdio>
#include <memory>

#include "problems/trainer_rules.h"
#include "problems/generation_run.h"
#include "problems/headless_view.h"
#include "rules/fen.h"
#include "rules/move_text.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

constexpr const char* Name = "generate";

// The parts of one trainer's generator, with a headless view.
struct HeadlessGenerator {
    HeadlessGenerator(settings::TrainerSettings& config, std::uint64_t seed)
        : Search(*Rules), Builder(*Rules, config, seed), Run(*Rules, Search, Builder, config, View) {}

    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    problems::MateSearch Search;
    problems::PositionBuilder Builder;
    problems::HeadlessView View;
    problems::GenerationRun Run;
};

}  // namespace

int GenerateCommand(int argc, char** argv) {
    if (!ArgumentCountFits(argc, 2, 3, "problem-tool generate: give SETTINGS_FILE COUNT [SEED]")) return 2;
    settings::TrainerSettings config;
    std::uint64_t count = 0;
    std::uint64_t seed = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (!ReadSettingsArgument(Name, argv[0], config) || !ParseNumberArgument(Name, "COUNT", argv[1], 1, count) ||
        (argc == 3 && !ParseNumberArgument(Name, "SEED", argv[2], 0, seed))) {
        return 2;
    }
    auto generator = std::make_unique<HeadlessGenerator>(config, seed);
    for (std::uint64_t problem = 0; problem < count; ++problem) {
        generator->Run.GenerateProblem();
        if (generator->Run.GaveUp) {
            std::printf("no problem within %d attempts\n", static_cast<int>(generator->Run.AttemptCount));
            continue;
        }
        const problems::MateSearch& search = generator->Search;
        const std::string solution = rules::MoveText(search.FirstMate());
        std::printf("%s\t%s\t%d\n", rules::WriteFen(*generator->Rules, rules::White).c_str(), solution.c_str(),
                    static_cast<int>(generator->Run.AttemptCount));
    }
    return 0;
}

}  // namespace problem_tool
