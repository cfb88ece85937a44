// The trainer as a process: started in a working directory of its own, it
// ends with status 0 when its window is closed, when "Опции" is pressed
// (starting the editor there, or nothing when the editor is missing) and
// when a generation run gives up.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/trainer/trainer_fixture.h"
#include "tests/trainer/x_input.h"

extern char** environ;

namespace trainer_test {
namespace {

constexpr auto WindowDeadline = std::chrono::seconds(20);
constexpr auto ExitDeadline = std::chrono::seconds(20);
constexpr auto PollPause = std::chrono::milliseconds(20);
constexpr const char* TrainerTitle = "Мат в 1 ход";
// The centre of "Опции" in the window: 800, 660, 70 x 25.
constexpr ScreenPoint OptionsButtonCentre = {835, 672};

class TrainerProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Display = XOpenDisplay(nullptr);
        ASSERT_NE(Display, nullptr) << "the process tests need an X display";
        Input = std::make_unique<XInput>(Display);
    }
    void TearDown() override {
        if (Pid > 0 && waitpid(Pid, nullptr, WNOHANG) == 0) {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
        Input.reset();
        if (Display != nullptr) XCloseDisplay(Display);
        WorkDir.reset();
    }

    void StartTrainer(const std::string& settings, bool withEditor) {
        WorkDir = std::make_unique<TempWorkDir>(settings);
        if (withEditor) {
            const std::string editor = WorkDir->Path + "/quessa";
            std::ofstream(editor) << "#!/bin/sh\n{ echo \"$#\"; pwd; } > quessa-started.txt\n";
            std::filesystem::permissions(editor, std::filesystem::perms::owner_all);
        }
        char* const arguments[] = {const_cast<char*>(VINDOLAR_BINARY), nullptr};
        ASSERT_EQ(posix_spawn(&Pid, VINDOLAR_BINARY, nullptr, nullptr, arguments, environ), 0);
    }

    // The trainer's window once it shows, with a problem generated.
    Window TrainerWindow(const std::string& title = TrainerTitle) {
        const auto deadline = std::chrono::steady_clock::now() + WindowDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            const Window window = Input->FindWindow(title, Pid);
            if (window != None) return window;
            std::this_thread::sleep_for(PollPause);
        }
        return None;
    }

    // The exit status, or -1 when the process does not end in time.
    int ExitStatus() {
        const auto deadline = std::chrono::steady_clock::now() + ExitDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid) {
                Pid = 0;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(PollPause);
        }
        return -1;
    }

    // What the stand-in editor wrote: its argument count and directory.
    std::string EditorReport() {
        const std::string report = WorkDir->Path + "/quessa-started.txt";
        const auto deadline = std::chrono::steady_clock::now() + ExitDeadline;
        while (std::chrono::steady_clock::now() < deadline) {
            std::ifstream file(report);
            std::string count;
            std::string directory;
            if (std::getline(file, count) && std::getline(file, directory)) return count + " " + directory;
            std::this_thread::sleep_for(PollPause);
        }
        return "";
    }

    void PressOptions(Window window) {
        const ScreenPoint origin = Input->OriginOf(window);
        Input->Click({origin.X + OptionsButtonCentre.X, origin.Y + OptionsButtonCentre.Y});
    }

    ::Display* Display = nullptr;
    std::unique_ptr<XInput> Input;
    std::unique_ptr<TempWorkDir> WorkDir;
    pid_t Pid = 0;
};

TEST_F(TrainerProcessTest, ClosingTheWindowEndsWithStatusZero) {
    StartTrainer(ExampleSettings(), true);
    const Window window = TrainerWindow();
    ASSERT_NE(window, None);
    Input->SendCloseRequest(window);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_FALSE(std::filesystem::exists(WorkDir->Path + "/quessa-started.txt")) << "closing starts nothing";
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
    Input->SizeOf(box, width, height);
    const ScreenPoint origin = Input->OriginOf(box);
    Input->MoveTo({origin.X + width / 2, origin.Y + height / 2});
    Input->TypeKey(XK_Return);
    EXPECT_EQ(ExitStatus(), 0);
    EXPECT_EQ(EditorReport(), "0 " + WorkDir->Path);
}

}  // namespace
}  // namespace trainer_test
