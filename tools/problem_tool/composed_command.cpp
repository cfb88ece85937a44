// problem-tool composed N: whether each FEN line of standard input (White to
// move) is a composed problem of mate in N, one line each: "composed KEY", or
// the first mark it misses and its key ("key-checks KEY", "key-captures KEY",
// "takes-flight KEY", "dual KEY", "one-answer KEY", "removable KEY" when a
// piece could come off), or the verdict of a problem that is not sound
// ("shorter", "none", "several", "illegal").
#include <memory>
#include <string>

#include "problems/composed_problem.h"
#include "problems/mate_solver.h"
#include "problems/thin_problem.h"
#include "rules/algebraic_notation.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

// The first mark of a composed problem that the sound problem on `board`
// with `key` misses, by name; economy last, by thinning a copy.
std::string MarkMissed(problems::MateSolver& solver, const rules::BoardCellsArray& board, int moves,
                       const rules::Move& key) {
    const problems::Solution solution = solver.Solve(board, moves, key);
    const problems::ComposedFlaw flaw = problems::FindComposedFlaw(solver, board, solution);
    if (flaw != problems::ComposedFlaw::None) return problems::ComposedFlawName(flaw);
    rules::BoardCellsArray thinned = board;
    problems::ThinProblem(solver, thinned, moves, key, problems::ProblemStyle::Composed);
    return thinned == board ? problems::ComposedFlawName(flaw) : "removable";
}

}  // namespace

int ComposedCommand(int argc, char** argv) {
    int moves = 0;
    if (!ParseMateMovesArgument("composed", argc, argv, 2, moves)) return 2;
    const auto solver = std::make_unique<problems::MateSolver>();
    return AnswerFenLines("composed", [&](const rules::Position& position) -> std::string {
        if (position.SideToMove() != rules::White) return "illegal";  // a problem has White to move
        rules::Move key;
        const problems::MateVerdict verdict = solver->Judge(position.Squares(), moves, problems::AnyKeyKind, key);
        if (verdict != problems::MateVerdict::Sound) {
            return verdict == problems::MateVerdict::StalematingKey ? "none" : problems::VerdictName(verdict);
        }
        return MarkMissed(*solver, position.Squares(), moves, key) + " " + rules::AlgebraicNotation(position, key);
    });
}

}  // namespace problem_tool
