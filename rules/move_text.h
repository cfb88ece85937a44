// The texts of square names, piece letters and move-list entries.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "rules/position.h"

namespace rules {

// Entry 0 of each table is empty; entries 1..8 name file and row indices.
constexpr std::array<std::string_view, 9> FileLetters = {"", "a", "b", "c", "d", "e", "f", "g", "h"};
// Row 1 is rank 8: the rows count from the top of the drawn board.
constexpr std::array<std::string_view, 9> RankDigits = {"", "8", "7", "6", "5", "4", "3", "2", "1"};

// Indexed by the magnitude of a piece code. Only the knight, bishop, rook,
// queen and king have a letter; the pawn's entry, like every other, is empty.
constexpr int PieceLetterEntries = King + 1;
constexpr std::array<std::string_view, PieceLetterEntries> MakePieceLetters() {
    std::array<std::string_view, PieceLetterEntries> letters{};
    letters[Knight] = "К";
    letters[Bishop] = "С";
    letters[Rook] = "Л";
    letters[Queen] = "Ф";
    letters[King] = "Кр";
    return letters;
}
constexpr std::array<std::string_view, PieceLetterEntries> PieceLetters = MakePieceLetters();

// "e2", "h8": a square's file letter followed by its rank digit.
std::string SquareName(int file, int row);

// What stands between a move's squares: the trainer's list writes "-" for
// every move; the sheets write ":" for a capture, as Russian notation does.
constexpr char MoveSign = '-';
constexpr char CaptureSign = ':';

// The text of a move, as the trainer's list of moves shows it: piece letter,
// from-square, "-" (or `between`), to-square, and for a promotion the letter
// of the new piece ("Кg1-f3", "e2-e4", "Крe1-f2", "e7-e8Ф", "Фd1:d5").
std::string MoveText(const Move& move, char between = MoveSign);

}  // namespace rules
