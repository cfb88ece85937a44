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
#include "tests/sheets/sheets_fixture.h"
#include "tests/sheets/sheets_run.h"

namespace sheets {
namespace {

namespace fs = std::filesystem;
using settings::ReadBytes;
using settings::WriteBytes;

// The seven-tag roster, then the rest in ASCII order.
const char* const ExpectedTags[] = {"Event", "Site", "Date", "Round", "White", "Black", "Result", "FEN", "SetUp"};
constexpr const char* OnlyKings = "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\nлюбая\n";
// 96 pieces for the 62 squares the kings leave.
constexpr const char* Crowd = "8\n10\n10\n10\n10\n8\n10\n10\n10\n10\n50\n1\n5\nферзь\n";
// The example's pieces, mated by the king: a problem in some 200000
// positions. With seed 3 the first comes within 30000.
constexpr const char* KingMates = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nкороль\n";
const std::string LongTitle =
    "Домашнее задание для 3-го класса шахматного кружка «Белая ладья», группа начинающих, декабрь 2026";
// Two knights and two rooks: now and then a solution needs its from-square.
constexpr const char* MixedAnyKind = "2\n2\n1\n2\n1\n2\n1\n1\n1\n0\n50\n1\n5\nлюбая\n";

using SheetsProgram = SheetsProgramTest;

// The standard error of a shell command run in the test's directory.
RunResult RunCommand(const std::string& command) {
    RunResult result;
    std::FILE* pipe = ::popen((command + " 2>&1 >/dev/null").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.Err.append(buffer, got);
    const int status = ::pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// What a game of the PGN says, checked with the rules core: the position is
// well formed, the solution names exactly one legal move, with no more of its
// from-square than needed, and that move is the position's only mate.
struct ReadBackGame {
    std::string Fen;
    std::string San;
    rules::PieceCode MatingKind = 0;
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
    const std::vector<rules::Move> named = EntriesNamedBy(*position, result.San);
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
        EXPECT_EQ(game.MatingKind, rules::Queen);  // the example settings ask for the queen
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
    // Short enough to be read out: 1 to 99999.
    EXPECT_GE(std::stoul(seed), 1UL);
    EXPECT_LE(std::stoul(seed), 99999UL);
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
    std::set<rules::PieceCode> kinds;
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

// Settings that give no problem: only the kings (no mate in 30000
// positions, no two-mover in 10000) and more pieces than squares (not one
// position). However many problems are asked for, the run ends as a run for
// one does, with the same message: after one problem's share of positions
// or none, not after a share per problem. It writes nothing.
TEST_F(SheetsProgram, SettingsWithoutProblemsEndAtOnceWriteNothingAndSaySo) {
    WriteSettings("kings.txt", OnlyKings);
    WriteSettings("crowd.txt", Crowd);
    WriteBytes("old.pgn", "kept\n");
    const std::set<std::string> before = Names();
    for (const std::string moves : {"1", "2"}) {
        for (const std::string settings : {"kings.txt", "crowd.txt"}) {
            std::string single;
            for (const std::string count : {"1", "2", "1000"}) {
                SCOPED_TRACE(settings + ", " + count + ", --moves " + moves);
                const RunResult run = Run({"--settings", settings, "--count", count, "--seed", "1", "--moves", moves,
                                           "--pgn", "old.pgn", "--epd", "-", "--pdf", "new.pdf", "--key", "key.pdf"});
                EXPECT_EQ(run.Status, 1);
                EXPECT_EQ(run.Out, "");
                ASSERT_EQ(Lines(run.Err).size(), 1u) << run.Err;
                const std::string spent =
                    moves == "1" ? "за 30000 позиций" : "за 10000 позиций (не больше 10000 на задачу)";
                EXPECT_NE(run.Err.find(settings == "kings.txt" ? spent : "не помещаются на доску"), std::string::npos)
                    << run.Err;
                EXPECT_NE(run.Err.find("найдено задач: 0 из " + count + ";"), std::string::npos) << run.Err;
                EXPECT_NE(run.Err.find("измените настройки в «" + settings + "»"), std::string::npos) << run.Err;
                // The same words for one problem as for many.
                std::string message = run.Err;
                const std::string ofCount = " из " + count;
                message.erase(message.find(ofCount), ofCount.size());
                if (single.empty()) single = message;
                EXPECT_EQ(message, single);
                EXPECT_EQ(Names(), before);
                EXPECT_EQ(ReadBytes("old.pgn"), "kept\n");
            }
        }
    }
}

// Once a first problem has come, the set has its whole budget: rare mates
// by the king, one found, the second not within 60000 positions.
TEST_F(SheetsProgram, AFirstProblemOpensTheWholeBudget) {
    WriteSettings("king.txt", KingMates);
    const RunResult run = Run({"--settings", "king.txt", "--count", "2", "--seed", "3", "--pgn", "k.pgn"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("за 60000 позиций найдено задач: 1 из 2;"), std::string::npos) << run.Err;
    const RunResult one = Run({"--settings", "king.txt", "--count", "1", "--seed", "3", "--pgn", "k.pgn"});
    EXPECT_EQ(one.Status, 0) << one.Err;
    // With --partial the short set is written, and said to be short.
    const RunResult partial =
        Run({"--settings", "king.txt", "--count", "2", "--seed", "3", "--partial", "--pgn", "partial.pgn"});
    EXPECT_EQ(partial.Status, 0);
    EXPECT_NE(partial.Err.find("найдено задач: 1 из 2;"), std::string::npos) << partial.Err;
    EXPECT_NE(partial.Err.find("--partial"), std::string::npos) << partial.Err;
    EXPECT_EQ(ReadBytes("partial.pgn"), ReadBytes("k.pgn"));
}

// A title beyond the limit is refused before anything is done; one at the
// limit goes whole into every Event tag, and pgn-extract reads every game,
// the tag whole, and plays the solution to the position the rules core
// plays it to.
TEST_F(SheetsProgram, TitlesAtTheLimitReadBackAndLongerOnesAreRefused) {
    std::string tooLong = LongTitle + " (четыре)";
    const RunResult refused = Run({"--title", tooLong, "--pgn", "set.pgn", "--pdf", "set.pdf"});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_EQ(refused.Err.rfind("vindolar-sheets: --title:", 0), 0u) << refused.Err;
    EXPECT_NE(refused.Err.find("100 знаков"), std::string::npos) << refused.Err;
    EXPECT_EQ(Lines(refused.Err).size(), 1u);
    EXPECT_EQ(Names(), (std::set<std::string>{"set_figure.txt"}));
    // A character the pages' font cannot draw is named; PGN alone takes it.
    const RunResult undrawable = Run({"--title", "Кубок 🏆", "--pdf", "set.pdf"});
    EXPECT_EQ(undrawable.Status, 2);
    EXPECT_NE(undrawable.Err.find("«🏆» (U+1F3C6)"), std::string::npos) << undrawable.Err;
    EXPECT_EQ(Names(), (std::set<std::string>{"set_figure.txt"}));
    EXPECT_EQ(Run({"--title", "Кубок 🏆", "--count", "2", "--seed", "1", "--pgn", "cup.pgn"}).Status, 0);
    std::remove("cup.pgn");

    const std::string title = LongTitle + " 3а";  // 100 characters ...
    ASSERT_EQ(title.size(), 178u);                // ... in 178 bytes
    ASSERT_EQ(Run({"--count", "40", "--seed", "6", "--title", title, "--pgn", "set.pgn"}).Status, 0);
    const std::vector<PgnGame> games = ReadPgn(*ReadBytes("set.pgn"));
    ASSERT_EQ(games.size(), 40u);
    for (std::size_t index = 0; index < games.size(); ++index) {
        SCOPED_TRACE("problem " + std::to_string(index + 1));
        CheckGame(games[index], static_cast<int>(index + 1), title);
    }

    const RunResult extract = RunCommand("/usr/games/pgn-extract --fencomments -o read.pgn set.pgn");
    EXPECT_NE(extract.Err.find("40 games matched out of 40."), std::string::npos) << extract.Err;
    for (const std::string& line : Lines(extract.Err)) {
        // The file's name, each game's players and event, and the count.
        const bool expected = line.rfind("Processing ", 0) == 0 || line.rfind("? - ? " + title + " ", 0) == 0 ||
                              line.find(" games matched out of ") != std::string::npos;
        EXPECT_TRUE(expected) << line;
    }
    const std::vector<std::string> read = Lines(*ReadBytes("read.pgn"));
    std::vector<std::string> events;
    std::vector<std::string> after;  // the placement after the solution, as pgn-extract comments it
    for (const std::string& line : read) {
        if (line.rfind("[Event ", 0) == 0) events.push_back(line);
        const std::size_t comment = line.find(" { ");
        if (line.rfind("1. ", 0) == 0 && comment != std::string::npos)
            after.push_back(line.substr(comment + 3, line.find(' ', comment + 3) - comment - 3));
    }
    ASSERT_EQ(events.size(), 40u);
    ASSERT_EQ(after.size(), 40u);
    for (std::size_t index = 0; index < games.size(); ++index) {
        EXPECT_EQ(events[index], "[Event \"" + title + "\"]");
        const std::string& movetext = games[index].Movetext;
        auto position = WhiteToMove(games[index].Tags[7].second);  // FEN, after the roster
        const std::vector<rules::Move> named = EntriesNamedBy(*position, movetext.substr(3, movetext.size() - 3 - 4));
        ASSERT_EQ(named.size(), 1u);
        (void)position->Play(named[0]);
        const std::string fen = rules::WriteFen(*position, rules::Black);
        EXPECT_EQ(after[index], fen.substr(0, fen.find(' ')));
    }
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

// A run that goes on and on (mates by the king are rare) on a terminal
// and on a pipe: the terminal is shown the progress once the run has taken a
// second; the pipe, given as long and a second more, is shown nothing.
TEST_F(SheetsProgram, ProgressShowsOnATerminalOnly) {
    WriteSettings("king.txt", KingMates);
    const std::vector<std::string> arguments = {"--settings", "king.txt", "--count", "1000",
                                                "--seed",     "3",        "--pgn",   "k.pgn"};
    const std::string progress = "\rнайдено задач: ";
    const auto shown = [&](const std::string& err) {
        const std::size_t at = err.find(progress);
        return at != std::string::npos && err.find(" из 1000", at) != std::string::npos;
    };
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
    EXPECT_EQ(Names(), (std::set<std::string>{"king.txt", "set_figure.txt"}));
}

}  // namespace
}  // namespace sheets
