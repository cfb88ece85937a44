// problem-tool difficulty: the estimated rating of each FEN line of standard
// input as a mate puzzle for its side to move, one line each: a whole number,
// or "-" when that side does not mate in at most three moves.
// problem-tool difficulty-features: the numbers the estimate is made of, a
// header line "# moves NAME..." first, then per FEN line the mate's length
// and the numbers, or "-".
#include <cstdio>
#include <optional>
#include <string>

#include "problems/difficulty.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
// A line that is not a FEN gets "-", as a position without a mate does.
constexpr const char* Unreadable = "-";

int DifficultyCommand(int argc, char**) {
    if (!ArgumentCountFits(argc, 0, 0, "usage: problem-tool difficulty < FEN_LINES")) return 2;
    return AnswerFenLines(
        "difficulty",
        [](const rules::Position& position) {
            const std::optional<int> rating = problems::EstimateDifficulty(position);
            return rating ? std::to_string(*rating) : std::string(Unreadable);
        },
        Unreadable);
}

int DifficultyFeaturesCommand(int argc, char**) {
    if (!ArgumentCountFits(argc, 0, 0, "usage: problem-tool difficulty-features < FEN_LINES")) return 2;
    std::string header = "# moves";
    for (const char* name : problems::DifficultyInputNames) header += std::string(" ") + name;
    std::printf("%s\n", header.c_str());
    return AnswerFenLines(
        "difficulty-features",
        [](const rules::Position& position) {
            const std::optional<problems::DifficultyFeatures> features = problems::MeasureDifficulty(position);
            if (!features) return std::string("-");
            std::string text = std::to_string(features->Moves);
            char number[32];
            for (const double value : problems::DifficultyInputs(*features)) {
                std::snprintf(number, sizeof number, " %.17g", value);
                text += number;
            }
            return text;
        },
        Unreadable);
}

}  // namespace problem_tool
