// Scratch folders: each is new and empty, goes with everything in it, and
// one that cannot be made says which and why; the working-directory kind
// gives the previous working directory back.
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace support {
namespace {

namespace fs = std::filesystem;

TEST(ScratchFolder, IsANewEmptyFolderNamedByItsPrefixAndOnlyItsOwnersToEnter) {
    const ScratchFolder first("scratch-test");
    const ScratchFolder second("scratch-test");
    EXPECT_NE(first.Path, second.Path);
    for (const ScratchFolder* folder : {&first, &second}) {
        ASSERT_TRUE(fs::is_directory(folder->Path));
        EXPECT_TRUE(fs::is_empty(folder->Path));
        EXPECT_EQ(folder->Path.filename().string().rfind("scratch-test-", 0), 0u) << folder->Path;
        EXPECT_EQ(fs::status(folder->Path).permissions(), fs::perms::owner_all);
    }
}

TEST(ScratchFolder, GoesWithEverythingInItEvenWhenTheOwnerLockedIt) {
    fs::path kept;
    {
        const ScratchFolder folder("scratch-test");
        kept = folder.Path;
        fs::create_directories(folder.Path / "inner" / "deeper");
        std::ofstream(folder.Path / "inner" / "deeper" / "file") << "bytes";
        std::ofstream(folder.Path / "top") << "bytes";
        ::chmod(folder.Path.c_str(), 0500);
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchFolder, ThatCannotBeMadeNamesTheFolderAndTheReason) {
    try {
        const ScratchFolder folder("no-such-parent-folder/scratch-test");
        FAIL() << "made " << folder.Path;
    } catch (const std::system_error& failure) {
        const std::string what = failure.what();
        EXPECT_NE(what.find("no-such-parent-folder/scratch-test-XXXXXX"), std::string::npos) << what;
        EXPECT_EQ(failure.code(), std::errc::no_such_file_or_directory) << what;
    }
}

TEST(ScratchWorkingDirectory, IsTheWorkingDirectoryWhileItLivesAndThenThePreviousOneReturns) {
    const fs::path before = fs::current_path();
    fs::path kept;
    {
        const ScratchWorkingDirectory directory("scratch-test");
        kept = directory.Path;
        EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(directory.Path));
        std::ofstream("made-here") << "bytes";
        EXPECT_TRUE(fs::exists(directory.Path / "made-here"));
    }
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(fs::exists(kept));
}

}  // namespace
}  // namespace support
