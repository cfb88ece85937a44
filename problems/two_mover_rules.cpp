// The whole rules of a two-mover's solution over the rules core.
#include "problems/two_mover_rules.h"

#include "rules/play_move.h"

namespace problems {

void FullRules::SetUp(const chess::BoardCellsArray& board, int sideToMove) {
    Core->Board = board;
    Core->SideToMove = sideToMove;
    EnPassant = {};
}

void FullRules::LegalMoves(std::vector<chess::Move>& moves) {
    Core->GenerateLegalMoves();
    chess::AddEnPassantCaptures(*Core, EnPassant);
    moves.clear();
    for (int entry = 1; entry <= Core->MoveCount; ++entry) moves.push_back(Core->MoveList.Entry(entry));
}

bool FullRules::HasLegalMove() {
    Core->GenerateLegalMoves();
    if (Core->MoveCount > 0) return true;
    chess::AddEnPassantCaptures(*Core, EnPassant);
    return Core->MoveCount > 0;
}

bool FullRules::InCheck() {
    if (Core->SideToMove == chess::White) {
        Core->IsWhiteKingAttacked();
    } else {
        Core->IsBlackKingAttacked();
    }
    return Core->InCheck != 0;
}

PlayedMove FullRules::Play(const chess::Move& move) {
    PlayedMove played;
    played.Move = move;
    played.EnPassantBefore = EnPassant;
    if (chess::IsEnPassantCapture(Core->Board, move)) {
        played.CapturedFile = move.ToFile;
        played.CapturedRow = move.FromRow;
        played.Captured = Core->Board[move.ToFile][move.FromRow];
        Core->Board[move.ToFile][move.FromRow] = chess::NoPiece;
        chess::PlayMove(Core->Board, move);
    } else {
        played.CapturedFile = move.ToFile;
        played.CapturedRow = move.ToRow;
        played.Captured = chess::PlayMove(Core->Board, move);
    }
    EnPassant = chess::SquarePassedBy(move);
    Core->SideToMove = -Core->SideToMove;
    return played;
}

void FullRules::TakeBack(const PlayedMove& played) {
    const chess::Move& move = played.Move;
    if (played.CapturedRow != move.ToRow) {
        chess::TakeBackMove(Core->Board, move, chess::NoPiece);
        Core->Board[played.CapturedFile][played.CapturedRow] = played.Captured;
    } else {
        chess::TakeBackMove(Core->Board, move, played.Captured);
    }
    EnPassant = played.EnPassantBefore;
    Core->SideToMove = -Core->SideToMove;
}

}  // namespace problems
