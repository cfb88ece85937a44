// The two built programs handing the user to each other in one temporary
// working directory: the trainer's "Опции" starts the editor, the editor's
// "Сохранить" writes the settings and starts a new trainer that uses them.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/editor/test_files.h"
#include "tests/editor/x_driver.h"

namespace editor_test {
namespace {

namespace fs = std::filesystem;

constexpr const char* TrainerTitle = "Мат в 1 ход";
constexpr const char* EditorTitle = "New window ( 0 )";
// Centres of the buttons and arrows used, within the client areas.
constexpr ScreenPoint OptionsButtonCentre = {800 + 70 / 2, 660 + 25 / 2};
constexpr ScreenPoint EditorSaveButtonCentre = {40 + 170 / 2, 480 + 30 / 2};
constexpr ScreenPoint WhitePawnsUpArrow = {170 + 42, 20 + 6};
constexpr ScreenPoint CellSizeUpArrow = {170 + 42, 290 + 6};
// A spot of the trainer's left margin, beside the board, that shows the
// window's background.
constexpr ScreenPoint TrainerMarginSpot = {2, 300};
constexpr auto Patience = std::chrono::seconds(30);
constexpr auto PollPause = std::chrono::milliseconds(50);

const std::string SettingsBefore = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";
// One more white pawn and cells two pixels larger.
const std::string SettingsAfter = "3\n1\n1\n0\n1\n3\n0\n1\n1\n0\n52\n1\n4\nферзь\n";
constexpr int CellSizeAfter = 52;

ScreenPoint Offset(ScreenPoint origin, ScreenPoint inside) {
    return {origin.X + inside.X, origin.Y + inside.Y};
}

class HandOverTest : public ::testing::Test {
protected:
    fs::path WorkDir;
    Display* Connection = nullptr;

    void SetUp() override {
        ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "window tests run under an X server (xvfb-run -a)";
        // Programs started detached by our children become our children, so
        // they can be waited for and none is left behind.
        ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
        Connection = XOpenDisplay(nullptr);
        ASSERT_NE(Connection, nullptr);
        WorkDir = MakeTempDir("hand-over-test");
        ASSERT_FALSE(WorkDir.empty());
        fs::copy_file(TRAINER_BINARY, WorkDir / "vindolar");
        fs::copy_file(QUESSA_BINARY, WorkDir / "quessa");
        fs::copy(TILE_FOLDER, WorkDir / "JPG", fs::copy_options::recursive);
        WriteFileBytes(WorkDir / "set_figure.txt", SettingsBefore);
    }

    void TearDown() override {
        for (pid_t pid : RunningFromWorkDir()) {
            kill(pid, SIGKILL);
        }
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
        if (Connection != nullptr) {
            XCloseDisplay(Connection);
        }
        if (!WorkDir.empty()) {
            fs::remove_all(WorkDir);
        }
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
            if (error || executable.parent_path() != fs::canonical(WorkDir)) {
                continue;
            }
            if (name.empty() || executable.filename() == name) {
                found.push_back(static_cast<pid_t>(std::stol(pidText)));
            }
        }
        return found;
    }

    pid_t WaitForProgram(const std::string& name) {
        const auto end = std::chrono::steady_clock::now() + Patience;
        while (std::chrono::steady_clock::now() < end) {
            const std::vector<pid_t> running = RunningFromWorkDir(name);
            if (running.size() == 1) {
                return running.front();
            }
            std::this_thread::sleep_for(PollPause);
        }
        ADD_FAILURE() << name << " did not start";
        return -1;
    }

    Window WaitForWindow(const std::string& title, pid_t pid) {
        XDriver driver(Connection);
        const auto end = std::chrono::steady_clock::now() + Patience;
        while (std::chrono::steady_clock::now() < end) {
            const Window window = driver.FindWindow(title, pid);
            XWindowAttributes attributes{};
            if (window != None && XGetWindowAttributes(Connection, window, &attributes) &&
                attributes.map_state == IsViewable) {
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
                return window;
            }
            std::this_thread::sleep_for(PollPause);
        }
        ADD_FAILURE() << "no window \"" << title << "\"";
        return None;
    }

    // The exit status of a child (or adopted) process; -1 when it does not end.
    int WaitForExit(pid_t pid) {
        const auto end = std::chrono::steady_clock::now() + Patience;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(PollPause);
        }
        return -1;
    }

    // The board reaches down and right to 9 x cellSize: the pixels just
    // inside that edge are squares, those just outside are background.
    bool BoardEndsAt(Window trainer, int cellSize) {
        XDriver driver(Connection);
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
    XDriver driver(Connection);
    const pid_t firstTrainer = fork();
    ASSERT_GE(firstTrainer, 0);
    if (firstTrainer == 0) {
        if (chdir(WorkDir.c_str()) == 0) {
            execl("./vindolar", "./vindolar", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    const Window trainer = WaitForWindow(TrainerTitle, firstTrainer);
    ASSERT_NE(trainer, None);
    driver.Click(Offset(driver.OriginOf(trainer), OptionsButtonCentre));
    EXPECT_EQ(WaitForExit(firstTrainer), 0);

    const pid_t editorPid = WaitForProgram("quessa");
    ASSERT_GT(editorPid, 0);
    const Window editor = WaitForWindow(EditorTitle, editorPid);
    ASSERT_NE(editor, None);
    const ScreenPoint editorOrigin = driver.OriginOf(editor);
    driver.Click(Offset(editorOrigin, WhitePawnsUpArrow));
    driver.Click(Offset(editorOrigin, CellSizeUpArrow));
    driver.Click(Offset(editorOrigin, CellSizeUpArrow));
    driver.Click(Offset(editorOrigin, EditorSaveButtonCentre));
    EXPECT_EQ(WaitForExit(editorPid), 0);
    EXPECT_EQ(ReadFileBytes(WorkDir / "set_figure.txt"), SettingsAfter);

    const pid_t secondTrainer = WaitForProgram("vindolar");
    ASSERT_GT(secondTrainer, 0);
    const Window newTrainer = WaitForWindow(TrainerTitle, secondTrainer);
    ASSERT_NE(newTrainer, None);
    bool boardResized = false;
    const auto end = std::chrono::steady_clock::now() + Patience;
    while (!boardResized && std::chrono::steady_clock::now() < end) {
        boardResized = BoardEndsAt(newTrainer, CellSizeAfter);
        std::this_thread::sleep_for(PollPause);
    }
    EXPECT_TRUE(boardResized) << "the new trainer draws " << CellSizeAfter << "-pixel squares";

    driver.SendCloseRequest(newTrainer);
    EXPECT_EQ(WaitForExit(secondTrainer), 0);
    EXPECT_TRUE(RunningFromWorkDir().empty()) << "a program of the pair is still running";
}

}  // namespace
}  // namespace editor_test
