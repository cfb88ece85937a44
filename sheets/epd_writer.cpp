// Writing a set of problems as EPD.
#include "sheets/epd_writer.h"

namespace sheets {
namespace {

constexpr int PositionFields = 4;  // placement, side to move, castling, en passant

// The FEN without its two move counters.
std::string PositionPart(const std::string& fen) {
    int blanks = 0;
    for (std::size_t index = 0; index < fen.size(); ++index) {
        if (fen[index] == ' ' && ++blanks == PositionFields) return fen.substr(0, index);
    }
    return fen;
}

}  // namespace

std::string WriteEpd(const std::vector<problems::SeriesProblem>& problems, bool difficulty) {
    std::string epd;
    for (std::size_t index = 0; index < problems.size(); ++index) {
        const problems::SeriesProblem& problem = problems[index];
        epd += PositionPart(problem.Fen) + " bm " + problem.SolutionAlgebraic + "; dm " +
               std::to_string(problem.Tree.Moves) + "; ";
        if (difficulty && problem.Difficulty) epd += "difficulty " + std::to_string(*problem.Difficulty) + "; ";
        epd += "id \"" + std::to_string(index + 1) + "\";\n";
    }
    return epd;
}

}  // namespace sheets
