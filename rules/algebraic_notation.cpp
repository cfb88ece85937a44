// Standard algebraic notation of one entry of a list of legal moves.
#include "rules/algebraic_notation.h"

#include <cstdlib>

#include "rules/move_text.h"

namespace rules {
namespace {

// "#" when the move leaves the other side in check without a legal reply,
// "+" when only in check, "" otherwise.
std::string CheckMark(Position position, const Move& move) {
    [[maybe_unused]] const Undo undo = position.Play(move);  // on a copy, never taken back
    if (!position.InCheck()) return "";
    return position.HasLegalMove() ? "+" : "#";
}

// What of the from-square must be written so that no other legal move of
// the same piece to the same square reads the same: nothing, the file, the
// rank, or both.
std::string FromSquarePart(const MoveList& legalMoves, const Move& move) {
    bool rival = false;
    bool rivalOnFile = false;
    bool rivalOnRank = false;
    for (int entry = 1; entry <= legalMoves.Count(); ++entry) {
        const Move other = legalMoves[entry];
        if (other.MovedPiece != move.MovedPiece || other.ToFile != move.ToFile || other.ToRow != move.ToRow ||
            (other.FromFile == move.FromFile && other.FromRow == move.FromRow)) {
            continue;
        }
        rival = true;
        rivalOnFile = rivalOnFile || other.FromFile == move.FromFile;
        rivalOnRank = rivalOnRank || other.FromRow == move.FromRow;
    }
    if (!rival) return "";
    if (!rivalOnFile) return std::string(FileLetters[move.FromFile]);
    if (!rivalOnRank) return std::string(RankDigits[move.FromRow]);
    return SquareName(move.FromFile, move.FromRow);
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

std::string AlgebraicNotation(const Position& position, const Move& move) {
    const MoveList legalMoves = position.LegalMoves();
    const bool capture = position.At(move.ToFile, move.ToRow) != NoPiece || position.IsEnPassantCapture(move);
    const std::string checkMark = CheckMark(position, move);
    std::string text;
    if (std::abs(move.MovedPiece) == Pawn) {
        // A pawn that captures is named by its file; one that advances needs
        // nothing, as only one pawn can step onto a given square.
        if (capture) text += FileLetters[move.FromFile];
    } else {
        text += AlgebraicLetter(std::abs(move.MovedPiece));
        text += FromSquarePart(legalMoves, move);
    }
    if (capture) text += 'x';
    text += SquareName(move.ToFile, move.ToRow);
    if (move.IsPromotion()) {
        text += '=';
        text += AlgebraicLetter(std::abs(move.PlacedPiece));
    }
    return text + checkMark;
}

}  // namespace rules
