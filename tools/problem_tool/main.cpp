#include <cstdio>
#include <cstring>

#include "tools/problem_tool/commands.h"

namespace problem_tool {

// Subcommands register here, one line each.
constexpr Command Commands[] = {
    {"help", "", nullptr},
    {"moves", "FEN", RunMoves},
    {"perft", "FEN DEPTH", RunPerft},
    {"settings", "", SettingsCommand},
    {"mates", "FEN", MatesCommand},
    {"generate", "SETTINGS_FILE COUNT [SEED]", GenerateCommand},
    {"bench", "SETTINGS_FILE SECONDS", BenchCommand},
    {"try-settings", "SETTINGS_FILE LIMIT [SEED]", TrySettingsCommand},
    {"solve", "N < FEN_LINES", SolveCommand},
    {"composed", "N < FEN_LINES", ComposedCommand},
    {"difficulty", "< FEN_LINES", DifficultyCommand},
    {"difficulty-features", "< FEN_LINES", DifficultyFeaturesCommand},
};

int PrintUsage() {
    std::fprintf(stderr, "usage: problem-tool COMMAND ARGS...\n");
    for (const Command& command : Commands) {
        if (command.Run != nullptr) std::fprintf(stderr, "  problem-tool %s %s\n", command.Name, command.Usage);
    }
    return 2;
}

}  // namespace problem_tool

int main(int argc, char** argv) {
    using namespace problem_tool;
    if (argc < 2) return PrintUsage();
    for (const Command& command : Commands) {
        if (command.Run != nullptr && std::strcmp(argv[1], command.Name) == 0) return command.Run(argc - 2, argv + 2);
    }
    return PrintUsage();
}
