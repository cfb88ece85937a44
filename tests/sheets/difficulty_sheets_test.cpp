// Sheets by difficulty: --order easy-first and --difficulty against the
// estimates made afresh from the positions the EPD holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "problems/difficulty.h"
#include "rules/fen.h"
#include "tests/settings/scratch_directory.h"
#include "tests/sheets/sheets_fixture.h"

namespace sheets {
namespace {

struct EpdProblem {
    std::string Placement;  // the four position fields
    int Shown = -1;         // the "difficulty" operation; -1 without one
    int Estimate = -1;      // the estimate of the position, made here
};

std::vector<EpdProblem> ReadEpd(const std::string& text) {
    std::vector<EpdProblem> problems;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EpdProblem problem;
        std::size_t end = 0;
        for (int field = 0; field < 4; ++field) end = line.find(' ', end + 1);
        problem.Placement = line.substr(0, end);
        const std::size_t at = line.find("; difficulty ");
        if (at != std::string::npos) problem.Shown = std::stoi(line.substr(at + 13));
        rules::Position position;
        std::string error;
        EXPECT_TRUE(rules::ParseFen(problem.Placement, position, error)) << error;
        problem.Estimate = problems::EstimateDifficulty(position).value_or(-1);
        problems.push_back(problem);
    }
    return problems;
}

std::vector<std::string> Placements(const std::vector<EpdProblem>& problems) {
    std::vector<std::string> placements;
    for (const EpdProblem& problem : problems) placements.push_back(problem.Placement);
    std::sort(placements.begin(), placements.end());
    return placements;
}

using DifficultySheets = SheetsProgramTest;

TEST_F(DifficultySheets, EasyFirstIsTheSameSetWithEstimatesThatDoNotFall) {
    for (const std::string moves : {"1", "2"}) {
        ASSERT_EQ(Run({"--seed", "4", "--count", "10", "--moves", moves, "--epd", "plain.epd"}).Status, 0);
        const RunResult sorted =
            Run({"--seed", "4", "--count", "10", "--moves", moves, "--order", "easy-first", "--epd", "-"});
        ASSERT_EQ(sorted.Status, 0) << sorted.Err;
        const std::vector<EpdProblem> plain = ReadEpd(*settings::ReadBytes("plain.epd"));
        const std::vector<EpdProblem> easyFirst = ReadEpd(sorted.Out);
        ASSERT_EQ(easyFirst.size(), 10u);
        EXPECT_EQ(Placements(easyFirst), Placements(plain));
        for (std::size_t index = 0; index < easyFirst.size(); ++index) {
            EXPECT_EQ(plain[index].Shown, -1);  // without the options, no estimate
            EXPECT_EQ(easyFirst[index].Shown, easyFirst[index].Estimate);
            if (index > 0) {
                EXPECT_LE(easyFirst[index - 1].Shown, easyFirst[index].Shown) << sorted.Out;
            }
        }
    }
}

TEST_F(DifficultySheets, ARangeKeepsOnlyProblemsEstimatedInIt) {
    const RunResult some = Run(
        {"--seed", "7", "--count", "6", "--moves", "2", "--difficulty", "1300-1600", "--epd", "-", "--pgn", "set.pgn"});
    ASSERT_EQ(some.Status, 0) << some.Err;
    const std::vector<EpdProblem> kept = ReadEpd(some.Out);
    ASSERT_EQ(kept.size(), 6u);
    for (const EpdProblem& problem : kept) {
        EXPECT_EQ(problem.Shown, problem.Estimate);
        EXPECT_GE(problem.Estimate, 1300);
        EXPECT_LE(problem.Estimate, 1600);
    }
    const std::string pgn = *settings::ReadBytes("set.pgn");
    EXPECT_NE(pgn.find("[Difficulty \"" + std::to_string(kept[0].Shown) + "\"]\n[FEN "), std::string::npos) << pgn;

    // No estimate is that low: the whole budget goes, and the message says what was found.
    const RunResult none = Run({"--seed", "7", "--count", "1", "--difficulty", "0-10", "--epd", "none.epd"});
    EXPECT_EQ(none.Status, 1);
    EXPECT_NE(none.Err.find("за 30000 позиций найдено задач: 0 из 1 с оценкой сложности от 0 до 10"), std::string::npos)
        << none.Err;
    EXPECT_EQ(Names().count("none.epd"), 0u);
    EXPECT_EQ(Run({"--difficulty", "900-800", "--epd", "-"}).Status, 2);
}

}  // namespace
}  // namespace sheets
