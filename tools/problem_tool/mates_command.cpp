// problem-tool mates FEN: the mate-in-one test on one position, White to move.
#include <cstdio>
#include <memory>

#include "problems/trainer_rules.h"
#include "problems/mate_search.h"
#include "rules/move_text.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {

int MatesCommand(int argc, char** argv) {
    auto rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    if (!ArgumentCountFits(argc, 1, 1, "problem-tool mates: give one FEN (in quotes)") ||
        !ReadFenArgument("problem-tool mates", argv[0], *rules)) {
        return 2;
    }
    auto search = std::make_unique<problems::MateSearch>(*rules);
    search->MateInOneTest();
    std::printf("MateCount %d\n", static_cast<int>(search->MateCount));
    std::printf("MatePiece %d\n", static_cast<int>(search->MatePiece));
    if (search->OneMateAnsweredEnPassant()) {
        std::printf("the one mate is a double step that Black answers by taking en passant: no problem\n");
    }
    for (int mate = 1; mate <= search->MateCount; ++mate) {
        std::printf("%s\n", rules::MoveText(search->WhiteMoves[search->MatingMoves[mate]]).c_str());
    }
    return 0;
}

}  // namespace problem_tool
