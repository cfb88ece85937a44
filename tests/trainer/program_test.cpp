// The trainer as a process: started in a working directory of its own, it
// ends with status 0 when its window is closed, when "Опции" is pressed
// (starting the editor there, or nothing when the editor is missing) and
// when a generation run gives up.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <X11/keysym.h>

#include <filesystem>
#include <fstream>

#include "tests/support/processes.h"
#include "tests/support/program_process_test.h"
#include "tests/support/test_files.h"
#include "tests/support/waiting.h"
#include "tests/support/x_driver.h"
#include "tests/trainer/trainer_fixture.h"

extern char** environ;

namespace trainer {
namespace {

using support::ClientArea;

constexpr const char* TrainerTitle = "Мат в 1 ход";
// "Опции" in the window.
constexpr ClientArea OptionsButton = {800, 660, 70, 25};
constexpr ScreenPoint OptionsButtonCentre = {OptionsButton.X + OptionsButton.Width / 2,
                                             OptionsButton.Y + OptionsButton.Height / 2};
// A stand-in for the editor: notes its argument count and directory, the
// whole note at once.
constexpr const char* StandInEditor =
    "#!/bin/sh\n"
    "{ echo \"$#\"; pwd; } > quessa-started.tmp && mv quessa-started.tmp quessa-started.txt\n";

class TrainerProcessTest : public support::ProgramProcessTest {
  protected:
    void TearDown() override {
        support::StopProcess(Pid);
        ProgramProcessTest::TearDown();
        WorkDir.reset();
    }

    void StartTrainer(const std::string& settings, bool withEditor) {
        WorkDir = std::make_unique<TempWorkDir>(settings);
        if (withEditor) {
            const std::string editor = WorkDir->Path + "/quessa";
            support::WriteFileBytes(editor, StandInEditor);
            std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
        }
        char* const arguments[] = {const_cast<char*>(VINDOLAR_BINARY), nullptr};
        ASSERT_EQ(posix_spawn(&Pid, VINDOLAR_BINARY, nullptr, nullptr, arguments, environ), 0);
    }

    Window TrainerWindow(const std::string& title = TrainerTitle) { return WaitForWindow(title, Pid); }

    // The exit status once the trainer has ended.
    int ExitStatus() {
        const int status = support::WaitForExit(Pid);
        if (status != support::StillRunning) Pid = 0;
        return status;
    }

    // What the stand-in editor wrote: its argument count and directory.
    std::string EditorReport() {
        const std::string report = WorkDir->Path + "/quessa-started.txt";
        support::WaitUntil([&] { return std::filesystem::exists(report); });
        std::ifstream file(report);
        std::string count;
        std::string directory;
        std::getline(file, count);
        std::getline(file, directory);
        return count + " " + directory;
    }

    // Once the window shows the button drawn, a person presses it.
    void PressOptions(Window window) {
        ASSERT_TRUE(WaitUntilDrawn(window, OptionsButton)) << "the window shows \"Опции\"";
        const ScreenPoint origin = Driver->OriginOf(window);
        Driver->Click({origin.X + OptionsButtonCentre.X, origin.Y + OptionsButtonCentre.Y});
    }

    std::unique_ptr<TempWorkDir> WorkDir;
    pid_t Pid = 0;
};

TEST_F(TrainerProcessTest, ClosingTheWindowEndsWithStatusZero) {
    StartTrainer(ExampleSettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    Driver->SendCloseRequest(window);
    EXPECT_EQ(ExitStatus(), 0);
    // Whatever the trainer started has become this process's child: once all
    // have ended, a started editor would have left its note.
    EXPECT_TRUE(support::WaitForAllChildren());
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/quessa-started.txt")) << "closing starts nothing";
}

TEST_F(TrainerProcessTest, AWindowDestroyedByAnotherClientEndsWithStatusZero) {
    StartTrainer(ExampleSettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    ASSERT_TRUE(WaitUntilDrawn(window, OptionsButton));
    Driver->DestroyWindow(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(support::WaitForAllChildren());
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/quessa-started.txt")) << "it starts nothing";
}

TEST_F(TrainerProcessTest, AWindowDestroyedWhileAProblemIsSoughtEndsWithoutStartingTheEditor) {
    // Two kings never make a mate: the run goes on to its attempt limit,
    // whose message would then wait for an answer under no window.
    StartTrainer(KingsOnlySettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    Driver->DestroyWindow(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(support::WaitForAllChildren());
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/quessa-started.txt")) << "it starts nothing";
}

TEST_F(TrainerProcessTest, ALostDisplayConnectionEndsWithStatusZero) {
    StartTrainer(ExampleSettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    ASSERT_TRUE(WaitUntilDrawn(window, OptionsButton));
    Driver->KillClientOf(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(support::WaitForAllChildren());
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/quessa-started.txt")) << "it starts nothing";
}

TEST_F(TrainerProcessTest, APipeAmongTheSquarePicturesDoesNotKeepTheWindowFromShowing) {
    WorkDir = std::make_unique<TempWorkDir>(ExampleSettings());
    const std::string pipe = WorkDir->Path + "/JPG/B.bmp";
    std::filesystem::remove(pipe);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    char* const arguments[] = {const_cast<char*>(VINDOLAR_BINARY), nullptr};
    ASSERT_EQ(posix_spawn(&Pid, VINDOLAR_BINARY, nullptr, nullptr, arguments, environ), 0);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    ASSERT_TRUE(WaitUntilDrawn(window, OptionsButton));
    Driver->SendCloseRequest(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(TrainerProcessTest, OptionsStartsTheEditorThenEndsWithStatusZero) {
    StartTrainer(ExampleSettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    PressOptions(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(EditorReport(), "0 " + WorkDir->Path) << "started without arguments in the working directory";
}

TEST_F(TrainerProcessTest, OptionsEndsWithStatusZeroWhenTheEditorIsMissing) {
    StartTrainer(ExampleSettings(), false);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    PressOptions(window);
    EXPECT_EQ(ExitStatus(), 0);
}

TEST_F(TrainerProcessTest, AttemptLimitStartsTheEditorThenEndsWithStatusZero) {
    StartTrainer(KingsOnlySettings(), true);
    const Window box = TrainerWindow("Изменить опции");
    ASSERT_NE(box, None) << "the limit message is shown";
    int width = 0;
    int height = 0;
    Driver->SizeOf(box, width, height);
    ASSERT_TRUE(WaitUntilDrawn(box, {0, 0, width, height})) << "the message box shows its text and button";
    const ScreenPoint origin = Driver->OriginOf(box);
    Driver->MoveTo({origin.X + width / 2, origin.Y + height / 2});
    Driver->TypeKey(XK_Return);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(EditorReport(), "0 " + WorkDir->Path);
}

}  // namespace
}  // namespace trainer
