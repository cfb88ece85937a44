// quessa, the settings editor: shows "set_figure.txt" in a window of spin
// boxes and a piece list; its save button writes the file and starts the
// trainer. Ends with status 0 on every path.
#include <gtk/gtk.h>

#include "programs/display_loss.h"
#include "editor/editor.h"
#include "window_events/toolkit.h"

int main(int argc, char** argv) {
    if (!window_events::StartToolkit(&argc, &argv)) {
        return 0;  // no display to open the window on
    }
    programs::EndWithStatusZeroWhenTheDisplayOrWindowIsLost();
    editor::Editor editor;
    editor.Start();
    editor.RunEventLoop();
    editor.End();
    return 0;
}
