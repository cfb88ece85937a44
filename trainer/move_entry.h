// Playing the user's move: by clicking the from-square and the to-square,
// with a choice of piece for a promotion, or from a row of the move table.
#pragma once

#include <cstdint>

#include "rules/position.h"

namespace problems {
struct Judge;
}

namespace window_events {
class EventQueue;
}

namespace trainer {

class Dialogs;
class MainWindow;

struct MoveEntry {
    MoveEntry(rules::Position& rules, problems::Judge& judge, MainWindow& window, window_events::EventQueue& events,
              Dialogs& dialogs)
        : Rules(rules), Judging(judge), Window(window), Events(events), Boxes(dialogs) {}

    rules::Position& Rules;
    problems::Judge& Judging;
    MainWindow& Window;
    window_events::EventQueue& Events;
    Dialogs& Boxes;

    std::int32_t ClickFile = 0;  // square of the last accepted board click
    std::int32_t ClickRow = 0;
    std::int32_t SelectedFile = 0;  // the selected from-square; 0, 0 for none
    std::int32_t SelectedRow = 0;
    std::int32_t ChosenNumber = 0;  // the "№" of the table row to play; 0 for none

    // A left click on a square: locates the square under the pointer, tries
    // the move from the selected square to it, selects it when nothing is
    // selected and frames it.
    void BoardClickStep();
    // Plays the move from the selected square to the clicked one when the
    // move list holds it, asking for the piece of a promotion; always clears
    // the selection.
    void TryBoardMove();
    // Plays the move list's entry numbered ChosenNumber, if any; always
    // clears the selection.
    void CommitListedMove();
    // No square selected.
    void ClearSelection();

  private:
    // Plays a move of White on the board, shows the board and judges the
    // position it leaves (Black to move).
    void PlayUserMove(const rules::Move& move);
    // Shows the four promotion buttons and waits, dropping every other
    // event, until one of them is pressed; the kind it names.
    rules::PieceKind ChoosePromotionPiece();
};

}  // namespace trainer
