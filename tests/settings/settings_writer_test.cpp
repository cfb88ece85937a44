#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "tests/settings/scratch_directory.h"

namespace settings {
namespace {

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

const std::string ExampleLines = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";
const std::string OldLines = "8\n8\n8\n8\n8\n8\n8\n8\n8\n8\n60\n2\n6\nладья\n";

// The names in a directory, sorted: a temporary file left behind shows here.
std::vector<std::string> NamesIn(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t PermissionBitsOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

// Runs `work` in a child process under a file-size limit of `limit` bytes
// and gives its result; the child must end normally, not by the limit's signal.
bool WriteUnderFileSizeLimit(rlim_t limit, const std::function<bool()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit small{limit, limit};
        if (::setrlimit(RLIMIT_FSIZE, &small) != 0) ::_exit(3);
        ::_exit(work() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the writer was ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_NE(WEXITSTATUS(status), 3);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
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

TEST_F(SettingsWriter, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    WriteBytes(SettingsFileName, OldLines);
    // The limit stops the write after 10 bytes of the new lines.
    EXPECT_FALSE(WriteUnderFileSizeLimit(10, [] { return WriteSettingsFile(ExampleSettings()); }));
    EXPECT_EQ(ReadBytes(SettingsFileName), OldLines);
    EXPECT_EQ(NamesIn("."), std::vector<std::string>{SettingsFileName});

    // A missing file stays missing.
    std::filesystem::remove(SettingsFileName);
    EXPECT_FALSE(WriteUnderFileSizeLimit(10, [] { return WriteSettingsFile(ExampleSettings()); }));
    EXPECT_TRUE(NamesIn(".").empty());

    // With room for the lines the same child writes them.
    EXPECT_TRUE(WriteUnderFileSizeLimit(1000, [] { return WriteSettingsFile(ExampleSettings()); }));
    EXPECT_EQ(ReadBytes(SettingsFileName), ExampleLines);
}

TEST_F(SettingsWriter, AFullFileSystemLeavesTheOldFileAndNoTemporaryFile) {
    if (!RunningAsRoot()) GTEST_SKIP() << "mounting a small file system needs root";
    std::filesystem::create_directory("small");
    if (::mount("tmpfs", "small", "tmpfs", 0, "size=64k,nr_inodes=64") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    struct Unmount {
        ~Unmount() { ::umount2("small", MNT_DETACH); }
    } unmountAtEnd;
    const std::string path = "small/" + std::string(SettingsFileName);
    WriteBytes(path, OldLines);
    // Fill every block that is left.
    {
        const int filler = ::open("small/filler", O_WRONLY | O_CREAT, 0644);
        const std::string block(4096, 'x');
        while (::write(filler, block.data(), block.size()) > 0) {}
        while (::write(filler, block.data(), 1) > 0) {}
        ::close(filler);
    }
    EXPECT_FALSE(WriteSettingsFile(ExampleSettings(), path));
    EXPECT_EQ(ReadBytes(path), OldLines);
    EXPECT_EQ(NamesIn("small"), (std::vector<std::string>{"filler", SettingsFileName}));

    // Once there is room again the new lines replace the old ones.
    std::filesystem::remove("small/filler");
    EXPECT_TRUE(WriteSettingsFile(ExampleSettings(), path));
    EXPECT_EQ(ReadBytes(path), ExampleLines);
    EXPECT_EQ(NamesIn("small"), std::vector<std::string>{SettingsFileName});
}

TEST_F(SettingsWriter, KeepsTheFilesPermissionsAndANewFileFollowsTheUmask) {
    WriteBytes(SettingsFileName, OldLines);
    ::chmod(SettingsFileName, 0640);
    ASSERT_TRUE(WriteSettingsFile(ExampleSettings()));
    EXPECT_EQ(ReadBytes(SettingsFileName), ExampleLines);
    EXPECT_EQ(PermissionBitsOf(SettingsFileName), 0640u);

    std::filesystem::remove(SettingsFileName);
    const mode_t previous = ::umask(027);
    const bool written = WriteSettingsFile(ExampleSettings());
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(PermissionBitsOf(SettingsFileName), 0640u);
    EXPECT_EQ(NamesIn("."), std::vector<std::string>{SettingsFileName});
}

TEST_F(SettingsWriter, ALinkKeepsPointingAndItsFileGetsTheLines) {
    std::filesystem::create_directory("kept");
    WriteBytes("kept/settings.txt", OldLines);
    ::chmod("kept/settings.txt", 0600);
    std::filesystem::create_symlink("kept/settings.txt", SettingsFileName);
    ASSERT_TRUE(WriteSettingsFile(ExampleSettings()));
    EXPECT_TRUE(std::filesystem::is_symlink(SettingsFileName));
    EXPECT_EQ(std::filesystem::read_symlink(SettingsFileName), "kept/settings.txt");
    EXPECT_EQ(ReadBytes("kept/settings.txt"), ExampleLines);
    EXPECT_EQ(PermissionBitsOf("kept/settings.txt"), 0600u);
    EXPECT_EQ(NamesIn("kept"), std::vector<std::string>{"settings.txt"});

    // A link to a link, the second relative to its own folder, and a link
    // to a file that does not exist yet.
    std::filesystem::create_symlink("settings.txt", "kept/second-link");
    std::filesystem::remove(SettingsFileName);
    std::filesystem::create_symlink("kept/second-link", SettingsFileName);
    Settings values = ExampleSettings();
    values.WhitePawns = 7;
    ASSERT_TRUE(WriteSettingsFile(values));
    EXPECT_EQ(ReadBytes("kept/settings.txt"), "7" + ExampleLines.substr(1));
    EXPECT_TRUE(std::filesystem::is_symlink("kept/second-link"));

    std::filesystem::remove(SettingsFileName);
    std::filesystem::create_symlink("kept/new.txt", SettingsFileName);
    ASSERT_TRUE(WriteSettingsFile(ExampleSettings()));
    EXPECT_EQ(ReadBytes("kept/new.txt"), ExampleLines);

    // Links in a circle lead to no file: nothing is written.
    std::filesystem::remove(SettingsFileName);
    std::filesystem::create_symlink("loop-b", SettingsFileName);
    std::filesystem::create_symlink(SettingsFileName, "loop-b");
    EXPECT_FALSE(WriteSettingsFile(ExampleSettings()));
    EXPECT_TRUE(std::filesystem::is_symlink(SettingsFileName));
}

TEST_F(SettingsWriter, APipeOfThatNameIsNotWaitedOnNorReplaced) {
    ASSERT_EQ(::mkfifo(SettingsFileName, 0644), 0);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(WriteSettingsFile(ExampleSettings()));  // must not wait for a reader
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    struct stat info {};
    ASSERT_EQ(::lstat(SettingsFileName, &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(NamesIn("."), std::vector<std::string>{SettingsFileName});
}

TEST_F(SettingsWriter, ReadOnlyFileOrFolderIsLeftAsItWas) {
    WriteBytes(SettingsFileName, OldLines);
    ::chmod(SettingsFileName, 0444);
    const std::string written = RunUnprivileged([] { return WriteSettingsFile(ExampleSettings()) ? "yes" : "no"; });
    EXPECT_EQ(written, "no");
    EXPECT_EQ(ReadBytes(SettingsFileName), OldLines);
    EXPECT_EQ(PermissionBitsOf(SettingsFileName), 0444u);
    EXPECT_EQ(NamesIn("."), std::vector<std::string>{SettingsFileName});
}

}  // namespace
}  // namespace settings
