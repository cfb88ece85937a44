// What the trainer's window tests share: a temporary working directory with
// its own settings and pictures, dialogs a test answers, the program state
// with its real window, and real X input aimed at the window's controls.
#pragma once

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"
#include "tests/support/toolkit_loop.h"
#include "tests/support/x_driver.h"
#include "trainer/dialogs.h"
#include "trainer/trainer_program.h"

namespace trainer {

using support::ScreenPoint;
using support::Settle;
using support::SettleUntil;
using support::XDriver;

// Settings lines 1..14 with the given cell size and otherwise the example
// settings (a few pieces, the queen to give mate).
std::string ExampleSettings(int cellSize = 50);
// Settings that place nothing but the two kings.
std::string KingsOnlySettings();

// A fresh directory that is the working directory while the object lives:
// "JPG/" with the built square pictures, an empty "Image/" and
// "set_figure.txt" holding `settings`.
class TempWorkDir {
  public:
    explicit TempWorkDir(const std::string& settings);

  private:
    const support::ScratchWorkingDirectory Folder;

  public:
    const std::string Path;  // no trailing "/"
};

// Message boxes and the save dialog answered by the test: it records what
// they would show and runs the test's action while one is "open".
class ScriptedDialogs final : public trainer::Dialogs {
  public:
    struct Message {
        std::string Title;
        std::string Text;
    };

    std::vector<Message> Messages;
    std::vector<trainer::SaveDialogRequest> SaveRequests;
    std::string SavePathAnswer;  // "" answers like Cancel
    std::function<void(const Message&)> WhileMessageShown;
    std::function<void()> WhileSaveDialogShown;

    void ShowMessage(const std::string& title, const std::string& text) override;
    std::string AskSavePath(const trainer::SaveDialogRequest& request) override;

    bool Shown(const std::string& title, const std::string& text) const;
};

// The pixels the X server shows for a window's client area, once the
// toolkit has settled; the caller unrefs.
GdkPixbuf* GrabWindow(GtkWidget* window);
// The window's pixels once `shows` holds for them, or the last ones grabbed
// when it still does not after a few seconds; the caller unrefs.
GdkPixbuf* GrabWindowShowing(GtkWidget* window, const std::function<bool(GdkPixbuf*)>& shows);

// True when the two pictures are of the same size and equal in every pixel's
// red, green and blue.
bool SamePixels(GdkPixbuf* first, int firstX, int firstY, GdkPixbuf* second, int secondX, int secondY, int width,
                int height);

class TrainerWindowTest : public ::testing::Test {
  protected:
    // The settings the test's working directory starts with.
    virtual std::string Settings() const { return ExampleSettings(); }
    // Runs in the working directory before the trainer starts up.
    virtual void PrepareWorkDir() {}

    void SetUp() override;
    void TearDown() override;

    // Puts a position (FEN, White to move) on the board as the problem on
    // show, with White's moves listed, as a generation run leaves it.
    void ShowProblem(const std::string& fen);
    // Runs loop passes until `done` holds; false when it does not within a
    // few seconds or the program ends first.
    bool RunPassesUntil(const std::function<bool()>& done);

    ScreenPoint SquareCentre(int file, int row) const;
    // The centre of a control, a row of the move table by its move text.
    ScreenPoint ControlCentre(int control) const;
    ScreenPoint TableRowCentre(const std::string& moveText) const;
    void ClickSquare(int file, int row, unsigned button = 1);
    // Clicks a square and runs passes until the loop has handled the click.
    // The board-click step reads the pointer when it handles a click, so a
    // person's next click comes after that, not before.
    void PlayClick(int file, int row, unsigned button = 1);
    void ClickControl(int control);

    // The rows of the move table as the list shows them: "№" and "MOVE".
    std::vector<std::pair<std::string, std::string>> TableRows() const;

    int CellSize() const { return Program->Window.CellSize(); }

    std::unique_ptr<TempWorkDir> WorkDir;
    ScriptedDialogs Dialogs;
    std::unique_ptr<trainer::TrainerProgram> Program;
    std::unique_ptr<XDriver> Input;
    bool Ended = false;  // a pass asked the program to end

  private:
    unsigned Tick = 0;
};

}  // namespace trainer
