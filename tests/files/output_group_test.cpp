// Replacing files safely, one or a group of outputs all or nothing.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "files/output_group.h"
#include "tests/settings/scratch_directory.h"

namespace files {
namespace {

namespace fs = std::filesystem;
using settings::ReadBytes;
using settings::WriteBytes;

// The names in the scratch directory, temporary files included.
std::set<std::string> Names(const std::string& folder = ".") {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// Runs `work` in a child process; its exit status, or 128 + the signal that
// ended it.
int InChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(work());
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ContentsWriter Bytes(const std::string& text) {
    return [text](std::FILE* stream) { return std::fwrite(text.data(), 1, text.size(), stream) == text.size(); };
}

// Prepares and writes the outputs, each with its text; "" or the complaint.
std::string WriteAll(const std::vector<std::pair<Output, std::string>>& outputs,
                     const std::vector<Output>& inputs = {}) {
    std::vector<Output> named;
    std::vector<ContentsWriter> contents;
    for (const auto& [output, text] : outputs) {
        named.push_back(output);
        contents.push_back(Bytes(text));
    }
    OutputGroup group;
    const std::string complaint = group.Prepare(named, inputs);
    return complaint.empty() ? group.Write(contents) : complaint;
}

class SafeWrite : public settings::ScratchDirectoryTest {};

TEST_F(SafeWrite, WritesNewFilesAndReplacesOldOnesKeepingTheirPermissions) {
    const mode_t previousMask = ::umask(022);
    WriteBytes("old.epd", "old");
    ::chmod("old.epd", 0640);
    const std::string complaint = WriteAll({{{"--pgn", "new.pgn"}, "fresh"}, {{"--epd", "old.epd"}, "replaced"}});
    ::umask(previousMask);
    ASSERT_EQ(complaint, "");
    EXPECT_EQ(ReadBytes("new.pgn"), "fresh");
    EXPECT_EQ(ReadBytes("old.epd"), "replaced");
    EXPECT_EQ(ModeOf("new.pgn"), 0644u);
    EXPECT_EQ(ModeOf("old.epd"), 0640u);
    EXPECT_EQ(Names(), (std::set<std::string>{"new.pgn", "old.epd"}));  // no temporary file left
}

// While it is written, the temporary file has the recognisable name with
// the writer's process id, and only its owner may read it.
TEST_F(SafeWrite, TheTemporaryFileIsPrivateAndNamedForItsWriter) {
    WriteBytes("sheet.pgn", "old");
    ::chmod("sheet.pgn", 0644);
    std::set<std::string> seen;
    mode_t seenMode = 0;
    ASSERT_TRUE(ReplaceFileContents("sheet.pgn", [&](std::FILE* stream) {
        seen = Names();
        for (const std::string& name : seen) {
            if (name != "sheet.pgn") seenMode = ModeOf(name);
        }
        return std::fputs("new", stream) >= 0;
    }));
    ASSERT_EQ(seen.size(), 2u);
    const std::string temporary = *seen.begin() == "sheet.pgn" ? *seen.rbegin() : *seen.begin();
    const std::string stem = TemporaryNameStem("sheet.pgn", ::getpid());
    EXPECT_EQ(temporary.rfind(stem, 0), 0u) << temporary;
    EXPECT_EQ(temporary.size(), stem.size() + 6) << temporary;
    EXPECT_EQ(seenMode, 0600u);
    EXPECT_EQ(ModeOf("sheet.pgn"), 0644u);
    EXPECT_EQ(Names(), (std::set<std::string>{"sheet.pgn"}));
}

// A writer killed in the middle leaves its temporary file; the next write of
// the same file removes it, but not one whose writer still runs, nor the
// temporary files of other names.
TEST_F(SafeWrite, TemporaryFilesOfEndedWritersAreRemoved) {
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const pid_t running = ::fork();
    if (running == 0) {
        ::pause();
        ::_exit(0);
    }
    const std::string left = TemporaryNameStem("a.pdf", ended) + "Xy12Zq";
    const std::string inUse = TemporaryNameStem("a.pdf", running) + "Ab34Cd";
    const std::string otherFile = TemporaryNameStem("b.pdf", ended) + "Ef56Gh";
    const std::string lookalike = TemporaryNameStem("a.pdf", ended) + "toolong";
    for (const std::string& name : std::vector<std::string>{left, inUse, otherFile, lookalike})
        WriteBytes(name, "part");
    const bool written = ReplaceFileContents("a.pdf", Bytes("whole"));
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    ASSERT_TRUE(written);
    EXPECT_EQ(Names(), (std::set<std::string>{"a.pdf", inUse, otherFile, lookalike}));
}

TEST_F(SafeWrite, ALinkIsWrittenThroughAndStaysALink) {
    fs::create_directory("real");
    WriteBytes("real/sheet.pgn", "old");
    fs::create_symlink("real/sheet.pgn", "sheet.pgn");
    fs::create_symlink("real/new.pgn", "new.pgn");
    ASSERT_EQ(WriteAll({{{"--pgn", "sheet.pgn"}, "new"}, {{"--epd", "new.pgn"}, "created"}}), "");
    EXPECT_TRUE(fs::is_symlink("sheet.pgn"));
    EXPECT_EQ(ReadBytes("real/sheet.pgn"), "new");
    EXPECT_EQ(ReadBytes("real/new.pgn"), "created");
}

// Each of these is refused before anything is opened or created; the pipe
// must not hold the check up waiting for a writer.
TEST_F(SafeWrite, RefusesTargetsThatCannotTakeTheFile) {
    fs::create_directory("folder");
    ASSERT_EQ(::mkfifo("pipe", 0644), 0);
    fs::create_symlink("nowhere/at/all", "dangling");
    fs::create_symlink("circle-b", "circle-a");
    fs::create_symlink("circle-a", "circle-b");
    WriteBytes("one.pgn", "kept");
    const std::set<std::string> before = Names();
    const char* refused[] = {"folder", "pipe", "missing/out.pgn", "dangling", "folder/", "circle-a", "one.pgn/x"};
    for (const char* path : refused) {
        EXPECT_NE(WriteAll({{{"--pgn", path}, "x"}}), "") << path;
        OutputGroup group;
        EXPECT_NE(group.Prepare({{"--pgn", path}}), "") << path;
    }
    EXPECT_EQ(Names(), before);
    EXPECT_TRUE(fs::is_empty("folder"));
    EXPECT_EQ(ReadBytes("one.pgn"), "kept");
}

// Two names of one file, existing or new, and an output that is the file
// the run reads: refused, nothing created or changed.
TEST_F(SafeWrite, TwoNamesOfOneFileAreRefused) {
    WriteBytes("one.pgn", "kept");
    WriteBytes("settings.txt", "the settings");
    fs::create_directory("out");
    fs::create_symlink("out", "linked");
    fs::create_hard_link("one.pgn", "same.epd");
    const std::string here = fs::current_path().string();
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"one.pgn", "same.epd"},       {"one.pgn", "./one.pgn"},
        {"x.pgn", "./x.pgn"},          {"out/x.pgn", "out//x.pgn"},
        {"out/x.pgn", "linked/x.pgn"}, {"x.pgn", here + "/x.pgn"},
        {"x.pgn", "out/../x.pgn"},     {"linked/y.pgn", here + "/out/y.pgn"},
    };
    const std::set<std::string> before = Names();
    for (const auto& [first, second] : pairs) {
        const std::string complaint = WriteAll({{{"--pgn", first}, "x"}, {{"--epd", second}, "y"}});
        EXPECT_NE(complaint.find("один файл"), std::string::npos) << first << " " << second << ": " << complaint;
    }
    for (const char* output : {"settings.txt", "./settings.txt"}) {
        const std::string complaint = WriteAll({{{"--pgn", output}, "x"}}, {{"--settings", "settings.txt"}});
        EXPECT_NE(complaint.find("--settings"), std::string::npos) << complaint;
    }
    EXPECT_EQ(Names(), before);
    EXPECT_TRUE(fs::is_empty("out"));
    EXPECT_EQ(ReadBytes("one.pgn"), "kept");
    EXPECT_EQ(ReadBytes("settings.txt"), "the settings");
}

TEST_F(SafeWrite, RefusesWhatTheUserMayNotWrite) {
    WriteBytes("locked.pgn", "kept");
    ::chmod("locked.pgn", 0444);
    fs::create_directory("closed");
    ::chmod("closed", 0555);
    const std::string complaints = settings::RunUnprivileged([] {
        return WriteAll({{{"--pgn", "locked.pgn"}, "x"}}) + "|" + WriteAll({{{"--pdf", "closed/a.pdf"}, "x"}});
    });
    EXPECT_NE(complaints.find("locked.pgn"), std::string::npos) << complaints;
    EXPECT_NE(complaints.find("closed"), std::string::npos) << complaints;
    EXPECT_EQ(ReadBytes("locked.pgn"), "kept");
    EXPECT_TRUE(fs::is_empty("closed"));
}

// A write that fails part way under a file-size limit leaves every target
// as it was, the one written before it included, and no temporary file; the
// limit's signal ends nothing, and a program that had it at its default
// still has it so afterwards.
TEST_F(SafeWrite, AFileSizeLimitFailsTheWriteAndChangesNoTarget) {
    WriteBytes("first.pgn", "old first");
    WriteBytes("second.pdf", "old second");
    const std::set<std::string> before = Names();
    const int status = InChild([] {
        const rlimit limit = {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string complaint =
            WriteAll({{{"--pgn", "first.pgn"}, "new first"}, {{"--pdf", "second.pdf"}, std::string(5000, '%')}});
        if (complaint.find("second.pdf") == std::string::npos) return 1;
        struct sigaction action {};
        ::sigaction(SIGXFSZ, nullptr, &action);
        return action.sa_handler == SIG_DFL ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes("first.pgn"), "old first");
    EXPECT_EQ(ReadBytes("second.pdf"), "old second");
    EXPECT_EQ(Names(), before);
}

// A signal that ends a program stops the writing with nothing changed and
// then ends the program; one the program ignores changes nothing.
TEST_F(SafeWrite, SignalsDuringTheWrite) {
    WriteBytes("sheet.pgn", "old");
    const auto raising = [](int signal) {
        return [signal](std::FILE* stream) {
            ::raise(signal);
            return std::fputs("new", stream) >= 0;
        };
    };
    const int ended = InChild([&] {
        OutputGroup group;
        if (!group.Prepare({{"--pgn", "sheet.pgn"}}).empty()) return 1;
        return group.Write({raising(SIGTERM)}) == "прервано сигналом" ? 0 : 2;
    });
    EXPECT_EQ(ended, 128 + SIGTERM);
    EXPECT_EQ(ReadBytes("sheet.pgn"), "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"sheet.pgn"}));

    const int ignored = InChild([&] {
        ::signal(SIGHUP, SIG_IGN);
        OutputGroup group;
        if (!group.Prepare({{"--pgn", "sheet.pgn"}}).empty()) return 1;
        return group.Write({raising(SIGHUP)}).empty() ? 0 : 2;
    });
    EXPECT_EQ(ignored, 0);
    EXPECT_EQ(ReadBytes("sheet.pgn"), "new");
    EXPECT_EQ(Names(), (std::set<std::string>{"sheet.pgn"}));
}

// A name that leads elsewhere by the time of the rename (a link put in its
// place, or a link turned to another file) is not written, and nothing is
// left.
TEST_F(SafeWrite, ANameThatChangesAfterTheCheckIsNotWritten) {
    fs::create_directory("elsewhere");
    WriteBytes("elsewhere/precious", "precious");
    WriteBytes("kept", "kept");
    fs::create_symlink("kept", "turned.pgn");
    OutputGroup group;
    ASSERT_EQ(group.Prepare({{"--pgn", "new.pgn"}, {"--epd", "turned.pgn"}}), "");
    fs::create_symlink("elsewhere/precious", "new.pgn");
    fs::remove("turned.pgn");
    fs::create_symlink("elsewhere/precious", "turned.pgn");
    const std::string complaint = group.Write({Bytes("pgn"), Bytes("epd")});
    EXPECT_NE(complaint.find("new.pgn"), std::string::npos) << complaint;
    EXPECT_EQ(ReadBytes("elsewhere/precious"), "precious");
    EXPECT_EQ(ReadBytes("kept"), "kept");
    EXPECT_EQ(Names(), (std::set<std::string>{"elsewhere", "kept", "new.pgn", "turned.pgn"}));
    EXPECT_EQ(Names("elsewhere"), (std::set<std::string>{"precious"}));
}

// In a folder that is sticky and open to everyone, another user's link is
// not followed (it could lead anywhere), at the check or at the rename; the
// user's own link is. Needs root, to act as a second user.
TEST_F(SafeWrite, AnotherUsersLinkInASharedFolderIsNotFollowed) {
    if (!settings::RunningAsRoot()) GTEST_SKIP() << "needs root to make a link as another user";
    constexpr uid_t Nobody = 65534;
    fs::create_directory("secret");
    ::chmod("secret", 0700);
    WriteBytes("secret/v", "precious");
    fs::create_directory("shared");
    ::chmod("shared", 01777);
    const auto plantLink = [](const std::string& target, const std::string& link) {
        fs::create_symlink(target, link);
        ASSERT_EQ(::lchown(link.c_str(), Nobody, Nobody), 0);
    };
    const std::string secret = (fs::current_path() / "secret/v").string();
    plantLink(secret, "shared/sheet.pgn");
    const std::string complaint = WriteAll({{{"--pgn", "shared/sheet.pgn"}, "the games"}});
    EXPECT_NE(complaint.find("ссылка другого пользователя"), std::string::npos) << complaint;
    EXPECT_FALSE(ReplaceFileContents("shared/sheet.pgn", Bytes("the settings")));

    // Planted after the check: refused at the rename.
    OutputGroup group;
    ASSERT_EQ(group.Prepare({{"--pdf", "shared/late.pdf"}}), "");
    plantLink(secret, "shared/late.pdf");
    EXPECT_NE(group.Write({Bytes("pages")}).find("ссылка другого пользователя"), std::string::npos);

    EXPECT_EQ(ReadBytes("secret/v"), "precious");
    EXPECT_EQ(Names("secret"), (std::set<std::string>{"v"}));
    EXPECT_EQ(Names("shared"), (std::set<std::string>{"late.pdf", "sheet.pgn"}));

    // Root's own link there is followed, as is nobody's link in a folder
    // that is not open to everyone.
    fs::create_symlink(secret, "shared/own.pgn");
    EXPECT_EQ(WriteAll({{{"--pgn", "shared/own.pgn"}, "root's"}}), "");
    EXPECT_EQ(ReadBytes("secret/v"), "root's");
    plantLink(secret, "private.pgn");
    EXPECT_EQ(WriteAll({{{"--pgn", "private.pgn"}, "through"}}), "");
    EXPECT_EQ(ReadBytes("secret/v"), "through");
}

// Standard output is written after the files are ready and before they are
// renamed: when it cannot be written, no file appears.
TEST_F(SafeWrite, StandardOutputGoesLastBeforeTheRenames) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const int written = InChild([&] {
        ::dup2(channel[1], STDOUT_FILENO);
        ::close(channel[0]);
        return WriteAll({{{"--pgn", "-"}, "the games"}, {{"--pdf", "a.pdf"}, "pages"}}).empty() ? 0 : 1;
    });
    ::close(channel[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
    ::close(channel[0]);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<size_t>(got) : 0), "the games");
    EXPECT_EQ(ReadBytes("a.pdf"), "pages");

    ASSERT_EQ(::pipe(channel), 0);
    ::close(channel[0]);  // nobody reads
    const int refused = InChild([&] {
        ::signal(SIGPIPE, SIG_IGN);
        ::dup2(channel[1], STDOUT_FILENO);
        return WriteAll({{{"--pgn", "-"}, "the games"}, {{"--pdf", "b.pdf"}, "pages"}}).empty() ? 1 : 0;
    });
    ::close(channel[1]);
    EXPECT_EQ(refused, 0);
    EXPECT_FALSE(fs::exists("b.pdf"));
    EXPECT_EQ(Names(), (std::set<std::string>{"a.pdf"}));
}

// The whole output of a shell command, or none when it fails.
std::optional<std::string> CommandOutput(const std::string& command) {
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string text;
    char buffer[256];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, got);
    return ::pclose(pipe) == 0 ? std::optional<std::string>(text) : std::nullopt;
}

// SIGTERM while standard output is a pipe nobody reads: the program ends
// within a second, leaving no temporary file and the old file as it was.
TEST_F(SafeWrite, ASignalEndsAWriteStalledOnStandardOutput) {
    WriteBytes("sheet.pdf", "old");
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);  // the reading end stays open, never read
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], STDOUT_FILENO);
        ::_exit(WriteAll({{{"--pgn", "-"}, std::string(1 << 20, 'g')}, {{"--pdf", "sheet.pdf"}, "new"}}).empty());
    }
    const auto stalled = [] {
        for (const std::string& name : Names()) {
            if (name.rfind(".sheet.pdf.partial.", 0) == 0) return true;
        }
        return false;
    };
    for (int wait = 0; wait < 500 && !stalled(); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // well into the stalled write
    const auto sent = std::chrono::steady_clock::now();
    ::kill(child, SIGTERM);
    int status = 0;
    for (int wait = 0; wait < 300 && ::waitpid(child, &status, WNOHANG) == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto took = std::chrono::steady_clock::now() - sent;
    if (::waitpid(child, &status, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    ::close(channel[0]);
    ::close(channel[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_LT(took, std::chrono::seconds(1));
    EXPECT_EQ(ReadBytes("sheet.pdf"), "old");
    EXPECT_EQ(Names(), (std::set<std::string>{"sheet.pdf"}));
}

// /dev/stdout is standard output itself and is written as "-" is, whatever
// it is (here a pipe); a pipe or device reached through /proc/self/fd is
// refused before anything is written.
TEST_F(SafeWrite, NamesOfStandardOutputAndOtherStreams) {
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const std::string other = "/proc/self/fd/" + std::to_string(channel[1]);
    const int status = InChild([&] {
        ::dup2(channel[1], STDOUT_FILENO);
        const int shown = ::open("/dev/null", O_WRONLY);
        OutputGroup refused;
        const std::string complaint = refused.Prepare({{"--epd", "/proc/self/fd/" + std::to_string(shown)}});
        if (complaint.find("не обычный файл") == std::string::npos) return 1;
        if (WriteAll({{{"--pgn", "-"}, "a"}, {{"--epd", "/dev/stdout"}, "b"}}).find("стандартный вывод") ==
            std::string::npos) {
            return 2;
        }
        return WriteAll({{{"--pgn", "/dev/stdout"}, "the games"}, {{"--pdf", "a.pdf"}, "pages"}}).empty() ? 0 : 3;
    });
    EXPECT_NE(WriteAll({{{"--pgn", other}, "x"}}).find("не обычный файл"), std::string::npos);
    ::close(channel[1]);
    char buffer[64] = {};
    const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
    ::close(channel[0]);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(buffer, got > 0 ? static_cast<size_t>(got) : 0), "the games");
    EXPECT_EQ(Names(), (std::set<std::string>{"a.pdf"}));
}

// A name with a line break, a C1 control or a byte that is no UTF-8 is shown
// escaped, so that the message stays one line and two names never look
// alike.
TEST_F(SafeWrite, NamesInMessagesStayOnOneLine) {
    const std::string complaint = WriteAll({{{"--key", "no\ndir/k\u0085\xff\\.pdf"}, "x"}});
    EXPECT_EQ(complaint.find('\n'), std::string::npos) << complaint;
    EXPECT_NE(complaint.find("«no\\ndir/k\\u0085\\xff\\\\.pdf»"), std::string::npos) << complaint;
}

// An access list and the extended attributes of a replaced file are kept,
// and the group gains nothing: with a list, the mode's group bits are its
// mask.
TEST_F(SafeWrite, AccessListsAndAttributesAreKept) {
    WriteBytes("shared.pgn", "old");
    ::chmod("shared.pgn", 0640);
    if (!CommandOutput("setfacl -m u:nobody:rw- shared.pgn 2>&1")) GTEST_SKIP() << "no setfacl, or no ACLs here";
    const bool attribute = ::setxattr("shared.pgn", "user.note", "kept", 4, 0) == 0;
    const std::optional<std::string> before = CommandOutput("getfacl -c shared.pgn");
    ASSERT_TRUE(before);
    ASSERT_NE(before->find("user:nobody:rw-"), std::string::npos) << *before;
    ASSERT_EQ(WriteAll({{{"--pgn", "shared.pgn"}, "new"}}), "");
    EXPECT_EQ(ReadBytes("shared.pgn"), "new");
    EXPECT_EQ(CommandOutput("getfacl -c shared.pgn"), before);
    EXPECT_EQ(ModeOf("shared.pgn"), 0660u);  // the mask in the group's bits, as before
    if (attribute) {
        char value[16] = {};
        EXPECT_EQ(::getxattr("shared.pgn", "user.note", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    }
}

// A FAT file system mounted through FUSE keeps no owners, modes or
// attributes: a new file is still written, and an old one replaced where
// the file system can rename over a file (Debian 12's fusefat can, Debian
// 13's cannot: there the user is told so in one line and the old file stays,
// and nothing is written). Needs root, FUSE and the fusefat and mkfs.fat
// programs.
TEST_F(SafeWrite, WritesOnAFatStickMountedThroughFuse) {
    if (!settings::RunningAsRoot()) GTEST_SKIP() << "mounting a FAT image needs root";
    if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no FUSE here (/dev/fuse)";
    if (!CommandOutput("command -v fusefat && command -v mkfs.fat")) GTEST_SKIP() << "no fusefat or mkfs.fat";
    fs::create_directory("stick");
    ASSERT_TRUE(CommandOutput("truncate -s 4M fat.img && mkfs.fat fat.img 2>&1"));
    if (!CommandOutput("fusefat -o rw+ fat.img stick 2>&1")) GTEST_SKIP() << "fusefat cannot mount here";
    // Root unmounts it itself: FUSE 3 systems have no "fusermount", and a
    // mount left behind keeps its daemon running after the test.
    struct Unmount {
        ~Unmount() { ::umount2("stick", MNT_DETACH); }
    } unmountAtEnd;
    ASSERT_EQ(WriteAll({{{"--pgn", "stick/new.pgn"}, "fresh"}}), "");
    EXPECT_EQ(ReadBytes("stick/new.pgn"), "fresh");
    WriteBytes("stick/old.pdf", "old");
    const std::string complaint =
        WriteAll({{{"--pdf", "stick/old.pdf"}, "replaced"}, {{"--pgn", "stick/other.pgn"}, "fresh"}});
    if (complaint.empty()) {
        EXPECT_EQ(ReadBytes("stick/old.pdf"), "replaced");
        EXPECT_EQ(Names("stick"), (std::set<std::string>{"new.pgn", "old.pdf", "other.pgn"}));
    } else {
        EXPECT_EQ(complaint.find('\n'), std::string::npos);
        EXPECT_NE(complaint.find("не заменён"), std::string::npos) << complaint;
        EXPECT_EQ(ReadBytes("stick/old.pdf"), "old");
        EXPECT_EQ(Names("stick"), (std::set<std::string>{"new.pgn", "old.pdf"}));
    }
}

}  // namespace
}  // namespace files
