// problem-tool perft FEN DEPTH: the number of leaves of the legal-move tree.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "problems/trainer_rules.h"
#include "rules/perft.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

constexpr int ShallowestDepth = 1;
constexpr int DeepestDepth = 6;

// The depth as a number within ShallowestDepth..DeepestDepth, or 0.
int ParseDepth(const std::string& text) {
    if (text.size() != 1 || text[0] < '0' + ShallowestDepth || text[0] > '0' + DeepestDepth) return 0;
    return text[0] - '0';
}

}  // namespace

int RunPerft(int argc, char** argv) {
    rules::Position position(problems::TrainerEnPassant);
    if (!ArgumentCountFits(argc, 2, 2, "usage: problem-tool perft FEN DEPTH") ||
        !ReadFenArgument("problem-tool", argv[0], position)) {
        return 2;
    }
    const int depth = ParseDepth(argv[1]);
    if (depth == 0) {
        std::fprintf(stderr, "problem-tool: DEPTH must be a number from %d to %d, not \"%s\"\n", ShallowestDepth,
                     DeepestDepth, argv[1]);
        return 2;
    }
    std::printf("%" PRIu64 "\n", rules::CountLeaves(position, depth));
    return 0;
}

}  // namespace problem_tool
