// problem-tool solve N: the verdict on each FEN line of standard input as a
// problem of mate in N, the side to move mating, one line each: "sound KEY",
// "several KEY KEY...", "shorter", "none" or "illegal", keys in standard
// algebraic notation.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "problems/mate_solver.h"
#include "rules/algebraic_notation.h"
#include "rules/fen.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {

int SolveCommand(int argc, char** argv) {
    std::uint64_t moves = 0;
    if (!ArgumentCountFits(argc, 1, 1, "usage: problem-tool solve N < FEN_LINES") ||
        !ParseNumberArgument("solve", "N", argv[0], 1, moves)) {
        return 2;
    }
    if (moves > static_cast<std::uint64_t>(problems::MostMateMoves)) {
        std::fprintf(stderr, "problem-tool solve: N must be at most %d, not %s\n", problems::MostMateMoves, argv[0]);
        return 2;
    }
    const auto solver = std::make_unique<problems::MateSolver>();
    rules::Position position;
    int status = 0;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string error;
        if (!rules::ParseFen(line, position, error)) {
            std::fprintf(stderr, "problem-tool solve: line %d: %s\n", number, error.c_str());
            std::printf("illegal\n");
            status = 2;
            continue;
        }
        solver->SetUp(position);
        rules::Move key;
        std::vector<rules::Move> keys;
        const problems::MateVerdict verdict =
            solver->JudgeCurrent(static_cast<int>(moves), problems::AnyKeyKind, key, &keys);
        std::string text = verdict == problems::MateVerdict::StalematingKey ? "none" : problems::VerdictName(verdict);
        if (verdict == problems::MateVerdict::Sound || verdict == problems::MateVerdict::SeveralKeys) {
            for (const rules::Move& found : keys) text += " " + rules::AlgebraicNotation(position, found);
        }
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    return status;
}

}  // namespace problem_tool
