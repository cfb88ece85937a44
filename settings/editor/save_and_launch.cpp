#include "settings/editor/editor.h"
#include "program_start/start_program.h"

namespace settings {

// Failures to write the file or to start the trainer are not reported: the
// editor ends either way once this returns.
void Editor::SaveAndLaunch() {
    WriteSettingsFile(Window.ValuesToSave());
    StartProgram(TrainerProgram);
}

}  // namespace settings
