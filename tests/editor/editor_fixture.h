// A settings editor opened in this process inside a fresh temporary working
// directory, with helpers to send it real X events and read its controls.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "editor/editor.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/toolkit_loop.h"
#include "tests/support/x_driver.h"

namespace editor {

using support::ReadFileBytes;
using support::ScreenPoint;
using support::Settle;
using support::SettleUntil;
using support::WriteFileBytes;
using support::XDriver;

// Position and size of a control within the window's client area.
struct ClientPlace {
    int Left;
    int Top;
    int Width;
    int Height;
    bool operator==(const ClientPlace& other) const {
        return Left == other.Left && Top == other.Top && Width == other.Width && Height == other.Height;
    }
};
std::ostream& operator<<(std::ostream& out, const ClientPlace& place);

class EditorWindowTest : public ::testing::Test {
  protected:
    std::unique_ptr<support::ScratchWorkingDirectory> WorkDir;
    editor::Editor Editor;
    XDriver Driver{nullptr};

    void SetUp() override;
    void TearDown() override;

    // Writes "set_figure.txt" with `bytes` and starts the editor on it.
    void StartWithFile(const std::string& bytes);
    // Starts the editor with no settings file in the working directory.
    void StartWithoutFile();

    Window WindowId() const;
    ClientPlace PlaceOf(GtkWidget* control) const;
    ScreenPoint PointIn(GtkWidget* control, int dx, int dy) const;
    ScreenPoint CentreOf(GtkWidget* control) const;
    void ClickOn(GtkWidget* control);

    editor::SpinBox& Box(int number);
    // Sends the close request after whatever was sent before and runs the
    // editor's loop until it has handled everything up to it.
    void RunLoopUntilClosed();
    std::string SettingsFile() const;

  private:
    void WaitUntilShown();
};

}  // namespace editor
