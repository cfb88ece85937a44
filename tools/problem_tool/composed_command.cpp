// problem-tool composed N: whether each FEN line of standard input (White to
// move) is a composed problem of mate in N, one line each: "composed KEY", or
// the first mark it misses and its key ("key-checks KEY", "key-captures KEY",
// "takes-flight KEY", "dual KEY", "one-answer KEY", "removable KEY" when a
// piece could come off), or the verdict of a problem that is not sound
// ("shorter", "none", "several", "illegal").
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "problems/composed_problem.h"
#include "problems/mate_solver.h"
#include "problems/thin_problem.h"
#include "rules/algebraic_notation.h"
#include "rules/fen.h"
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
    std::uint64_t moves = 0;
    if (!ArgumentCountFits(argc, 1, 1, "usage: problem-tool composed N < FEN_LINES") ||
        !ParseNumberArgument("composed", "N", argv[0], 2, moves)) {
        return 2;
    }
    if (moves > static_cast<std::uint64_t>(problems::MostMateMoves)) {
        std::fprintf(stderr, "problem-tool composed: N must be at most %d, not %s\n", problems::MostMateMoves, argv[0]);
        return 2;
    }
    const auto solver = std::make_unique<problems::MateSolver>();
    rules::Position position;
    int status = 0;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string error;
        if (!rules::ParseFen(line, position, error) || position.SideToMove() != rules::White) {
            std::fprintf(stderr, "problem-tool composed: line %d: %s\n", number,
                         error.empty() ? "White must be to move" : error.c_str());
            std::printf("illegal\n");
            status = 2;
            continue;
        }
        rules::Move key;
        const problems::MateVerdict verdict =
            solver->Judge(position.Squares(), static_cast<int>(moves), problems::AnyKeyKind, key);
        std::string text = verdict == problems::MateVerdict::StalematingKey ? "none" : problems::VerdictName(verdict);
        if (verdict == problems::MateVerdict::Sound) {
            text = MarkMissed(*solver, position.Squares(), static_cast<int>(moves), key) + " " +
                   rules::AlgebraicNotation(position, key);
        }
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    return status;
}

}  // namespace problem_tool
