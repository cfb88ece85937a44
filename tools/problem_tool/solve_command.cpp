// problem-tool solve N: the verdict on each FEN line of standard input as a
// problem of mate in N, the side to move mating, one line each: "sound KEY",
// "several KEY KEY...", "shorter", "none" or "illegal", keys in standard
// algebraic notation.
#include <memory>
#include <string>
#include <vector>

#include "problems/mate_solver.h"
#include "rules/algebraic_notation.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {

int SolveCommand(int argc, char** argv) {
    int moves = 0;
    if (!ParseMateMovesArgument("solve", argc, argv, 1, moves)) return 2;
    const auto solver = std::make_unique<problems::MateSolver>();
    return AnswerFenLines("solve", [&](const rules::Position& position) {
        solver->SetUp(position);
        rules::Move key;
        std::vector<rules::Move> keys;
        const problems::MateVerdict verdict = solver->JudgeCurrent(moves, problems::AnyKeyKind, key, &keys);
        std::string text = verdict == problems::MateVerdict::StalematingKey ? "none" : problems::VerdictName(verdict);
        if (verdict == problems::MateVerdict::Sound || verdict == problems::MateVerdict::SeveralKeys) {
            for (const rules::Move& found : keys) text += " " + rules::AlgebraicNotation(position, found);
        }
        return text;
    });
}

}  // namespace problem_tool
