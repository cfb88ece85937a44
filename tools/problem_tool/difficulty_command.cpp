// problem-tool difficulty: the estimated rating of each FEN line of standard
// input as a mate puzzle for its side to move, one line each: a whole number,
// or "-" when that side does not mate in at most three moves.
// problem-tool difficulty-features: the numbers the estimate is made of, a
// header line "# moves NAME..." first, then per FEN line the mate's length
// and the numbers, or "-".
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "problems/difficulty.h"
#include "rules/fen.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

// Runs `answer` on the position of each line that is not blank; a malformed
// line gets "-", a reason on stderr and the exit status 2.
int ForEachFenLine(const char* command, const std::function<std::string(const rules::Position&)>& answer) {
    rules::Position position;
    int status = 0;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string error;
        if (!rules::ParseFen(line, position, error)) {
            std::fprintf(stderr, "problem-tool %s: line %d: %s\n", command, number, error.c_str());
            std::printf("-\n");
            status = 2;
            continue;
        }
        std::printf("%s\n", answer(position).c_str());
        std::fflush(stdout);
    }
    return status;
}

}  // namespace

int DifficultyCommand(int argc, char**) {
    if (!ArgumentCountFits(argc, 0, 0, "usage: problem-tool difficulty < FEN_LINES")) return 2;
    return ForEachFenLine("difficulty", [](const rules::Position& position) {
        const std::optional<int> rating = problems::EstimateDifficulty(position);
        return rating ? std::to_string(*rating) : std::string("-");
    });
}

int DifficultyFeaturesCommand(int argc, char**) {
    if (!ArgumentCountFits(argc, 0, 0, "usage: problem-tool difficulty-features < FEN_LINES")) return 2;
    std::string header = "# moves";
    for (const char* name : problems::DifficultyInputNames) header += std::string(" ") + name;
    std::printf("%s\n", header.c_str());
    return ForEachFenLine("difficulty-features", [](const rules::Position& position) {
        const std::optional<problems::DifficultyFeatures> features = problems::MeasureDifficulty(position);
        if (!features) return std::string("-");
        std::string text = std::to_string(features->Moves);
        char number[32];
        for (const double value : problems::DifficultyInputs(*features)) {
            std::snprintf(number, sizeof number, " %.17g", value);
            text += number;
        }
        return text;
    });
}

}  // namespace problem_tool
