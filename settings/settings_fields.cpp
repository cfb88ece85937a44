// The thirteen numeric settings addressed by their file line.
#include <array>
#include <stdexcept>
#include <string>

#include "settings/settings.h"

namespace settings {
namespace {

// The members of Settings in file-line order; index 0 is unused.
using NumberField = std::int32_t Settings::*;
constexpr std::array<NumberField, NumericLines + 1> NumberFields = {{
    nullptr,
    &Settings::WhitePawns,
    &Settings::WhiteKnights,
    &Settings::WhiteBishops,
    &Settings::WhiteRooks,
    &Settings::WhiteQueens,
    &Settings::BlackPawns,
    &Settings::BlackKnights,
    &Settings::BlackBishops,
    &Settings::BlackRooks,
    &Settings::BlackQueens,
    &Settings::CellSize,
    &Settings::KingEdgeDistance,
    &Settings::PawnRankLimit,
}};

NumberField FieldOfLine(int line) {
    if (line < 1 || line > NumericLines) {
        throw std::out_of_range("settings line " + std::to_string(line) + " holds no number");
    }
    return NumberFields[static_cast<std::size_t>(line)];
}

}  // namespace

std::int32_t& Settings::Number(int line) { return this->*FieldOfLine(line); }

std::int32_t Settings::Number(int line) const { return this->*FieldOfLine(line); }

}  // namespace settings
