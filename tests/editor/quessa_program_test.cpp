// The built quessa program in a temporary working directory, driven from
// outside with real X events: saving hands over to the trainer found in the
// working directory, and every way out ends with status 0.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include "tests/support/processes.h"
#include "tests/support/program_process_test.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/waiting.h"
#include "tests/support/x_driver.h"

namespace editor {
namespace {

namespace fs = std::filesystem;
using namespace support;

constexpr const char* QuessaPath = QUESSA_BINARY;
constexpr const char* EditorTitle = "New window ( 0 )";
// The save button "Сохранить" within the client area.
constexpr ClientArea SaveButton = {40, 480, 170, 30};
constexpr ScreenPoint SaveButtonCentre = {SaveButton.X + SaveButton.Width / 2, SaveButton.Y + SaveButton.Height / 2};
constexpr uid_t NobodyId = 65534;

// A stand-in for the trainer: notes its working directory, its path and its
// argument count in marks/trainer-ran, the whole note at once.
constexpr const char* StandInTrainer =
    "#!/bin/sh\n"
    "{ pwd; echo \"$0\"; echo \"$#\"; } > marks/trainer-ran.tmp && mv marks/trainer-ran.tmp marks/trainer-ran\n";

const std::string ExampleFile = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";

class QuessaProgramTest : public ProgramProcessTest {
  protected:
    std::unique_ptr<support::ScratchFolder> WorkDir;
    pid_t Quessa = -1;

    void SetUp() override {
        ProgramProcessTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        WorkDir = std::make_unique<support::ScratchFolder>("quessa-test");
        MakeReadableByAll(WorkDir->Path);
        fs::create_directory(WorkDir->Path / "marks");
        fs::permissions(WorkDir->Path / "marks", fs::perms::all);
    }

    void TearDown() override {
        StopProcess(Quessa);
        ProgramProcessTest::TearDown();
        WorkDir.reset();
    }

    void PutStandInTrainer() {
        WriteFileBytes(WorkDir->Path / "vindolar", StandInTrainer);
        MakeReadableByAll(WorkDir->Path / "vindolar");
    }

    // Starts quessa in the working directory; as another user when asked
    // (root writes to any file, so a read-only file needs a plain user).
    // That user may not be able to reach the build tree (a clone under
    // root's own home, mode 0700): it runs a copy in the working directory.
    void StartQuessa(bool asPlainUser = false) {
        std::string program = QuessaPath;
        if (asPlainUser) {
            const fs::path copies = WorkDir->Path / "program";
            fs::create_directory(copies);
            MakeReadableByAll(copies);
            program = (copies / "quessa").string();
            fs::copy_file(QuessaPath, program);
            MakeReadableByAll(program);
        }
        std::string authority;
        if (asPlainUser && std::getenv("XAUTHORITY") != nullptr) {
            authority = (WorkDir->Path / "Xauthority").string();
            fs::copy_file(std::getenv("XAUTHORITY"), authority);
            fs::permissions(authority, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        }
        Quessa = fork();
        ASSERT_GE(Quessa, 0);
        if (Quessa == 0) {
            if (chdir(WorkDir->Path.c_str()) != 0) {
                _exit(126);
            }
            if (asPlainUser) {
                if (!authority.empty()) {
                    setenv("XAUTHORITY", authority.c_str(), 1);
                }
                setenv("HOME", WorkDir->Path.c_str(), 1);
                if (setgid(NobodyId) != 0 || setuid(NobodyId) != 0) {
                    _exit(126);
                }
            }
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // The editor's window once it shows its save button drawn.
    Window WaitForEditorWindow() {
        const Window window = WaitForWindow(EditorTitle, Quessa);
        if (window != None) WaitUntilDrawn(window, SaveButton);
        return window;
    }

    void ClickSave(Window window) {
        const ScreenPoint origin = Driver->OriginOf(window);
        Driver->Click({origin.X + SaveButtonCentre.X, origin.Y + SaveButtonCentre.Y});
    }

    // The exit status once quessa has ended.
    int WaitForQuessaExit() {
        const int status = WaitForExit(Quessa);
        if (status != StillRunning) Quessa = -1;
        return status;
    }

    bool WaitForTrainerMark() {
        return WaitUntil([&] { return fs::exists(WorkDir->Path / "marks" / "trainer-ran"); });
    }
};

TEST_F(QuessaProgramTest, SaveWritesTheFileAndStartsTheTrainerInTheWorkingDirectory) {
    WriteFileBytes(WorkDir->Path / "set_figure.txt", "2\n12\n1\n0\n1\n3\n0\n1\n1\n0\n0\n1\n4\nферзь\n");
    PutStandInTrainer();
    StartQuessa();
    const Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    ClickSave(window);
    EXPECT_EQ(WaitForQuessaExit(), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), "2\n10\n1\n0\n1\n3\n0\n1\n1\n0\n40\n1\n4\nферзь\n");
    ASSERT_TRUE(WaitForTrainerMark()) << "the trainer was not started";
    const std::string dir = fs::canonical(WorkDir->Path).string();
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "marks" / "trainer-ran"), dir + "\n" + dir + "/vindolar\n0\n");
}

TEST_F(QuessaProgramTest, CloseRequestEndsWithoutSavingOrStarting) {
    WriteFileBytes(WorkDir->Path / "set_figure.txt", "9\n");
    PutStandInTrainer();
    StartQuessa();
    const Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    Driver->SendCloseRequest(window);
    EXPECT_EQ(WaitForQuessaExit(), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), "9\n");
    // A trainer quessa started would have become this process's child: once
    // all have ended, it would have left its mark.
    EXPECT_TRUE(WaitForAllChildren());
    EXPECT_FALSE(fs::exists(WorkDir->Path / "marks" / "trainer-ran"));
}

TEST_F(QuessaProgramTest, AWindowDestroyedOrADisplayLostEndsWithoutSavingOrStarting) {
    WriteFileBytes(WorkDir->Path / "set_figure.txt", "9\n");
    PutStandInTrainer();
    StartQuessa();
    Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    Driver->DestroyWindow(window);
    EXPECT_EQ(WaitForQuessaExit(), 0) << "after its window was destroyed by another client";

    StartQuessa();
    window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    Driver->KillClientOf(window);
    EXPECT_EQ(WaitForQuessaExit(), 0) << "after its connection to the X server was closed";

    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), "9\n");
    EXPECT_TRUE(WaitForAllChildren());
    EXPECT_FALSE(fs::exists(WorkDir->Path / "marks" / "trainer-ran"));
}

TEST_F(QuessaProgramTest, APipeNamedLikeTheSettingsFileIsNotWaitedOn) {
    ASSERT_EQ(mkfifo((WorkDir->Path / "set_figure.txt").c_str(), 0644), 0);
    PutStandInTrainer();
    StartQuessa();
    const Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    ClickSave(window);
    EXPECT_EQ(WaitForQuessaExit(), 0) << "the save neither waits for a reader nor freezes the window";
    EXPECT_TRUE(fs::is_fifo(WorkDir->Path / "set_figure.txt"));
    EXPECT_TRUE(WaitForTrainerMark()) << "the trainer is started as after any failed write";
    EXPECT_EQ(NamesIn(WorkDir->Path), (std::vector<std::string>{"marks", "set_figure.txt", "vindolar"}));
}

TEST_F(QuessaProgramTest, WithoutTheTrainerItSavesAndEnds) {
    WriteFileBytes(WorkDir->Path / "set_figure.txt", ExampleFile);
    StartQuessa();
    const Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    ClickSave(window);
    EXPECT_EQ(WaitForQuessaExit(), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), ExampleFile);
    EXPECT_EQ(fs::directory_iterator(WorkDir->Path / "marks"), fs::directory_iterator());
}

TEST_F(QuessaProgramTest, ReadOnlySettingsFileIsLeftAsItWas) {
    const std::string original = "8\n8\n8\n8\n8\n8\n8\n8\n8\n8\n60\n2\n6\nладья\n";
    WriteFileBytes(WorkDir->Path / "set_figure.txt", original);
    fs::permissions(WorkDir->Path / "set_figure.txt",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    PutStandInTrainer();
    StartQuessa(geteuid() == 0);
    const Window window = WaitForEditorWindow();
    ASSERT_NE(window, None);
    ClickSave(window);
    EXPECT_EQ(WaitForQuessaExit(), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), original);
    EXPECT_TRUE(WaitForTrainerMark()) << "the trainer is started even when the file could not be written";
}

TEST_F(QuessaProgramTest, WithoutADisplayItEndsWithStatusZero) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        unsetenv("DISPLAY");
        if (chdir(WorkDir->Path.c_str()) != 0) {
            _exit(126);
        }
        execl(QuessaPath, QuessaPath, static_cast<char*>(nullptr));
        _exit(127);
    }
    Quessa = child;
    EXPECT_EQ(WaitForQuessaExit(), 0);
    EXPECT_FALSE(fs::exists(WorkDir->Path / "set_figure.txt"));
}

}  // namespace
}  // namespace editor
