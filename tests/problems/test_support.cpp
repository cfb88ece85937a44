#include "tests/problems/test_support.h"

#include <cctype>
#include <stdexcept>

#include "rules/move_text.h"

namespace problems::testing {
namespace {

chess::PieceCode KindOfLetter(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
        case 'K': return chess::King;
        case 'Q': return chess::Queen;
        case 'R': return chess::Rook;
        case 'B': return chess::Bishop;
        case 'N': return chess::Knight;
        case 'P': return chess::Pawn;
        default: throw std::invalid_argument(std::string("unknown piece letter ") + letter);
    }
}

// A position set up square by square from a board, `side` to move.
chess::Position OnBoard(const chess::BoardCellsArray& board, int side) {
    chess::Position position;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) position.Put(file, row, board[file][row]);
    }
    position.SetSideToMove(side == chess::White ? chess::White : chess::Black);
    return position;
}

bool KingAttackedOn(const chess::BoardCellsArray& board, int side) {
    const chess::Position position = OnBoard(board, side);
    return side == chess::White ? position.IsWhiteKingAttacked() : position.IsBlackKingAttacked();
}

int LegalMoveCountOn(const chess::BoardCellsArray& board, int side) {
    return OnBoard(board, side).LegalMoves().Count();
}

constexpr int DoubleStepFromRow = 7;
constexpr int DoubleStepToRow = 5;

}  // namespace

void SetUpPieces(chess::Position& position, std::string_view pieces) {
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
        const chess::PieceCode kind = KindOfLetter(letter);
        const bool white = std::isupper(static_cast<unsigned char>(letter)) != 0;
        position.Put(file, 9 - rank, white ? kind : -kind);
        at += 3;
    }
}

std::string SquareOf(const chess::Position& position, chess::PieceCode code) {
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            if (position.At(file, row) == code) return chess::SquareName(file, row);
        }
    }
    return "";
}

int LegalMoveCount(const chess::Position& position, int side) { return LegalMoveCountOn(position.Squares(), side); }

bool KingAttacked(const chess::Position& position, int side) { return KingAttackedOn(position.Squares(), side); }

MateFacts CountMatesDirectly(const chess::Position& position) {
    MateFacts facts;
    const chess::MoveList whiteMoves = OnBoard(position.Squares(), chess::White).LegalMoves();
    for (int entry = 1; entry <= whiteMoves.Count(); ++entry) {
        const chess::Move move = whiteMoves[entry];
        chess::BoardCellsArray after = position.Squares();
        after[move.FromFile][move.FromRow] = chess::NoPiece;
        after[move.ToFile][move.ToRow] = move.PlacedPiece;
        if (!KingAttackedOn(after, chess::Black)) continue;
        const bool mates = LegalMoveCountOn(after, chess::Black) == 0;
        if (mates) {
            ++facts.Mates;
            facts.LastMatingPiece = move.PlacedPiece;
        }
        if (move.MovedPiece != chess::Pawn || move.FromRow != DoubleStepFromRow || move.ToRow != DoubleStepToRow) {
            continue;
        }
        const int file = move.ToFile;
        for (const int taker : {file - 1, file + 1}) {
            if (taker < 1 || taker > 8 || after[taker][DoubleStepToRow] != -chess::Pawn) continue;
            chess::BoardCellsArray taken = after;
            taken[taker][DoubleStepToRow] = chess::NoPiece;
            taken[file][DoubleStepToRow] = chess::NoPiece;
            taken[file][DoubleStepToRow + 1] = -chess::Pawn;
            if (!KingAttackedOn(taken, chess::Black)) {
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
