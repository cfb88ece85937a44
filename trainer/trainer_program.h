// The whole state of the trainer program, created once by its entry point:
// the rules core, the settings, the generator and judge, the window, its
// event queue and the move entry. Tests create their own.
#pragma once

#include <string>

#include "problems/trainer_rules.h"
#include "problems/generation_run.h"
#include "problems/judging.h"
#include "problems/mate_search.h"
#include "problems/position_builder.h"
#include "problems/problem_cycle.h"
#include "rules/position.h"
#include "settings/settings.h"
#include "trainer/main_window.h"
#include "trainer/move_entry.h"
#include "trainer/picture_export.h"
#include "trainer/tile_pictures.h"
#include "window_events/event_queue.h"

namespace trainer {

class Dialogs;

struct TrainerProgram {
    // The toolkit must be initialised; every message box and the save
    // dialog go through `dialogs`.
    explicit TrainerProgram(Dialogs& dialogs);
    TrainerProgram(const TrainerProgram&) = delete;
    TrainerProgram& operator=(const TrainerProgram&) = delete;

    Dialogs& Boxes;
    std::string WorkDir;  // the working directory, ending in "/"
    rules::Position Rules{problems::TrainerEnPassant};
    settings::TrainerSettings Settings;
    problems::MateSearch Search{Rules};
    problems::PositionBuilder Builder{Rules, Settings};
    TilePictures Tiles;
    window_events::EventQueue Events;
    MainWindow Window{Rules, Tiles, Events, Boxes};
    problems::GenerationRun Run{Rules, Search, Builder, Settings, Window};
    problems::Judge Judging{Rules, Search, Window};
    MoveEntry Entry{Rules, Judging, Window, Events, Boxes};
    PictureExport Export{Window, Boxes};
    problems::ProblemCycle Cycle{Rules, Run, Judging, Window};

    // Reads the working directory, loads the square pictures, reads the
    // settings, scales the pictures and opens the window with an empty board.
    void StartUp();

    // One pass of the event loop; false when the program is to end.
    bool RunPass();
    // Passes until the program is to end.
    void RunEventLoop();
    // Closes the window; the program then ends with status 0.
    void End();

  private:
    // A control's event; false when it ends the program.
    bool DispatchControl(const window_events::WindowEvent& event);
};

// The working directory with a trailing "/".
std::string ReadWorkDir();

}  // namespace trainer
