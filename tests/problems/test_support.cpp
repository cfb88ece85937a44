#include "tests/problems/test_support.h"

#include <cctype>
#include <memory>
#include <stdexcept>
#include <vector>

#include "rules/move_text.h"
#include "rules/play_move.h"

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

// The rules core works on a position; a position is large (its move list),
// so each check makes one scratch position and hands it boards.
std::unique_ptr<chess::Position> ScratchPosition() { return std::make_unique<chess::Position>(); }

bool KingAttackedOn(chess::Position& scratch, const chess::BoardCellsArray& board, int side) {
    scratch.Board = board;
    if (side == chess::White) {
        scratch.IsWhiteKingAttacked();
    } else {
        scratch.IsBlackKingAttacked();
    }
    return scratch.InCheck == 1;
}

int LegalMoveCountOn(chess::Position& scratch, const chess::BoardCellsArray& board, int side) {
    scratch.Board = board;
    scratch.SideToMove = side;
    scratch.GenerateLegalMoves();
    return scratch.MoveCount;
}

constexpr int DoubleStepFromRow = 7;
constexpr int DoubleStepToRow = 5;

}  // namespace

void SetUpPieces(chess::Position& position, std::string_view pieces) {
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) position.Board[file][row] = chess::NoPiece;
    }
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
        position.Board[file][9 - rank] = white ? kind : -kind;
        at += 3;
    }
}

std::string SquareOf(const chess::Position& position, chess::PieceCode code) {
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            if (position.Board[file][row] == code) return chess::SquareName(file, row);
        }
    }
    return "";
}

int LegalMoveCount(const chess::Position& position, int side) {
    return LegalMoveCountOn(*ScratchPosition(), position.Board, side);
}

bool KingAttacked(const chess::Position& position, int side) {
    return KingAttackedOn(*ScratchPosition(), position.Board, side);
}

MateFacts CountMatesDirectly(const chess::Position& position) {
    MateFacts facts;
    auto scratch = ScratchPosition();
    LegalMoveCountOn(*scratch, position.Board, chess::White);
    std::vector<chess::Move> whiteMoves;
    for (int entry = 1; entry <= scratch->MoveCount; ++entry) whiteMoves.push_back(scratch->MoveList.Entry(entry));
    for (const chess::Move& move : whiteMoves) {
        chess::BoardCellsArray after = position.Board;
        chess::PlayMove(after, move);
        if (!KingAttackedOn(*scratch, after, chess::Black)) continue;
        const bool mates = LegalMoveCountOn(*scratch, after, chess::Black) == 0;
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
            if (!KingAttackedOn(*scratch, taken, chess::Black)) {
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
