// Writing a set of problems as PGN.
#include "sheets/pgn_writer.h"

#include <algorithm>
#include <utility>

namespace sheets {
namespace {

using Tag = std::pair<std::string, std::string>;

void AddTag(std::string& pgn, const char* name, const std::string& value) {
    pgn += '[';
    pgn += name;
    pgn += " \"";
    pgn += PgnTagValue(value);
    pgn += "\"]\n";
}

// The key, the first defence and its mate as the main line; every other
// defence with its first mate as a variation of Black's first move:
// "1. Qa6 Kb8 (1... Kd8 2. Qd7#) 2. Qb7#".
std::string TwoMoverMoves(const problems::TwoMoverSolution& solution) {
    std::string moves = "1. " + solution.KeyAlgebraic;
    const std::vector<problems::TwoMoverDefence>& defences = solution.Defences;
    if (defences.empty()) return moves;
    moves += " " + defences.front().DefenceAlgebraic;
    for (std::size_t index = 1; index < defences.size(); ++index) {
        moves += " (1... " + defences[index].DefenceAlgebraic + " 2. " + defences[index].FirstMateAlgebraic + ")";
    }
    return moves + " 2. " + defences.front().FirstMateAlgebraic;
}

}  // namespace

std::string PgnTagValue(const std::string& text) {
    std::string value;
    for (const char c : text) {
        if (c == '\\' || c == '"') value += '\\';
        value += c;
    }
    return value;
}

std::string WritePgn(const std::vector<problems::SeriesProblem>& problems, const std::string& title) {
    std::string pgn;
    for (std::size_t index = 0; index < problems.size(); ++index) {
        const problems::SeriesProblem& problem = problems[index];
        if (index > 0) pgn += '\n';
        // The seven-tag roster in its fixed order, then the other tags in
        // ASCII order of their names, as the export format wants them.
        AddTag(pgn, "Event", title);
        AddTag(pgn, "Site", "?");
        AddTag(pgn, "Date", "????.??.??");
        AddTag(pgn, "Round", std::to_string(index + 1));
        AddTag(pgn, "White", "?");
        AddTag(pgn, "Black", "?");
        AddTag(pgn, "Result", "1-0");
        std::vector<Tag> others = {{"SetUp", "1"}, {"FEN", problem.Fen}};
        std::sort(others.begin(), others.end());
        for (const Tag& tag : others) AddTag(pgn, tag.first.c_str(), tag.second);
        pgn += "\n" + (problem.Moves == 2 ? TwoMoverMoves(problem.TwoMover) : "1. " + problem.SolutionAlgebraic) +
               " 1-0\n";
    }
    return pgn;
}

}  // namespace sheets
