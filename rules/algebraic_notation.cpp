// Standard algebraic notation of one entry of a list of legal moves.
#include "rules/algebraic_notation.h"

#include <cstdlib>
#include <memory>

#include "rules/move_text.h"
#include "rules/play_move.h"

namespace chess {
namespace {

// "#" when the move leaves the other side in check without a legal reply,
// "+" when only in check, "" otherwise.
std::string CheckMark(const Position& position, int entry) {
    const MoveColumns& moves = position.MoveList;
    // Only the squares are copied: a position's move list is large.
    auto trial = std::make_unique<Position>();
    trial->Board = position.Board;
    PlayMove(trial->Board, moves.Entry(entry));
    const int opponent = position.SideToMove == White ? Black : White;
    if (opponent == White) {
        trial->IsWhiteKingAttacked();
    } else {
        trial->IsBlackKingAttacked();
    }
    if (trial->InCheck != 1) return "";
    trial->SideToMove = opponent;
    trial->GenerateLegalMoves();
    return trial->MoveCount == 0 ? "#" : "+";
}

// What of the from-square must be written so that no other legal move of
// the same piece to the same square reads the same: nothing, the file, the
// rank, or both.
std::string FromSquarePart(const Position& position, int entry) {
    const MoveColumns& moves = position.MoveList;
    bool rival = false;
    bool rivalOnFile = false;
    bool rivalOnRank = false;
    for (int other = 1; other <= position.MoveCount; ++other) {
        if (other == entry || moves.MovedPiece[other] != moves.MovedPiece[entry] ||
            moves.ToFile[other] != moves.ToFile[entry] || moves.ToRow[other] != moves.ToRow[entry]) {
            continue;
        }
        rival = true;
        rivalOnFile = rivalOnFile || moves.FromFile[other] == moves.FromFile[entry];
        rivalOnRank = rivalOnRank || moves.FromRow[other] == moves.FromRow[entry];
    }
    if (!rival) return "";
    if (!rivalOnFile) return std::string(FileLetters[moves.FromFile[entry]]);
    if (!rivalOnRank) return std::string(RankDigits[moves.FromRow[entry]]);
    return SquareName(moves.FromFile[entry], moves.FromRow[entry]);
}

}  // namespace

char AlgebraicLetter(PieceCode kind) {
    switch (kind) {
        case Knight: return 'N';
        case Bishop: return 'B';
        case Rook: return 'R';
        case Queen: return 'Q';
        case King: return 'K';
        default: return '\0';
    }
}

std::string AlgebraicNotation(const Position& position, int entry) {
    const MoveColumns& moves = position.MoveList;
    const PieceCode moved = moves.MovedPiece[entry];
    const PieceCode placed = moves.PlacedPiece[entry];
    const bool capture = position.Board[moves.ToFile[entry]][moves.ToRow[entry]] != NoPiece;
    std::string text;
    if (std::abs(moved) == Pawn) {
        // A pawn that captures is named by its file; one that advances needs
        // nothing, as only one pawn can step onto a given square.
        if (capture) text += FileLetters[moves.FromFile[entry]];
    } else {
        text += AlgebraicLetter(std::abs(moved));
        text += FromSquarePart(position, entry);
    }
    if (capture) text += 'x';
    text += SquareName(moves.ToFile[entry], moves.ToRow[entry]);
    if (placed != moved) {
        text += '=';
        text += AlgebraicLetter(std::abs(placed));
    }
    return text + CheckMark(position, entry);
}

}  // namespace chess
