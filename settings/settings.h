// The fourteen settings of "set_figure.txt" and the trainer's reading of them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/piece_codes.h"

namespace settings {

inline constexpr const char* SettingsFileName = "set_figure.txt";

// The fourteen values in file-line order.
struct Settings {
    std::int32_t WhitePawns = 0;
    std::int32_t WhiteKnights = 0;
    std::int32_t WhiteBishops = 0;
    std::int32_t WhiteRooks = 0;
    std::int32_t WhiteQueens = 0;
    std::int32_t BlackPawns = 0;
    std::int32_t BlackKnights = 0;
    std::int32_t BlackBishops = 0;
    std::int32_t BlackRooks = 0;
    std::int32_t BlackQueens = 0;
    std::int32_t CellSize = 0;
    std::int32_t KingEdgeDistance = 0;
    std::int32_t PawnRankLimit = 0;
    std::string FirstMovePieceName;

    // The thirteen numbers by file line, 1..13.
    std::int32_t& Number(int line);
    std::int32_t Number(int line) const;
};

constexpr int NumericLines = 13;

// The names of the thirteen numbers by file line; index 0 is unused.
inline constexpr std::array<std::string_view, NumericLines + 1> NumberNames = {{
    "",
    "WhitePawns",
    "WhiteKnights",
    "WhiteBishops",
    "WhiteRooks",
    "WhiteQueens",
    "BlackPawns",
    "BlackKnights",
    "BlackBishops",
    "BlackRooks",
    "BlackQueens",
    "CellSize",
    "KingEdgeDistance",
    "PawnRankLimit",
}};

// The range the editor allows for each numeric line; the trainer brings the
// values it reads into the same ranges.
struct ValueRange {
    std::int32_t Lowest;
    std::int32_t Highest;
};
inline constexpr std::array<ValueRange, NumericLines + 1> EditorRanges = {{
    {0, 0},    // no line 0
    {0, 8},    // WhitePawns
    {0, 10},   // WhiteKnights
    {0, 10},   // WhiteBishops
    {0, 10},   // WhiteRooks
    {0, 10},   // WhiteQueens
    {0, 8},    // BlackPawns
    {0, 10},   // BlackKnights
    {0, 10},   // BlackBishops
    {0, 10},   // BlackRooks
    {0, 10},   // BlackQueens
    {40, 70},  // CellSize
    {0, 3},    // KingEdgeDistance
    {2, 7},    // PawnRankLimit
}};

// The value brought into the editor's range of numeric line `line` (1..13):
// below it gives the lowest value, above it the highest.
std::int32_t LimitedToEditorRange(int line, std::int32_t value);
// All thirteen numbers brought into their ranges; the name is kept.
Settings LimitedToEditorRanges(const Settings& values);

// The piece-kind code of "любая": any piece may give the mate.
inline constexpr std::int32_t AnyPieceKind = 0;

// The names of the piece that must give mate, in the order both programs
// list and test them, with the piece-kind code the trainer derives: the rules
// core's code of that kind.
struct PieceName {
    std::string_view Name;
    std::int32_t Kind;
};
inline constexpr std::array<PieceName, 7> PieceNames = {{
    {"пешка", rules::Pawn},
    {"конь", rules::Knight},
    {"слон", rules::Bishop},
    {"ладья", rules::Rook},
    {"ферзь", rules::Queen},
    {"король", rules::King},
    {"любая", AnyPieceKind},
}};

// The length in bytes of the longest of the seven names.
inline constexpr std::size_t LongestPieceNameBytes = [] {
    std::size_t longest = 0;
    for (const PieceName& name : PieceNames) longest = name.Name.size() > longest ? name.Name.size() : longest;
    return longest;
}();

// The position in PieceNames of the name that equals `name` exactly (whole
// text, case and blanks count); none when no name does.
std::optional<std::size_t> FindPieceName(std::string_view name);

// The trainer's settings: the values as read, the values in use and the two
// values derived from them.
struct TrainerSettings {
    Settings AsRead;                  // the fourteen values exactly as the file gave them
    Settings InUse;                   // the same, brought into the editor's ranges
    std::int32_t KingSpan = 0;        // 7 - 2 * KingEdgeDistance (in use)
    std::int32_t FirstMovePiece = 0;  // piece-kind code; 0 means any piece

    // Reads the settings file (by default "set_figure.txt" in the working
    // directory), creating it empty when none exists.
    void SettingsReader(const std::string& path = SettingsFileName);

    // Takes `asRead` as the values read and derives the rest from it.
    void Adopt(const Settings& asRead);
};

// The editor's reading of the settings file: the fourteen values as read.
void LoadSettings(Settings& values, const std::string& path = SettingsFileName);

// Writes the fourteen lines, each ending in one line feed, through a
// temporary file that then takes the file's place (see files/safe_write.h).
// False, with the old file left as it was, when it could not be written.
bool WriteSettingsFile(const Settings& values, const std::string& path = SettingsFileName);

}  // namespace settings
