#include "files/working_directory.h"
#include "trainer/dialogs.h"
#include "trainer/trainer_program.h"

namespace trainer {

TrainerProgram::TrainerProgram(Dialogs& dialogs) : Boxes(dialogs) {}

std::string ReadWorkDir() {
    std::string directory = files::WorkingDirectory().value_or("");
    if (!directory.empty() && directory.back() != '/') directory += '/';
    return directory;
}

void TrainerProgram::StartUp() {
    WorkDir = ReadWorkDir();
    Export.WorkDir = WorkDir;
    Tiles.LoadTiles(WorkDir);
    Settings.SettingsReader();
    // The cell size in use lies within 40..70 whatever the file holds.
    const int cellSize = Settings.InUse.CellSize;
    Tiles.ScaleTiles(cellSize);
    Window.Open(cellSize);
}

void TrainerProgram::End() { Window.Close(); }

}  // namespace trainer
