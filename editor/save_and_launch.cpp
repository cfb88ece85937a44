#include "editor/editor.h"
#include "program_start/start_program.h"

namespace editor {

// Failures to write the file or to start the trainer are not reported: the
// editor ends either way once this returns.
void Editor::SaveAndLaunch() {
    settings::WriteSettingsFile(Window.ValuesToSave());
    program_start::StartProgram(program_start::TrainerProgram);
}

}  // namespace editor
