#include "trainer/move_entry.h"

#include "problems/judging.h"
#include "trainer/dialogs.h"
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
    if (!rules::IsOnBoard(file, row)) return;

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
    const rules::MoveList& moves = Judging.Moves;
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        rules::Move move = moves[entry];
        if (move.FromFile == SelectedFile && move.FromRow == SelectedRow && move.ToFile == ClickFile &&
            move.ToRow == ClickRow) {
            // The first of a promotion's four entries stands for them all.
            if (move.IsPromotion()) move.PlacedPiece = Rules.SideToMove() * ChoosePromotionPiece();
            PlayUserMove(move);
            break;
        }
    }
    ClearSelection();
}

void MoveEntry::CommitListedMove() {
    // A promotion row already names its piece.
    if (ChosenNumber >= 1 && ChosenNumber <= Judging.Moves.Count()) PlayUserMove(Judging.Moves[ChosenNumber]);
    ClearSelection();
}

// The user's move is never taken back: after a wrong one the problem cycle
// puts the whole problem back.
void MoveEntry::PlayUserMove(const rules::Move& move) {
    [[maybe_unused]] const rules::Undo undo = Rules.Play(move);
    Judging.MoveMade = true;
    Window.DrawBoard();
    Judging.JudgeMove();
}

void MoveEntry::ClearSelection() {
    SelectedFile = 0;
    SelectedRow = 0;
}

}  // namespace trainer
