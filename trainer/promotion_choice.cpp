// The choice of the new piece when a pawn reaches the last row by clicks on
// the board: four buttons under the board, a message that points to them,
// and a wait that drops every other input until one of them is pressed.
#include "trainer/move_entry.h"

#include "trainer/dialogs.h"
#include "trainer/main_window.h"
#include "trainer/messages.h"
#include "trainer/window_layout.h"
#include "window_events/event_queue.h"

namespace trainer {

rules::PieceKind MoveEntry::ChoosePromotionPiece() {
    Window.ShowPromotionButtons();
    Boxes.ShowMessage(PromotionTitle, PromotionText);
    rules::PieceKind chosen = rules::NoPiece;
    while (chosen == rules::NoPiece) {
        const window_events::WindowEvent event = Events.WaitEvent();
        if (event.Kind != window_events::EventKind::Control) continue;
        for (const PromotionChoice& choice : PromotionChoices) {
            if (choice.Control == event.Control) chosen = choice.Kind;
        }
    }
    Window.RemovePromotionButtons();
    return chosen;
}

}  // namespace trainer
