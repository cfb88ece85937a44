// problem-tool moves FEN: the legal moves of the side to move, one per line
// in list order, as the trainer's move list writes them.
#include <cstdio>
#include <string>

#include "rules/fen.h"
#include "rules/move_text.h"
#include "tools/problem_tool/commands.h"

namespace problem_tool {

int RunMoves(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: problem-tool moves FEN\n");
        return 2;
    }
    chess::Position position;
    std::string error;
    if (!chess::ParseFen(argv[0], position, error)) {
        std::fprintf(stderr, "problem-tool: %s\n", error.c_str());
        return 2;
    }
    if (position.SideToMove == chess::White) {
        position.GenerateWhiteMoves();
    } else {
        position.GenerateBlackMoves();
    }
    position.FilterLegalMoves();
    for (int entry = 1; entry <= position.MoveCount; ++entry) {
        std::printf("%s\n", chess::MoveText(position.MoveList, entry).c_str());
    }
    return 0;
}

}  // namespace problem_tool
