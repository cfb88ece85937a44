#include "settings/editor.h"
#include "settings/program_start.h"

namespace settings {

// Failures to write the file or to start the trainer are not reported: the
// editor ends either way once this returns.
void Editor::SaveAndLaunch() {
    WriteSettingsFile(Window.ValuesToSave());
    StartProgram(TrainerProgram);
}

}  // namespace settings
