// The two built programs handing the user to each other in one temporary
// working directory: the trainer's "Опции" starts the editor, the editor's
// "Сохранить" writes the settings and starts a new trainer that uses them.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

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

constexpr const char* TrainerTitle = "Мат в 1 ход";
constexpr const char* EditorTitle = "New window ( 0 )";
// The buttons used, within the client areas, and their centres.
constexpr ClientArea OptionsButton = {800, 660, 70, 25};
constexpr ClientArea EditorSaveButton = {40, 480, 170, 30};
constexpr ScreenPoint OptionsButtonCentre = {OptionsButton.X + OptionsButton.Width / 2,
                                             OptionsButton.Y + OptionsButton.Height / 2};
constexpr ScreenPoint EditorSaveButtonCentre = {EditorSaveButton.X + EditorSaveButton.Width / 2,
                                                EditorSaveButton.Y + EditorSaveButton.Height / 2};
constexpr ScreenPoint WhitePawnsUpArrow = {170 + 42, 20 + 6};
constexpr ScreenPoint CellSizeUpArrow = {170 + 42, 290 + 6};
// A spot of the trainer's left margin, beside the board, that shows the
// window's background.
constexpr ScreenPoint TrainerMarginSpot = {2, 300};

const std::string SettingsBefore = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";
// One more white pawn and cells two pixels larger.
const std::string SettingsAfter = "3\n1\n1\n0\n1\n3\n0\n1\n1\n0\n52\n1\n4\nферзь\n";
constexpr int CellSizeAfter = 52;

ScreenPoint Offset(ScreenPoint origin, ScreenPoint inside) { return {origin.X + inside.X, origin.Y + inside.Y}; }

class HandOverTest : public ProgramProcessTest {
  protected:
    std::unique_ptr<support::ScratchFolder> WorkDir;

    void SetUp() override {
        ProgramProcessTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        WorkDir = std::make_unique<support::ScratchFolder>("hand-over-test");
        fs::copy_file(TRAINER_BINARY, WorkDir->Path / "vindolar");
        fs::copy_file(QUESSA_BINARY, WorkDir->Path / "quessa");
        fs::copy(TILE_FOLDER, WorkDir->Path / "JPG", fs::copy_options::recursive);
        WriteFileBytes(WorkDir->Path / "set_figure.txt", SettingsBefore);
    }

    void TearDown() override {
        if (IsSkipped()) return;
        for (pid_t pid : RunningFromWorkDir()) {
            StopProcess(pid);
        }
        ProgramProcessTest::TearDown();
        WorkDir.reset();
    }

    // Processes, not yet ended, whose executable lies in the working directory.
    std::vector<pid_t> RunningFromWorkDir(const std::string& name = "") {
        std::vector<pid_t> found;
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            const std::string pidText = entry.path().filename().string();
            if (pidText.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            std::error_code error;
            const fs::path executable = fs::read_symlink(entry.path() / "exe", error);
            if (error || executable.parent_path() != fs::canonical(WorkDir->Path)) {
                continue;
            }
            if (name.empty() || executable.filename() == name) {
                found.push_back(static_cast<pid_t>(std::stol(pidText)));
            }
        }
        return found;
    }

    pid_t WaitForProgram(const std::string& name) {
        pid_t found = -1;
        const bool started = WaitUntil([&] {
            const std::vector<pid_t> running = RunningFromWorkDir(name);
            found = running.size() == 1 ? running.front() : -1;
            return found > 0;
        });
        if (!started) ADD_FAILURE() << name << " did not start";
        return found;
    }

    // The window titled `title` of `pid` once it shows `control` drawn.
    Window WaitForWindow(const std::string& title, pid_t pid, const ClientArea& control) {
        const Window window = ProgramProcessTest::WaitForWindow(title, pid);
        if (window != None) WaitUntilDrawn(window, control);
        return window;
    }

    // The board reaches down and right to 9 x cellSize: the pixels just
    // inside that edge are squares, those just outside are background.
    bool BoardEndsAt(Window trainer, int cellSize) {
        XDriver& driver = *Driver;
        const unsigned long background = driver.PixelAt(trainer, TrainerMarginSpot.X, TrainerMarginSpot.Y);
        const int edge = 9 * cellSize;
        const int inside = cellSize + 2;
        return driver.PixelAt(trainer, edge - 2, inside) != background &&
               driver.PixelAt(trainer, edge + 2, inside) == background &&
               driver.PixelAt(trainer, inside, edge - 2) != background &&
               driver.PixelAt(trainer, inside, edge + 2) == background;
    }
};

TEST_F(HandOverTest, OptionsEditSaveAndANewTrainerUsesTheNewSettings) {
    XDriver& driver = *Driver;
    const pid_t firstTrainer = fork();
    ASSERT_GE(firstTrainer, 0);
    if (firstTrainer == 0) {
        if (chdir(WorkDir->Path.c_str()) == 0) {
            execl("./vindolar", "./vindolar", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    const Window trainer = WaitForWindow(TrainerTitle, firstTrainer, OptionsButton);
    ASSERT_NE(trainer, None);
    driver.Click(Offset(driver.OriginOf(trainer), OptionsButtonCentre));
    EXPECT_EQ(WaitForExit(firstTrainer), 0);

    const pid_t editorPid = WaitForProgram("quessa");
    ASSERT_GT(editorPid, 0);
    const Window editor = WaitForWindow(EditorTitle, editorPid, EditorSaveButton);
    ASSERT_NE(editor, None);
    const ScreenPoint editorOrigin = driver.OriginOf(editor);
    driver.Click(Offset(editorOrigin, WhitePawnsUpArrow));
    driver.Click(Offset(editorOrigin, CellSizeUpArrow));
    driver.Click(Offset(editorOrigin, CellSizeUpArrow));
    driver.Click(Offset(editorOrigin, EditorSaveButtonCentre));
    EXPECT_EQ(WaitForExit(editorPid), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir->Path / "set_figure.txt"), SettingsAfter);

    const pid_t secondTrainer = WaitForProgram("vindolar");
    ASSERT_GT(secondTrainer, 0);
    const Window newTrainer = WaitForWindow(TrainerTitle, secondTrainer, OptionsButton);
    ASSERT_NE(newTrainer, None);
    const bool boardResized = WaitUntil([&] { return BoardEndsAt(newTrainer, CellSizeAfter); });
    EXPECT_TRUE(boardResized) << "the new trainer draws " << CellSizeAfter << "-pixel squares";

    driver.SendCloseRequest(newTrainer);
    EXPECT_EQ(WaitForExit(secondTrainer), 0);
    EXPECT_TRUE(RunningFromWorkDir().empty()) << "a program of the pair is still running";
}

}  // namespace
}  // namespace editor
