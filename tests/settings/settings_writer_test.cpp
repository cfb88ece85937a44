#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>

#include "settings/settings.h"
#include "tests/settings/scratch_directory.h"

namespace settings {
namespace {

using namespace settings_test;

Settings ExampleSettings() {
    Settings values;
    values.WhitePawns = 2;
    values.WhiteKnights = 1;
    values.WhiteBishops = 1;
    values.WhiteRooks = 0;
    values.WhiteQueens = 1;
    values.BlackPawns = 3;
    values.BlackKnights = 0;
    values.BlackBishops = 1;
    values.BlackRooks = 1;
    values.BlackQueens = 0;
    values.CellSize = 50;
    values.KingEdgeDistance = 1;
    values.PawnRankLimit = 4;
    values.FirstMovePieceName = "ферзь";
    return values;
}

// Each test runs in a fresh scratch directory of its own.
class SettingsWriter : public ScratchDirectoryTest {};

TEST_F(SettingsWriter, ExampleFileByteForByte) {
    WriteBytes(SettingsFileName, std::string(5000, 'x'));  // an existing, longer file is emptied first
    ASSERT_TRUE(WriteSettingsFile(ExampleSettings()));
    EXPECT_EQ(ReadBytes(SettingsFileName), "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n");
}

TEST_F(SettingsWriter, SavingTheEditorsViewOfAMissingFile) {
    Settings values;
    LoadSettings(values);
    ASSERT_TRUE(WriteSettingsFile(LimitedToEditorRanges(values)));
    EXPECT_EQ(ReadBytes(SettingsFileName), "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n40\n0\n2\n\n");
}

TEST_F(SettingsWriter, WriteThenReadGivesTheSameValuesForEveryName) {
    Settings values = ExampleSettings();
    for (std::size_t index = 0; index <= PieceNames.size(); ++index) {
        const bool noName = index == PieceNames.size();
        values.FirstMovePieceName = noName ? "" : std::string(PieceNames[index].Name);
        values.WhitePawns = static_cast<std::int32_t>(index);
        ASSERT_TRUE(WriteSettingsFile(values));
        TrainerSettings trainer;
        trainer.SettingsReader();
        EXPECT_EQ(Describe(trainer.AsRead), Describe(values));
        EXPECT_EQ(trainer.FirstMovePiece, noName ? 0 : PieceNames[index].Kind) << values.FirstMovePieceName;
        Settings loaded;
        LoadSettings(loaded);
        EXPECT_EQ(Describe(loaded), Describe(values));
    }
}

TEST_F(SettingsWriter, NumbersOutsideTheRangesSurviveTheRoundTrip) {
    Settings values;
    values.WhitePawns = INT32_MIN;
    values.WhiteKnights = INT32_MAX;
    values.CellSize = -7;
    values.PawnRankLimit = 1000;
    ASSERT_TRUE(WriteSettingsFile(values));
    EXPECT_EQ(ReadBytes(SettingsFileName), "-2147483648\n2147483647\n0\n0\n0\n0\n0\n0\n0\n0\n-7\n0\n1000\n\n");
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(Describe(loaded), Describe(values));
}

TEST_F(SettingsWriter, OnlyTheSevenNamesAreWritten) {
    Settings values;
    for (const std::string name : {"Ферзь", "ферзь\nконь", "конь\r", "x"}) {
        values.FirstMovePieceName = name;
        ASSERT_TRUE(WriteSettingsFile(values));
        EXPECT_EQ(ReadBytes(SettingsFileName), "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n\n") << name;
    }
}

TEST_F(SettingsWriter, FailureIsReportedAndChangesNothing) {
    std::filesystem::create_directory(SettingsFileName);
    EXPECT_FALSE(WriteSettingsFile(ExampleSettings()));
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFileName));
    std::filesystem::remove(SettingsFileName);

    WriteBytes(SettingsFileName, "7\n");
    ::chmod(SettingsFileName, 0444);
    const std::string written = RunUnprivileged([] { return WriteSettingsFile(ExampleSettings()) ? "yes" : "no"; });
    EXPECT_EQ(written, "no");
    EXPECT_EQ(ReadBytes(SettingsFileName), "7\n");

#ifdef __linux__
    // A full device: the lines cannot be stored, and the writer says so.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(WriteSettingsFile(ExampleSettings(), "/dev/full"));
    }
#endif
}

}  // namespace
}  // namespace settings
