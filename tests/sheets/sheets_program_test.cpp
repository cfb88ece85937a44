// The built vindolar-sheets, its PGN and EPD read back with the rules core.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "rules/fen.h"
#include "rules/move_text.h"
#include "tests/problems/test_support.h"
#include "tests/settings/scratch_directory.h"
#include "tests/sheets/sheets_run.h"

namespace sheets_test {
namespace {

namespace fs = std::filesystem;
using settings_test::ReadBytes;
using settings_test::WriteBytes;

const char* const ExpectedTags[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result", "SetUp", "FEN"};
constexpr const char* OnlyKings = "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n";
// Two knights and two rooks: now and then a solution needs its from-square.
constexpr const char* MixedAnyKind = "2\n2\n1\n2\n1\n2\n1\n1\n1\n0\n50\n1\n5\nлюбая\n";

class SheetsProgram : public settings_test::ScratchDirectoryTest {
  protected:
    SheetsProgram() { WriteExampleSettings("set_figure.txt"); }
    RunResult Run(const std::vector<std::string>& arguments) { return RunSheets(arguments, Directory.Path.string()); }
    std::set<std::string> Names() {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Directory.Path)) names.insert(entry.path().filename().string());
        return names;
    }
};

// What a game of the PGN says, checked with the rules core: the position is
// well formed, the solution names exactly one legal move, with no more of its
// from-square than needed, and that move is the position's only mate.
struct ReadBackGame {
    std::string Fen;
    std::string San;
    chess::PieceCode MatingKind = 0;
};
ReadBackGame CheckGame(const PgnGame& game, int round, const std::string& title) {
    ReadBackGame result;
    EXPECT_EQ(game.Tags.size(), std::size(ExpectedTags));
    std::map<std::string, std::string> tags;
    for (std::size_t index = 0; index < game.Tags.size() && index < std::size(ExpectedTags); ++index) {
        EXPECT_EQ(game.Tags[index].first, ExpectedTags[index]);
        tags[game.Tags[index].first] = game.Tags[index].second;
    }
    EXPECT_EQ(tags["Event"], title);
    EXPECT_EQ(tags["Site"], "?");
    EXPECT_EQ(tags["Date"], "????.??.??");
    EXPECT_EQ(tags["Round"], std::to_string(round));
    EXPECT_EQ(tags["White"], "?");
    EXPECT_EQ(tags["Black"], "?");
    EXPECT_EQ(tags["Result"], "1-0");
    EXPECT_EQ(tags["SetUp"], "1");
    result.Fen = tags["FEN"];
    EXPECT_EQ(result.Fen.substr(result.Fen.find(' ')), " w - - 0 1");

    const std::string prefix = "1. ";
    const std::string suffix = " 1-0";
    EXPECT_EQ(game.Movetext.rfind(prefix, 0), 0u) << game.Movetext;
    EXPECT_GT(game.Movetext.size(), prefix.size() + suffix.size());
    EXPECT_EQ(game.Movetext.substr(game.Movetext.size() - suffix.size()), suffix);
    result.San = game.Movetext.substr(prefix.size(), game.Movetext.size() - prefix.size() - suffix.size());
    EXPECT_EQ(result.San.back(), '#') << result.San;

    const auto position = WhiteToMove(result.Fen);
    const std::vector<chess::Move> named = EntriesNamedBy(*position, result.San);
    EXPECT_EQ(named.size(), 1u) << result.Fen << " " << result.San;
    if (named.size() != 1) return result;
    EXPECT_TRUE(FromSquarePartIsMinimal(*position, result.San)) << result.Fen << " " << result.San;
    const auto facts = problems::testing::CountMatesDirectly(*position);
    EXPECT_EQ(facts.Mates, 1) << result.Fen;
    EXPECT_EQ(facts.LastMatingPiece, named[0].PlacedPiece) << result.Fen << " " << result.San;
    result.MatingKind = named[0].PlacedPiece;
    return result;
}

TEST_F(SheetsProgram, PgnAndEpdReadBackAsSoundDistinctProblems) {
    const RunResult run = Run({"--count", "150", "--seed", "2024", "--pgn", "set.pgn", "--epd", "set.epd"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");  // a given seed is not printed
    const auto pgn = ReadBytes("set.pgn");
    const auto epd = ReadBytes("set.epd");
    ASSERT_TRUE(pgn && epd);
    const std::vector<PgnGame> games = ReadPgn(*pgn);
    const std::vector<std::string> lines = Lines(*epd);
    ASSERT_EQ(games.size(), 150u);
    ASSERT_EQ(lines.size(), 150u);
    std::set<std::string> placements;
    for (std::size_t index = 0; index < games.size(); ++index) {
        SCOPED_TRACE("problem " + std::to_string(index + 1));
        const ReadBackGame game = CheckGame(games[index], static_cast<int>(index + 1), "Мат в 1 ход");
        EXPECT_EQ(game.MatingKind, chess::Queen);  // the example settings ask for the queen
        EXPECT_TRUE(placements.insert(game.Fen.substr(0, game.Fen.find(' '))).second) << "repeated: " << game.Fen;
        // The EPD line: the FEN's four position fields and the same solution.
        const std::string positionFields = game.Fen.substr(0, game.Fen.size() - std::string(" 0 1").size());
        EXPECT_EQ(lines[index],
                  positionFields + " bm " + game.San + "; dm 1; id \"" + std::to_string(index + 1) + "\";");
    }
}

TEST_F(SheetsProgram, TheSeedReproducesTheFilesByteForByte) {
    ASSERT_EQ(Run({"--count", "30", "--seed", "99", "--pgn", "a.pgn", "--epd", "a.epd"}).Status, 0);
    ASSERT_EQ(Run({"--count", "30", "--seed", "99", "--pgn", "b.pgn", "--epd", "b.epd"}).Status, 0);
    EXPECT_EQ(ReadBytes("a.pgn"), ReadBytes("b.pgn"));
    EXPECT_EQ(ReadBytes("a.epd"), ReadBytes("b.epd"));
    // "-": the same bytes on standard output.
    const RunResult toOutput = Run({"--count", "30", "--seed", "99", "--epd", "-"});
    EXPECT_EQ(toOutput.Status, 0);
    EXPECT_EQ(toOutput.Out, ReadBytes("a.epd"));
    ASSERT_EQ(Run({"--count", "30", "--seed", "100", "--epd", "c.epd"}).Status, 0);
    EXPECT_NE(ReadBytes("a.epd"), ReadBytes("c.epd"));

    // Without --seed the seed is printed, and given back it makes the same set.
    const RunResult clock = Run({"--count", "8", "--pgn", "clock.pgn"});
    ASSERT_EQ(clock.Status, 0);
    ASSERT_EQ(clock.Err.rfind("seed ", 0), 0u) << clock.Err;
    ASSERT_EQ(clock.Err.back(), '\n');
    const std::string seed = clock.Err.substr(5, clock.Err.size() - 6);
    ASSERT_EQ(Run({"--count", "8", "--seed", seed, "--pgn", "again.pgn"}).Status, 0);
    EXPECT_EQ(ReadBytes("clock.pgn"), ReadBytes("again.pgn"));
}

TEST_F(SheetsProgram, AnyKindGivesMatesByMoreThanOneKind) {
    WriteSettings("mixed.txt", MixedAnyKind);
    const std::string title = "Смесь \"фигур\" \\ 1";
    const RunResult run =
        Run({"--settings", "mixed.txt", "--count", "300", "--seed", "1", "--pgn", "mixed.pgn", "--title", title});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::vector<PgnGame> games = ReadPgn(*ReadBytes("mixed.pgn"));
    ASSERT_EQ(games.size(), 300u);
    std::set<chess::PieceCode> kinds;
    int withFromSquare = 0;
    for (std::size_t index = 0; index < games.size(); ++index) {
        const ReadBackGame game = CheckGame(games[index], static_cast<int>(index + 1), title);
        kinds.insert(game.MatingKind);
        // A piece's move without a from-square reads "Qe7#" or "Qxe7#".
        const bool pieceMove = std::isupper(static_cast<unsigned char>(game.San[0])) != 0;
        const std::size_t plainLength = 4 + (game.San.find('x') != std::string::npos ? 1 : 0);
        if (pieceMove && game.San.size() > plainLength) ++withFromSquare;
    }
    EXPECT_GE(kinds.size(), 3u);
    EXPECT_GT(withFromSquare, 0);
}

// Every failure: one line on standard error, status 2, and no file created
// or changed (the settings file is never created either).
TEST_F(SheetsProgram, FailuresLeaveNoFile) {
    WriteBytes("old.pgn", "the coach's own file\n");
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    const std::vector<std::vector<std::string>> failing = {
        {"--pgn", "new.pgn", "--colour", "red"},
        {"--count", "0", "--pgn", "new.pgn"},
        {"--count", "1001", "--pgn", "new.pgn"},
        {"--count", "ten", "--pgn", "new.pgn"},
        {"--per-page", "8", "--pdf", "new.pdf"},
        {"--count", "3"},
        {"--pgn", "new.pgn", "--epd", "new.pgn"},
        {"--settings", "absent.txt", "--pgn", "new.pgn"},
        {"--settings", "folder", "--pgn", "new.pgn"},
        {"--settings", "pipe", "--pgn", "new.pgn"},
        {"--pgn", "old.pgn", "--pdf", "missing/new.pdf"},
        {"--pgn", "old.pgn", "--epd", "folder"},
        {"--pgn", "old.pgn", "--epd", "pipe"},
        {"--pdf", "-", "--pgn", "old.pgn"},
    };
    const std::set<std::string> before = Names();
    for (const auto& arguments : failing) {
        std::string shown;
        for (const std::string& argument : arguments) shown += argument + " ";
        SCOPED_TRACE(shown);
        const RunResult run = Run(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Err;
        EXPECT_EQ(run.Err.rfind("vindolar-sheets: ", 0), 0u) << run.Err;
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(Names(), before);
        EXPECT_EQ(ReadBytes("old.pgn"), "the coach's own file\n");
    }
}

// Only the kings: the budget of 30000 positions per problem runs out.
TEST_F(SheetsProgram, SettingsWithoutProblemsWriteNothingAndSaySo) {
    WriteSettings("kings.txt", OnlyKings);
    WriteBytes("old.pgn", "kept\n");
    const std::set<std::string> before = Names();
    const RunResult run = Run({"--settings", "kings.txt", "--count", "2", "--seed", "1", "--pgn", "old.pgn", "--epd",
                               "-", "--pdf", "new.pdf"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Err;
    EXPECT_NE(run.Err.find("60000"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("найдено задач: 0 из 2"), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("измените настройки"), std::string::npos) << run.Err;
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(ReadBytes("old.pgn"), "kept\n");
}

// Standard error of the program started with `arguments` on a pseudo-terminal
// (`onTerminal`) or a pipe, read until `enough` says it holds what it should
// or `patience` has passed; the program is then ended with SIGTERM.
struct StoppedRun {
    std::string Err;
    std::chrono::steady_clock::duration Took{};
    bool EndedBySignal = false;
};
StoppedRun RunUntil(const std::vector<std::string>& arguments, bool onTerminal,
                    const std::function<bool(const std::string&)>& enough, std::chrono::milliseconds patience) {
    int reading = -1;
    int pipeEnds[2] = {-1, -1};
    pid_t child = -1;
    if (onTerminal) {
        child = ::forkpty(&reading, nullptr, nullptr, nullptr);
    } else if (::pipe(pipeEnds) == 0) {
        child = ::fork();
        if (child == 0) {
            ::dup2(pipeEnds[1], STDERR_FILENO);
            ::close(pipeEnds[0]);
        }
        reading = pipeEnds[0];
    }
    if (child == 0) {
        std::vector<char*> argv = {const_cast<char*>(SHEETS_PROGRAM)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(SHEETS_PROGRAM, argv.data());
        ::_exit(127);
    }
    if (pipeEnds[1] >= 0) ::close(pipeEnds[1]);
    StoppedRun run;
    if (child < 0) return run;
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + patience;
    pollfd stream = {reading, POLLIN, 0};
    char buffer[4096];
    while (!enough(run.Err) && std::chrono::steady_clock::now() < deadline) {
        if (::poll(&stream, 1, 50) <= 0) continue;
        const ssize_t got = ::read(reading, buffer, sizeof buffer);
        if (got <= 0) break;
        run.Err.append(buffer, static_cast<size_t>(got));
    }
    run.Took = std::chrono::steady_clock::now() - started;
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(reading);
    run.EndedBySignal = WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) != 0);
    return run;
}

// A run that goes on and on (only kings: no problem ever comes) on a terminal
// and on a pipe: the terminal is shown the progress once the run has taken a
// second; the pipe, given as long and a second more, is shown nothing.
TEST_F(SheetsProgram, ProgressShowsOnATerminalOnly) {
    WriteSettings("kings.txt", OnlyKings);
    const std::vector<std::string> arguments = {"--settings", "kings.txt", "--count", "1000",
                                                "--seed",     "3",         "--pgn",   "k.pgn"};
    const std::string progress = "\rнайдено задач: 0 из 1000";
    const auto shown = [&](const std::string& err) { return err.find(progress) != std::string::npos; };
    const StoppedRun terminal = RunUntil(arguments, true, shown, std::chrono::minutes(2));
    EXPECT_TRUE(shown(terminal.Err)) << terminal.Err;
    EXPECT_GE(terminal.Took, std::chrono::seconds(1));
    EXPECT_TRUE(terminal.EndedBySignal);

    const auto waitedFor =
        std::chrono::duration_cast<std::chrono::milliseconds>(terminal.Took) + std::chrono::seconds(1);
    const StoppedRun piped = RunUntil(
        arguments, false, [](const std::string&) { return false; }, waitedFor);
    EXPECT_TRUE(piped.EndedBySignal);
    EXPECT_EQ(piped.Err.find('\r'), std::string::npos) << piped.Err;
    EXPECT_EQ(piped.Err.find("найдено задач"), std::string::npos) << piped.Err;
    // Interrupted runs leave no output and no temporary file.
    EXPECT_EQ(Names(), (std::set<std::string>{"kings.txt", "set_figure.txt"}));
}

}  // namespace
}  // namespace sheets_test
