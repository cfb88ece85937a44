// How hard a mate problem is for a solver: what a coach would see in the
// position (checks and captures on offer, a quiet key, a key that gives up
// material, the defences and how varied White's answers are, how far the key
// piece goes and whether backwards, flight squares given or taken, the
// pieces on the board) and how much of the tree the mate solver searches
// before the key is proved; and from these an estimate on the rating scale
// of online puzzle sites, fitted on rated mate puzzles.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "rules/position.h"

namespace problems {

// The longest mates an estimate is made for.
constexpr int MostDifficultyMoves = 3;

// Facts of a position whose side to move (the attacker) mates in `Moves`.
// "The key" is one of the first moves that force that mate: a checking one
// before a quiet one, then the one that takes most. Material counts a pawn
// 1, a knight or a bishop 3, a rook 5 and a queen 9.
struct DifficultyFeatures {
    int Moves = 0;       // n of "mate in n", the fewest there are
    int LegalMoves = 0;  // the attacker's legal first moves
    int Checks = 0;      // of them, the ones that give check
    int Captures = 0;    // ... and that take a piece
    int Keys = 0;        // ... and that force mate in n
    int Tries = 0;       // ... and the others that fail against one defence only (mate in one: checks that do not mate)
    bool KeyChecks = false;
    bool KeyCaptures = false;
    bool KeyPromotes = false;
    rules::PieceCode KeyPiece = rules::NoPiece;  // the kind of the piece that moves
    int KeyDistance = 0;                         // the key's length in king steps
    bool KeyBackwards = false;                   // toward the attacker's own first rank
    bool KeyDiscovers = false;                   // another piece than the one that moves gives check
    int KeyToKing = 0;                           // king steps from the key's target square to the defending king
    int KeyFromKing = 0;                         // ... and from its start square
    int MaterialOffered =
        0;             // the most the defender can take at once after the key, less what the key took; 0 for none
    int Defences = 0;  // the defender's replies to the key
    int DistinctAnswers = 0;  // the different second moves of the attacker that meet them
    int Threats = 0;          // of a quiet key: the attacker's moves that would mate if the defender could pass
    int Duals = 0;            // the attacker's moves of the solution that another move would replace
    int FlightsBefore = 0;    // the squares the defending king could go to, were it to move first
    int FlightsGiven = 0;     // the squares it may go to after the key and could not before
    int FlightsTaken = 0;     // the squares it could go to before and may not after the key
    bool KingOnEdge = false;  // the defending king stands on the board's edge
    int KingHemmedIn = 0;     // the squares beside the defending king that its own pieces hold
    int TargetGuards =
        0;  // the defender's pieces that could take on the key's target square but for the rules on check
    bool MateThreatened = false;  // the defender would mate in one were it to move first
    int CheckingPieces = 0;       // the attacker's pieces that can give check
    int WinningCaptures = 0;      // first moves that take a piece the defender cannot take back, or one worth more
    int Threatened = 0;           // the most the defender could take at once were it to move first
    int Pieces = 0;               // on the board, kings included
    int MaterialBalance = 0;      // the attacker's material less the defender's
    bool StartsInCheck = false;
    // Moves the mate solver plays from an empty table: to find the mate
    // (mate in 1, 2, ... n in turn), to prove the key alone, and to show
    // that each other first move fails.
    std::int64_t SearchMoves = 0;
    std::int64_t ProofMoves = 0;
    std::int64_t RefutationMoves = 0;
};

// The facts of `position` when its side to move, White or Black, mates in
// at most MostDifficultyMoves; none when it does not, or when the side not
// to move stands in check.
[[nodiscard]] std::optional<DifficultyFeatures> MeasureDifficulty(const rules::Position& position);

// What the estimate is made of: numbers derived from the facts, in the order
// of DifficultyInputNames.
constexpr int DifficultyInputCount = 41;
extern const std::array<const char*, DifficultyInputCount> DifficultyInputNames;
[[nodiscard]] std::array<double, DifficultyInputCount> DifficultyInputs(const DifficultyFeatures& features);

// The estimated rating of the position as a puzzle: what solvers of online
// mate puzzles would rate it, rounded to tens.
[[nodiscard]] int EstimateRating(const DifficultyFeatures& features);
[[nodiscard]] std::optional<int> EstimateDifficulty(const rules::Position& position);
// The same for a problem's board, White to move.
[[nodiscard]] std::optional<int> EstimateDifficulty(const rules::BoardCellsArray& board);

}  // namespace problems
