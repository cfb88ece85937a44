#include "program_start/start_program.h"
#include "trainer/trainer_program.h"

namespace trainer {

void TrainerProgram::RunEventLoop() {
    while (RunPass()) {}
}

bool TrainerProgram::RunPass() {
    // A new problem after a mate and at start-up; false when the run gave up
    // at its attempt limit, having started the editor.
    const bool newProblemDue = Judging.Outcome == problems::Verdict::Mate;
    if (!Cycle.BeginPass()) return false;
    // The square selected in the last problem (the to-square of a mate played
    // by clicks) is shown without a frame and means nothing in the new one:
    // kept, it would turn the user's next click into a move from a square the
    // user never chose in this problem.
    if (newProblemDue) Entry.ClearSelection();

    const window_events::WindowEvent event = Events.WaitEvent();
    if (event.Kind == window_events::EventKind::CloseRequest) return false;
    if (event.Kind != window_events::EventKind::Control) return true;
    if (!DispatchControl(event)) return false;
    // Only a plain left click on a square acts on the board: a button's click
    // must not act on whatever square the pointer rests over once a dialog it
    // opened has closed.
    if (IsSquareControl(event.Control) && event.Click == window_events::ClickKind::LeftClick) Entry.BoardClickStep();
    // A wrong move is answered as soon as it has been judged: the message,
    // then the problem back with White's moves listed.
    Cycle.AfterEventWait();
    return true;
}

bool TrainerProgram::DispatchControl(const window_events::WindowEvent& event) {
    if (event.Control == SaveImageButtonControl) Export.ExportBoardPicture();
    if (event.Control == OptionsButtonControl) {
        program_start::StartProgram(program_start::EditorProgram);
        return false;
    }
    if (event.Control == CommitButtonControl) {
        Entry.ChosenNumber = Window.SelectedRowNumber();
        Entry.CommitListedMove();
    }
    return true;
}

}  // namespace trainer
