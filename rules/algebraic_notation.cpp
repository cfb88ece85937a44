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
std::string FromSquarePart(const std::vector<Move>& legalMoves, const Move& move) {
    bool rival = false;
    bool rivalOnFile = false;
    bool rivalOnRank = false;
    for (const Move& other : legalMoves) {
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
    const MoveList moves = position.LegalMoves();
    std::vector<Move> legalMoves;
    legalMoves.reserve(static_cast<std::size_t>(moves.Count()));
    for (int entry = 1; entry <= moves.Count(); ++entry) legalMoves.push_back(moves[entry]);
    const bool capture = position.At(move.ToFile, move.ToRow) != NoPiece;
    return AlgebraicText(move, legalMoves, capture, CheckMark(position, move));
}

std::string AlgebraicText(const Move& move, const std::vector<Move>& legalMoves, bool capture,
                          const std::string& checkMark) {
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
