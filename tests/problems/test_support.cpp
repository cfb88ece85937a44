#include "tests/problems/test_support.h"

#include <cctype>
#include <stdexcept>
#include <vector>

#include "rules/move_text.h"

namespace problems::testing {
namespace {

rules::PieceCode KindOfLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
        case 'K': return rules::King;
        case 'Q': return rules::Queen;
        case 'R': return rules::Rook;
        case 'B': return rules::Bishop;
        case 'N': return rules::Knight;
        case 'P': return rules::Pawn;
        default: throw std::invalid_argument(std::string("unknown piece letter ") + letter);
    }
}

// A position set up square by square from a board, `side` to move.
rules::Position OnBoard(const rules::BoardCellsArray& board, int side) {
    rules::Position position;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) position.Put(file, row, board[file][row]);
    }
    position.SetSideToMove(side == rules::White ? rules::White : rules::Black);
    return position;
}

bool KingAttackedOn(const rules::BoardCellsArray& board, int side) {
    const rules::Position position = OnBoard(board, side);
    return side == rules::White ? position.IsWhiteKingAttacked() : position.IsBlackKingAttacked();
}

int LegalMoveCountOn(const rules::BoardCellsArray& board, int side) {
    return OnBoard(board, side).LegalMoves().Count();
}

constexpr int DoubleStepFromRow = 7;
constexpr int DoubleStepToRow = 5;

}  // namespace

void SetUpPieces(rules::Position& position, std::string_view pieces) {
    position.Clear();
    for (std::size_t at = 0; at < pieces.size();) {
        if (pieces[at] == ' ') {
            ++at;
            continue;
        }
        if (at + 3 > pieces.size()) throw std::invalid_argument("piece list ends early");
        const char letter = pieces[at];
        const int file = pieces[at + 1] - 'a' + 1;
        const int rank = pieces[at + 2] - '0';
        if (file < 1 || file > 8 || rank < 1 || rank > 8) throw std::invalid_argument("bad square");
        const rules::PieceCode kind = KindOfLetter(letter);
        const bool white = std::isupper(static_cast<unsigned char>(letter)) != 0;
        position.Put(file, 9 - rank, white ? kind : -kind);
        at += 3;
    }
}

std::string SquareOf(const rules::Position& position, rules::PieceCode code) {
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            if (position.At(file, row) == code) return rules::SquareName(file, row);
        }
    }
    return "";
}

int LegalMoveCount(const rules::Position& position, int side) { return LegalMoveCountOn(position.Squares(), side); }

bool KingAttacked(const rules::Position& position, int side) { return KingAttackedOn(position.Squares(), side); }

MateFacts CountMatesDirectly(const rules::Position& position) {
    MateFacts facts;
    const rules::MoveList whiteMoves = OnBoard(position.Squares(), rules::White).LegalMoves();
    for (int entry = 1; entry <= whiteMoves.Count(); ++entry) {
        const rules::Move move = whiteMoves[entry];
        rules::BoardCellsArray after = position.Squares();
        after[move.FromFile][move.FromRow] = rules::NoPiece;
        after[move.ToFile][move.ToRow] = move.PlacedPiece;
        if (!KingAttackedOn(after, rules::Black)) continue;
        const bool mates = LegalMoveCountOn(after, rules::Black) == 0;
        if (mates) {
            ++facts.Mates;
            facts.LastMatingPiece = move.PlacedPiece;
        }
        if (move.MovedPiece != rules::Pawn || move.FromRow != DoubleStepFromRow || move.ToRow != DoubleStepToRow) {
            continue;
        }
        const int file = move.ToFile;
        for (const int taker : {file - 1, file + 1}) {
            if (taker < 1 || taker > 8 || after[taker][DoubleStepToRow] != -rules::Pawn) continue;
            rules::BoardCellsArray taken = after;
            taken[taker][DoubleStepToRow] = rules::NoPiece;
            taken[file][DoubleStepToRow] = rules::NoPiece;
            taken[file][DoubleStepToRow + 1] = -rules::Pawn;
            if (!KingAttackedOn(taken, rules::Black)) {
                facts.CheckTakenEnPassant = true;
                if (mates) facts.MateTakenEnPassant = true;
            }
        }
    }
    return facts;
}

settings::TrainerSettings MakeSettings(const int (&counts)[10], int kingEdgeDistance, int pawnRankLimit,
                                       int firstMovePiece) {
    settings::Settings values;
    std::int32_t* const fields[10] = {
        &values.WhitePawns, &values.WhiteKnights, &values.WhiteBishops, &values.WhiteRooks, &values.WhiteQueens,
        &values.BlackPawns, &values.BlackKnights, &values.BlackBishops, &values.BlackRooks, &values.BlackQueens};
    for (int line = 0; line < 10; ++line) *fields[line] = counts[line];
    values.CellSize = 50;
    values.KingEdgeDistance = kingEdgeDistance;
    values.PawnRankLimit = pawnRankLimit;
    // As the trainer's reader takes them: limited to the editor's ranges,
    // with the king's span derived.
    settings::TrainerSettings config;
    config.Adopt(values);
    config.FirstMovePiece = firstMovePiece;
    return config;
}

}  // namespace problems::testing
