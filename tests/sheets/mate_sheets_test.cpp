// The built vindolar-sheets with --moves: the values it refuses, --moves 1
// against no option, and the two-movers of --moves 2 read back from the
// PDF's key, the EPD and the PGN, each held against the slow solver, against
// pgn-extract and, where it is installed, against Stockfish.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <optional>
#include <regex>
#include <set>

#include "problems/mate_solver.h"
#include "rules/move_text.h"
#include "sheets/epd_writer.h"
#include "sheets/pdf_sheet.h"
#include "sheets/pgn_writer.h"
#include "tests/problems/slow_solver.h"
#include "tests/settings/scratch_directory.h"
#include "tests/sheets/sheets_fixture.h"
#include "tests/sheets/sheets_run.h"

namespace sheets {
namespace {

namespace slow = problems::testing::slow;
using settings::ReadBytes;
using settings::WriteBytes;

constexpr const char* Stockfish = "/usr/games/stockfish";
constexpr const char* PgnExtract = "/usr/games/pgn-extract";
// Any piece may give the key and the mates: queens, bishops and knights on
// both sides, quiet keys among the checks.
constexpr const char* AnyKind = "2\n1\n1\n0\n1\n3\n1\n1\n1\n0\n50\n1\n4\nлюбая\n";
// Six pawns a side that may stand up to the sixth rank.
constexpr const char* PawnHeavy = "6\n1\n1\n0\n1\n6\n0\n1\n1\n0\n50\n1\n6\nлюбая\n";

using MateSheets = SheetsProgramTest;

// The standard output, or with `errors` the standard error, of a shell command.
std::string Output(const std::string& command, bool errors = false) {
    std::string text;
    std::FILE* pipe = ::popen((errors ? command + " 2>&1 >/dev/null" : command).c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

struct EpdLine {
    std::string Fen;  // the four position fields
    std::string Bm;
    std::string Dm;
    std::string Id;
};
std::vector<EpdLine> ReadEpd(const std::string& text) {
    static const std::regex line(R"re(^(\S+ w - -) bm (\S+); dm (\d+); id "(\d+)";$)re");
    std::vector<EpdLine> lines;
    for (const std::string& row : Lines(text)) {
        std::smatch parts;
        EXPECT_TRUE(std::regex_match(row, parts, line)) << row;
        if (parts.size() == 5) lines.push_back({parts[1], parts[2], parts[3], parts[4]});
    }
    return lines;
}

// The one legal move a SAN names in a position with White to move.
std::optional<rules::Move> Named(const std::string& fen, const std::string& san) {
    const std::vector<rules::Move> named = EntriesNamedBy(*WhiteToMove(fen), san);
    if (named.size() != 1) return std::nullopt;
    return named[0];
}

std::string Uci(const rules::Move& move) {
    std::string text = rules::SquareName(move.FromFile, move.FromRow) + rules::SquareName(move.ToFile, move.ToRow);
    if (move.PlacedPiece == move.MovedPiece) return text;
    switch (std::abs(move.PlacedPiece)) {
        case rules::Knight: return text + 'n';
        case rules::Bishop: return text + 'b';
        case rules::Rook: return text + 'r';
        default: return text + 'q';
    }
}

// A move of the side to move in `position` as the sheets write it: ":" for a capture.
std::string SheetText(const rules::Position& position, const rules::Move& move) {
    const bool captures = position.At(move.ToFile, move.ToRow) != rules::NoPiece || position.IsEnPassantCapture(move);
    return rules::MoveText(move, captures ? rules::CaptureSign : rules::MoveSign);
}

// The texts of White's mates in `position` (White to move) by the slow solver.
std::set<std::string> MateTexts(const rules::Position& position, const slow::Board& board) {
    std::set<std::string> texts;
    const rules::MoveList moves = position.LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        if (slow::Mates(board, slow::FromMove(moves[entry]))) texts.insert(SheetText(position, moves[entry]) + "#");
    }
    return texts;
}

// White's mates after `key` were Black to pass.
std::set<std::string> ThreatTexts(const std::string& fen, const rules::Move& key) {
    auto position = WhiteToMove(fen);
    (void)position->Play(key);
    position->SetSideToMove(rules::White);
    slow::Board passed = slow::After(slow::FromFen(fen + " 0 1"), slow::FromMove(key));
    passed.Side = 1;
    passed.EnPassant = -1;
    return MateTexts(*position, passed);
}

// The entries of an answer key read back by pdftotext: its number and its
// lines, a line broken at the column's edge joined again.
std::map<int, std::vector<std::string>> KeyEntries(const std::string& text, const std::string& title) {
    std::map<int, std::vector<std::string>> entries;
    std::vector<std::string>* entry = nullptr;
    for (std::string line : Lines(text)) {
        // pdftotext ends some lines with a blank, and a page with a form feed.
        line.erase(0, line.find_first_not_of('\f'));
        while (!line.empty() && (line.back() == ' ' || line.back() == '\f')) line.pop_back();
        if (line.empty() || line == "Ответы" || line == title || line.rfind("Ответы, страница", 0) == 0 ||
            line.rfind("Вариант", 0) == 0) {
            continue;
        }
        if (line.rfind("№ ", 0) == 0) {
            const std::size_t blank = line.find(' ', std::string("№ ").size());
            entry = &entries[std::stoi(line.substr(std::string("№ ").size()))];
            entry->push_back(line.substr(blank + 1));
        } else if (entry != nullptr && line.rfind("1… ", 0) == 0) {
            entry->push_back(line);
        } else if (entry != nullptr) {
            entry->back() += " " + line;
        }
    }
    return entries;
}

TEST_F(MateSheets, MovesOtherThanOneToThreeAreRefusedAndWriteNothing) {
    const std::set<std::string> before = Names();
    const std::vector<std::vector<std::string>> failing = {
        {"--moves", "0"}, {"--moves", "4"}, {"--moves", "x"}, {"--moves=4"}, {"--moves", ""}, {"--moves", "-1"},
    };
    for (std::vector<std::string> arguments : failing) {
        const std::string value =
            arguments.size() == 2 ? arguments[1] : arguments[0].substr(std::string("--moves=").size());
        SCOPED_TRACE("--moves «" + value + "»");
        for (const char* output : {"--pdf", "--key", "--pgn", "--epd"}) {
            arguments.push_back(output);
            arguments.push_back(std::string("out") + (output + 1));
        }
        const RunResult run = Run(arguments);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err,
                  "vindolar-sheets: --moves: нужно 1 (мат в 1 ход), 2 (мат в 2 хода) или 3 (мат в 3 хода), а не «" +
                      value + "»\n");
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(Names(), before);
    }
}

TEST_F(MateSheets, MovesOneWritesWhatNoOptionWrites) {
    const std::vector<std::string> common = {"--count", "14", "--seed", "23", "--per-page", "4", "--name-line"};
    std::vector<std::string> plain = common;
    std::vector<std::string> one = common;
    for (const char* kind : {"pdf", "pgn", "epd"}) {
        plain.insert(plain.end(), {std::string("--") + kind, std::string("plain.") + kind});
        one.insert(one.end(), {std::string("--") + kind, std::string("one.") + kind});
    }
    one.insert(one.end(), {"--moves", "1"});
    // A fixed date: a PDF otherwise carries the second it was made in.
    const std::vector<std::string> date = {"SOURCE_DATE_EPOCH=1700000000"};
    ASSERT_EQ(Run(plain, date).Status, 0);
    ASSERT_EQ(Run(one, date).Status, 0);
    for (const char* kind : {"pdf", "pgn", "epd"}) {
        SCOPED_TRACE(kind);
        const auto a = ReadBytes(std::string("plain.") + kind);
        const auto b = ReadBytes(std::string("one.") + kind);
        ASSERT_TRUE(a.has_value() && b.has_value());
        EXPECT_FALSE(a->empty());
        EXPECT_EQ(*a, *b);
    }
    for (const EpdLine& line : ReadEpd(*ReadBytes("one.epd"))) EXPECT_EQ(line.Dm, "1");
}

// Every problem of the EPD is a two-mover to the slow solver with its bm as
// the key; the PDF's key prints that key with "!" ("+!" when it checks),
// every threat (White's mates after a pass), and every Black defence with a
// mate that answers it, captures written with ":".
TEST_F(MateSheets, TheKeysOfThePdfAreTheKeysOfTheEpd) {
    WriteSettings("any.txt", AnyKind);
    constexpr int Count = 40;
    const RunResult run = Run({"--settings", "any.txt", "--moves", "2", "--count", std::to_string(Count), "--seed", "7",
                               "--pdf", "set.pdf", "--epd", "set.epd"});
    ASSERT_EQ(run.Status, 0) << run.Err;

    const std::string first = Output("pdftotext -f 1 -l 1 set.pdf -");
    EXPECT_NE(first.find("Мат в 2 хода"), std::string::npos) << first;
    EXPECT_NE(first.find("Белые начинают и дают мат в 2 хода"), std::string::npos) << first;
    EXPECT_EQ(first.find("Ответы"), std::string::npos) << first;
    const std::string all = Output("pdftotext set.pdf -");
    EXPECT_EQ(all.find("мат в 1 ход"), std::string::npos);
    const std::size_t answers = all.find("Ответы");
    ASSERT_NE(answers, std::string::npos) << all;

    // "№ 15", "1. Фa5-a6! (угроза 2. Фa6-c6#, 2. Фa6:b7#)  ≈1150", then a line a defence.
    static const std::regex keyLine(R"(^1\. (\S+?)(\+?)!(?: \(угроза (.*?)\))?(?: +≈\d+)?$)");
    static const std::regex defenceLine(R"(^1… (\S+) 2\. (\S+#)$)");
    const std::map<int, std::vector<std::string>> printed = KeyEntries(all.substr(answers), "Мат в 2 хода");
    const std::vector<EpdLine> epd = ReadEpd(*ReadBytes("set.epd"));
    ASSERT_EQ(epd.size(), static_cast<std::size_t>(Count));
    ASSERT_EQ(printed.size(), static_cast<std::size_t>(Count));
    int threats = 0;
    int checks = 0;
    int captures = 0;
    for (const EpdLine& line : epd) {
        SCOPED_TRACE(line.Fen + " bm " + line.Bm);
        EXPECT_EQ(line.Dm, "2");
        const std::optional<rules::Move> key = Named(line.Fen, line.Bm);
        ASSERT_TRUE(key.has_value());
        const slow::Board board = slow::FromFen(line.Fen + " 0 1");
        EXPECT_TRUE(slow::MatesInOne(board).empty());
        const std::vector<slow::Plain> keys = slow::Keys(board);
        ASSERT_EQ(keys.size(), 1U);
        EXPECT_EQ(keys[0], slow::FromMove(*key));

        const slow::Board afterKey = slow::After(board, keys[0]);
        const bool checking = slow::InCheck(afterKey, -1);
        EXPECT_EQ(line.Bm.back() == '+', checking);
        ASSERT_EQ(printed.count(std::stoi(line.Id)), 1U);
        const std::vector<std::string>& entry = printed.at(std::stoi(line.Id));
        std::smatch answer;
        ASSERT_TRUE(std::regex_match(entry[0], answer, keyLine)) << entry[0];
        auto position = WhiteToMove(line.Fen);
        EXPECT_EQ(answer[1].str(), SheetText(*position, *key));
        EXPECT_EQ(answer[2].str() == "+", checking);
        checks += checking;
        captures += answer[1].str().find(':') != std::string::npos;
        // Every threat, and nothing else.
        std::set<std::string> threatsPrinted;
        if (answer[3].matched) {
            const std::string list = answer[3].str();
            for (std::size_t at = 0; at < list.size();) {
                const std::size_t end = std::min(list.find(", ", at), list.size());
                EXPECT_EQ(list.compare(at, 3, "2. "), 0) << list;
                threatsPrinted.insert(list.substr(at + 3, end - at - 3));
                at = end + 2;
            }
        }
        threats += !threatsPrinted.empty();
        EXPECT_EQ(threatsPrinted, checking ? std::set<std::string>{} : ThreatTexts(line.Fen, *key));
        // Every Black defence, each with a mate.
        (void)position->Play(*key);
        const rules::MoveList defences = position->LegalMoves();
        ASSERT_EQ(entry.size(), static_cast<std::size_t>(defences.Count()) + 1);
        for (int index = 1; index <= defences.Count(); ++index) {
            std::smatch defence;
            ASSERT_TRUE(std::regex_match(entry[static_cast<std::size_t>(index)], defence, defenceLine))
                << entry[static_cast<std::size_t>(index)];
            const rules::Move reply = defences[index];
            EXPECT_EQ(defence[1].str(), SheetText(*position, reply) + (position->GivesCheck(reply) ? "+" : ""));
            const rules::Undo undo = position->Play(reply);
            EXPECT_EQ(MateTexts(*position, slow::After(afterKey, slow::FromMove(reply))).count(defence[2].str()), 1U)
                << defence[2].str();
            position->TakeBack(reply, undo);
        }
    }
    // The seed gives both kinds of key, and a key that captures.
    EXPECT_GT(threats, 0);
    EXPECT_GT(checks, 0);
    EXPECT_GT(captures, 0);
}

// pgn-extract plays every move of every game, the variations' too, and
// reports nothing but the games; with --checkmate it keeps the games whose
// main line ends in mate: all of them.
void ExpectPgnExtractReadsEveryGame(const std::string& pgn, int games, const std::string& title) {
    const std::string matched = std::to_string(games) + " games matched out of " + std::to_string(games) + ".";
    const std::string report = Output(std::string(PgnExtract) + " -o read.pgn " + pgn, true);
    EXPECT_NE(report.find(matched), std::string::npos) << report;
    for (const std::string& line : Lines(report)) {
        const bool expected =
            line.rfind("Processing ", 0) == 0 || line.rfind("? - ? " + title + " ", 0) == 0 || line == matched;
        EXPECT_TRUE(expected) << line;
    }
    const std::string mates = Output(std::string(PgnExtract) + " --checkmate -o mates.pgn " + pgn, true);
    EXPECT_NE(mates.find(matched), std::string::npos) << mates;
}

TEST_F(MateSheets, PgnReadsBackWithPgnExtractWithoutWarnings) {
    WriteSettings("pawns.txt", PawnHeavy);
    ASSERT_EQ(
        Run({"--settings", "pawns.txt", "--moves", "2", "--count", "60", "--seed", "11", "--pgn", "set.pgn"}).Status,
        0);
    const std::vector<PgnGame> games = ReadPgn(*ReadBytes("set.pgn"));
    ASSERT_EQ(games.size(), 60U);
    int variations = 0;
    for (const PgnGame& game : games) {
        EXPECT_EQ(game.Tags.front().second, "Мат в 2 хода");
        EXPECT_EQ(game.Movetext.rfind("1. ", 0), 0U) << game.Movetext;
        EXPECT_NE(game.Movetext.find("# 1-0"), std::string::npos) << game.Movetext;
        variations += game.Movetext.find("(1... ") != std::string::npos;
    }
    EXPECT_GT(variations, 0);
    ExpectPgnExtractReadsEveryGame("set.pgn", 60, "Мат в 2 хода");
}

// Three-movers: the pages' title and task line, the EPD's keys as the slow
// solver's one key with no mate in two, and the PGN's whole tree, with
// variations at Black's second move too, read by pgn-extract.
TEST_F(MateSheets, ThreeMoversReadBackWholeTrees) {
    constexpr int Count = 16;
    ASSERT_EQ(Run({"--moves", "3", "--count", std::to_string(Count), "--seed", "5", "--pdf", "set.pdf", "--pgn",
                   "set.pgn", "--epd", "set.epd"})
                  .Status,
              0);
    const std::string first = Output("pdftotext -f 1 -l 1 set.pdf -");
    EXPECT_NE(first.find("Мат в 3 хода"), std::string::npos) << first;
    EXPECT_NE(first.find("Белые начинают и дают мат в 3 хода"), std::string::npos) << first;
    const std::vector<EpdLine> epd = ReadEpd(*ReadBytes("set.epd"));
    ASSERT_EQ(epd.size(), static_cast<std::size_t>(Count));
    for (const EpdLine& line : epd) {
        SCOPED_TRACE(line.Fen);
        EXPECT_EQ(line.Dm, "3");
        const slow::Board board = slow::FromFen(line.Fen + " 0 1");
        EXPECT_FALSE(slow::MatesIn(board, 2));
        const std::vector<slow::Plain> keys = slow::KeysIn(board, 3);
        ASSERT_EQ(keys.size(), 1U);
        const auto position = WhiteToMove(line.Fen + " 0 1");
        const std::vector<rules::Move> named = EntriesNamedBy(*position, line.Bm);
        ASSERT_EQ(named.size(), 1U);
        EXPECT_EQ(slow::FromMove(named[0]), keys[0]);
    }
    int secondMoveVariations = 0;
    for (const PgnGame& game : ReadPgn(*ReadBytes("set.pgn"))) {
        EXPECT_NE(game.Movetext.find(" 3. "), std::string::npos) << game.Movetext;
        secondMoveVariations += game.Movetext.find("(2... ") != std::string::npos;
    }
    EXPECT_GT(secondMoveVariations, 0);
    ExpectPgnExtractReadsEveryGame("set.pgn", Count, "Мат в 3 хода");
}

// A two-mover made into a problem of a set as the series makes it.
problems::SeriesProblem ProblemOf(const std::string& fen) {
    problems::MateSolver solver;
    const rules::BoardCellsArray board = slow::ToCells(slow::FromFen(fen));
    rules::Move key{};
    EXPECT_EQ(solver.Judge(board, 2, problems::AnyKeyKind, key), problems::MateVerdict::Sound) << fen;
    problems::SeriesProblem problem;
    problem.Board = board;
    problem.Fen = fen;
    problem.Tree = solver.Solve(board, 2, key);
    problem.SolutionText = problem.Tree.Key.Trainer;
    problem.SolutionAlgebraic = problem.Tree.Key.Algebraic;
    problem.MatingPiece = key.PlacedPiece;
    return problem;
}

// Lines with en passant, rare in generated sets, written as the program
// writes them: pgn-extract plays the captures, and the key and threat read
// as they should.
TEST_F(MateSheets, EnPassantLinesAreWrittenSoThatPgnExtractPlaysThem) {
    const std::vector<problems::SeriesProblem> problems = {
        ProblemOf("8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - 0 1"),  // 1. b4! cxb3 (en passant) 2. Qb2#
        ProblemOf("8/kpP5/8/P7/1R6/8/1K6/8 w - - 0 1"),     // 1. c8=Q! b5 2. axb6# (en passant)
    };
    const std::string title = "Взятие на проходе";
    const std::string pgn = WritePgn(problems, title);
    EXPECT_NE(pgn.find("1... cxb3 2. Qb2#"), std::string::npos) << pgn;
    EXPECT_NE(pgn.find("b5 2. axb6#"), std::string::npos) << pgn;
    WriteBytes("passing.pgn", pgn);
    ExpectPgnExtractReadsEveryGame("passing.pgn", 2, title);

    EXPECT_EQ(WriteEpd(problems),
              "8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - bm b4; dm 2; id \"1\";\n"
              "8/kpP5/8/P7/1R6/8/1K6/8 w - - bm c8=Q; dm 2; id \"2\";\n");
    // The key's every defence, the capture en passant written with ":".
    const std::vector<std::string> first = AnswerLines(problems[0]);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], "1. b2-b4! (угроза 2. Фe2-b2#)");
    EXPECT_EQ(std::set<std::string>(first.begin() + 1, first.end()),
              (std::set<std::string>{"1… c4:b3 2. Фe2-b2#", "1… Крa1-b1 2. Фe2-b2#"}));
    const std::vector<std::string> second = AnswerLines(problems[1]);
    ASSERT_FALSE(second.empty());
    EXPECT_EQ(second[0], "1. c7-c8Ф! (угроза 2. Фc8:b7#)");
    EXPECT_NE(std::find(second.begin(), second.end(), "1… b7-b5 2. a5:b6#"), second.end());
}

// A chess engine run as a child, spoken to over its standard input and output.
class Engine {
  public:
    Engine() {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        Child = ::fork();
        if (Child == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            ::close(in[1]);
            ::close(out[0]);
            ::execl(Stockfish, Stockfish, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        To = ::fdopen(in[1], "w");
        From = ::fdopen(out[0], "r");
    }
    ~Engine() {
        if (To != nullptr) {
            Say("quit");
            std::fclose(To);
        }
        if (From != nullptr) std::fclose(From);
        if (Child > 0) ::waitpid(Child, nullptr, 0);
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    void Say(const std::string& command) {
        std::fputs((command + "\n").c_str(), To);
        std::fflush(To);
    }
    // The lines up to and with the first that starts with `last`.
    std::vector<std::string> ReadUntil(const std::string& last) {
        std::vector<std::string> lines;
        char buffer[8192];
        while (From != nullptr && std::fgets(buffer, sizeof buffer, From) != nullptr) {
            std::string line(buffer);
            if (!line.empty() && line.back() == '\n') line.pop_back();
            lines.push_back(line);
            if (line.rfind(last, 0) == 0) break;
        }
        return lines;
    }

  private:
    pid_t Child = -1;
    std::FILE* To = nullptr;
    std::FILE* From = nullptr;
};

// With every move's line at once (MultiPV beyond any move count), a search
// to depth 6 scores each first move (0 here for a score in centipawns); a
// sound two-mover has exactly one scored "mate 2", our key, and none "mate 1".
TEST_F(MateSheets, StockfishFindsTheSameKeyAlone) {
    if (::access(Stockfish, X_OK) != 0) GTEST_SKIP() << Stockfish << " is not installed";
    WriteSettings("any.txt", AnyKind);
    constexpr int Count = 36;
    ASSERT_EQ(Run({"--settings", "any.txt", "--moves", "2", "--count", std::to_string(Count), "--seed", "31", "--epd",
                   "set.epd"})
                  .Status,
              0);
    const std::vector<EpdLine> epd = ReadEpd(*ReadBytes("set.epd"));
    ASSERT_EQ(epd.size(), static_cast<std::size_t>(Count));
    Engine engine;
    engine.Say("uci");
    engine.ReadUntil("uciok");
    engine.Say("setoption name MultiPV value 200");
    static const std::regex scored(R"(^info depth 6 .* multipv (\d+) score (?:mate (-?\d+)|cp -?\d+) .* pv (\S+))");
    for (const EpdLine& line : epd) {
        SCOPED_TRACE(line.Fen + " bm " + line.Bm);
        const std::optional<rules::Move> key = Named(line.Fen, line.Bm);
        ASSERT_TRUE(key.has_value());
        engine.Say("ucinewgame");
        engine.Say("position fen " + line.Fen + " 0 1");
        engine.Say("go depth 6");
        // The last line of each number at depth 6 is its final score.
        std::map<int, std::pair<int, std::string>> lines;
        for (const std::string& reply : engine.ReadUntil("bestmove")) {
            std::smatch parts;
            if (!std::regex_search(reply, parts, scored)) continue;
            lines[std::stoi(parts[1])] = {parts[2].matched ? std::stoi(parts[2]) : 0, parts[3]};
        }
        std::set<std::string> mating;
        for (const auto& [number, scoredMove] : lines) {
            EXPECT_NE(scoredMove.first, 1) << scoredMove.second;
            if (scoredMove.first == 2) mating.insert(scoredMove.second);
        }
        EXPECT_EQ(mating, std::set<std::string>{Uci(*key)});
    }
}

// Under a limit on memory such as a shared school server sets, no worker
// thread can have its stack: the run goes on with the threads it could
// start, down to its own, and draws the same set. (A sanitizer's own memory
// does not fit such a limit: there the test has nothing to run.)
TEST_F(MateSheets, ALimitOnMemoryLeavesTheSetAsItWas) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    const std::string directory = Directory.Path.string();
    for (const std::string moves : {"2", "3"}) {
        SCOPED_TRACE("--moves " + moves);
        const std::vector<std::string> arguments = {"--moves", moves, "--count", "12", "--seed", "3", "--epd"};
        std::vector<std::string> free = arguments;
        free.push_back("free.epd");
        ASSERT_EQ(Run(free).Status, 0);
        const std::string run =
            Output("cd '" + directory + "' && prlimit --as=80000000 " + SHEETS_PROGRAM + " --moves " + moves +
                   " --count 12 --seed 3 --epd limited.epd 2>&1; echo exit $?");
        EXPECT_EQ(run, "exit 0\n");
        EXPECT_EQ(ReadBytes("limited.epd"), ReadBytes("free.epd"));
    }
}

}  // namespace
}  // namespace sheets
