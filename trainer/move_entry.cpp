#include "trainer/move_entry.h"

#include "problems/judging.h"
#include "rules/play_move.h"
#include "trainer/dialogs.h"
#include "trainer/event_queue.h"
#include "trainer/main_window.h"
#include "trainer/messages.h"

namespace trainer {

void MoveEntry::BoardClickStep() {
    int pointerX = 0;
    int pointerY = 0;
    Window.PointerPosition(pointerX, pointerY);
    const int cellSize = Window.CellSize();
    const int file = pointerX / cellSize;  // truncates toward zero: -1 gives 0
    const int row = pointerY / cellSize;
    if (!chess::IsOnBoard(file, row)) return;

    ClickFile = file;
    ClickRow = row;
    if (ClickFile != SelectedFile || ClickRow != SelectedRow) TryBoardMove();
    if (SelectedFile == 0 && SelectedRow == 0) {
        SelectedFile = ClickFile;
        SelectedRow = ClickRow;
    }
    Window.DrawBoard();
    Window.HighlightSquare(ClickFile, ClickRow);
}

void MoveEntry::TryBoardMove() {
    const chess::MoveColumns& moves = Rules.MoveList;
    int entry = 0;
    for (int i = 1; i <= Rules.MoveCount; ++i) {
        if (moves.FromFile[i] == SelectedFile && moves.FromRow[i] == SelectedRow && moves.ToFile[i] == ClickFile &&
            moves.ToRow[i] == ClickRow) {
            entry = i;
            break;
        }
    }
    if (entry != 0) {
        // Only the two squares change: the from-square is emptied and the
        // to-square gets the moved piece, or the piece chosen for a promotion.
        chess::Move move = moves.Entry(entry);
        if (move.MovedPiece != move.PlacedPiece) move.PlacedPiece = Rules.SideToMove * ChoosePromotionPiece();
        chess::PlayMove(Rules.Board, move);
        Window.DrawBoard();
        Rules.SideToMove = chess::Black;
        Judging.JudgeMove();
        Judging.MoveMade = 1;
    }
    ClearSelection();
}

void MoveEntry::CommitListedMove() {
    const chess::MoveColumns& moves = Rules.MoveList;
    const int entry = ChosenNumber;
    if (entry >= 1 && entry <= Rules.MoveCount) {
        // A promotion row already names its piece.
        chess::PlayMove(Rules.Board, moves.Entry(entry));
        Judging.MoveMade = 1;
        Rules.SideToMove = chess::Black;
        Window.DrawBoard();
        Judging.JudgeMove();
    }
    ClearSelection();
}

void MoveEntry::ClearSelection() {
    SelectedFile = 0;
    SelectedRow = 0;
}

}  // namespace trainer
