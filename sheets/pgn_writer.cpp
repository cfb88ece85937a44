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

// White's move numbered `number` and the play below it: the first defence
// and its continuation as the main line, every other defence with its
// continuation as a variation after the first:
// "1. Qa6 Kb8 (1... Kd8 2. Qd7#) 2. Qb7#".
std::string Line(const problems::WhiteNode& move, int number) {
    const std::string numbered = std::to_string(number) + ". " + move.Algebraic;
    if (move.Defences.empty()) return numbered;
    const auto continuation = [number](const problems::DefenceNode& defence) {
        return defence.Continuation.empty() ? std::string() : " " + Line(defence.Continuation.front(), number + 1);
    };
    std::string text = numbered + " " + move.Defences.front().Algebraic;
    for (std::size_t index = 1; index < move.Defences.size(); ++index) {
        const problems::DefenceNode& defence = move.Defences[index];
        text += " (" + std::to_string(number) + "... " + defence.Algebraic + continuation(defence) + ")";
    }
    return text + continuation(move.Defences.front());
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

std::string WritePgn(const std::vector<problems::SeriesProblem>& problems, const std::string& title, bool difficulty) {
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
        if (difficulty && problem.Difficulty) others.emplace_back("Difficulty", std::to_string(*problem.Difficulty));
        std::sort(others.begin(), others.end());
        for (const Tag& tag : others) AddTag(pgn, tag.first.c_str(), tag.second);
        pgn += "\n" + Line(problem.Tree.Key, 1) + " 1-0\n";
    }
    return pgn;
}

}  // namespace sheets
