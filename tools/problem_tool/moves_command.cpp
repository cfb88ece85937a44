// problem-tool moves FEN: the legal moves of the side to move, one per line
// in list order, as the trainer's move list writes them.
#include <cstdio>

#include "problems/trainer_rules.h"
#include "rules/move_text.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {

int RunMoves(int argc, char** argv) {
    rules::Position position(problems::TrainerEnPassant);
    if (!ArgumentCountFits(argc, 1, 1, "usage: problem-tool moves FEN") ||
        !ReadFenArgument("problem-tool", argv[0], position)) {
        return 2;
    }
    const rules::MoveList moves = position.LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) std::printf("%s\n", rules::MoveText(moves[entry]).c_str());
    return 0;
}

}  // namespace problem_tool
