#include "tests/problems/test_support.h"

#include <cctype>
#include <memory>
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

// Plays an entry of the position's own move list on its board.
void Play(chess::Position& position, int entry) {
    const auto& moves = position.MoveList;
    position.Board[moves.FromFile[entry]][moves.FromRow[entry]] = chess::NoPiece;
    position.Board[moves.ToFile[entry]][moves.ToRow[entry]] = moves.PlacedPiece[entry];
}

// A heap copy: a position holds large move lists.
std::unique_ptr<chess::Position> CopyOf(const chess::Position& position) {
    return std::make_unique<chess::Position>(position);
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
    auto copy = CopyOf(position);
    copy->SideToMove = side;
    if (side == chess::White) {
        copy->GenerateWhiteMoves();
    } else {
        copy->GenerateBlackMoves();
    }
    copy->FilterLegalMoves();
    return copy->MoveCount;
}

bool KingAttacked(const chess::Position& position, int side) {
    auto copy = CopyOf(position);
    if (side == chess::White) {
        copy->IsWhiteKingAttacked();
    } else {
        copy->IsBlackKingAttacked();
    }
    return copy->InCheck == 1;
}

MateFacts CountMatesDirectly(const chess::Position& position) {
    MateFacts facts;
    auto white = CopyOf(position);
    white->SideToMove = chess::White;
    white->GenerateWhiteMoves();
    white->FilterLegalMoves();
    for (int entry = 1; entry <= white->MoveCount; ++entry) {
        auto after = CopyOf(*white);
        Play(*after, entry);
        if (!KingAttacked(*after, chess::Black)) continue;
        if (LegalMoveCount(*after, chess::Black) == 0) {
            ++facts.Mates;
            facts.LastMatingPiece = white->MoveList.PlacedPiece[entry];
        }
        const auto& moves = white->MoveList;
        if (moves.MovedPiece[entry] != chess::Pawn || moves.FromRow[entry] != DoubleStepFromRow ||
            moves.ToRow[entry] != DoubleStepToRow) {
            continue;
        }
        const int file = moves.ToFile[entry];
        for (const int taker : {file - 1, file + 1}) {
            if (taker < 1 || taker > 8 || after->Board[taker][DoubleStepToRow] != -chess::Pawn) continue;
            auto taken = CopyOf(*after);
            taken->Board[taker][DoubleStepToRow] = chess::NoPiece;
            taken->Board[file][DoubleStepToRow] = chess::NoPiece;
            taken->Board[file][DoubleStepToRow + 1] = -chess::Pawn;
            if (!KingAttacked(*taken, chess::Black)) facts.CheckTakenEnPassant = true;
        }
    }
    return facts;
}

settings::TrainerSettings MakeSettings(const int (&counts)[10], int kingEdgeDistance, int pawnRankLimit,
                                       int firstMovePiece) {
    settings::TrainerSettings config;
    settings::Settings& values = config.InUse;
    std::int32_t* const fields[10] = {&values.WhitePawns,   &values.WhiteKnights, &values.WhiteBishops,
                                      &values.WhiteRooks,   &values.WhiteQueens,  &values.BlackPawns,
                                      &values.BlackKnights, &values.BlackBishops, &values.BlackRooks,
                                      &values.BlackQueens};
    for (int line = 0; line < 10; ++line) *fields[line] = counts[line];
    config.InUse.CellSize = 50;
    config.InUse.KingEdgeDistance = kingEdgeDistance;
    config.InUse.PawnRankLimit = pawnRankLimit;
    config.AsRead = config.InUse;
    config.KingSpan = 7 - 2 * kingEdgeDistance;
    config.FirstMovePiece = firstMovePiece;
    return config;
}

}  // namespace problems::testing
