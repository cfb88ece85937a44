// The trainer: makes mate-in-one problems and judges the user's answers.
// It takes no arguments and always ends with status 0.
#include <gtk/gtk.h>

#include <memory>

#include "programs/display_loss.h"
#include "trainer/dialogs.h"
#include "trainer/trainer_program.h"
#include "window_events/toolkit.h"

int main() {
    if (!window_events::StartToolkit(nullptr, nullptr)) return 0;
    programs::EndWithStatusZeroWhenTheDisplayOrWindowIsLost();
    trainer::ToolkitDialogs dialogs;
    auto program = std::make_unique<trainer::TrainerProgram>(dialogs);
    program->StartUp();
    dialogs.SetParent(program->Window.Toplevel());
    program->RunEventLoop();
    program->End();
    return 0;
}
