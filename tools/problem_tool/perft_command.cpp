// problem-tool perft FEN DEPTH: the number of leaves of the legal-move tree.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "rules/fen.h"
#include "rules/perft.h"
#include "tools/problem_tool/commands.h"

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
    if (argc != 2) {
        std::fprintf(stderr, "usage: problem-tool perft FEN DEPTH\n");
        return 2;
    }
    chess::Position position;
    std::string error;
    if (!chess::ParseFen(argv[0], position, error)) {
        std::fprintf(stderr, "problem-tool: %s\n", error.c_str());
        return 2;
    }
    const int depth = ParseDepth(argv[1]);
    if (depth == 0) {
        std::fprintf(stderr, "problem-tool: DEPTH must be a number from %d to %d, not \"%s\"\n", ShallowestDepth,
                     DeepestDepth, argv[1]);
        return 2;
    }
    chess::LeafCounter counter(position);
    std::printf("%" PRIu64 "\n", counter.CountLeaves(depth));
    return 0;
}

}  // namespace problem_tool
