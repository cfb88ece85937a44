#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_line_reader.h"
#include "settings/settings_streams.h"
#include "text/utf8_text.h"
#include "tests/settings/scratch_directory.h"

namespace settings {
namespace {

using namespace std::string_literals;

constexpr const char* ExampleFile = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";
constexpr const char* ExampleValues = "2 1 1 0 1 3 0 1 1 0 50 1 4 [ферзь]";
constexpr const char* EmptyValues = "0 0 0 0 0 0 0 0 0 0 0 0 0 []";
constexpr const char* EmptyValuesInUse = "0 0 0 0 0 0 0 0 0 0 40 0 2 []";

// The trainer's reading of the working directory's settings file, as "as
// read | in use | KingSpan FirstMovePiece".
std::string TrainerReading() {
    TrainerSettings trainer;
    trainer.SettingsReader();
    return Describe(trainer.AsRead) + " | " + Describe(trainer.InUse) + " | " + std::to_string(trainer.KingSpan) + " " +
           std::to_string(trainer.FirstMovePiece);
}

// What the trainer's reader makes of these bytes, in a directory of their own.
std::string TrainerReads(const std::string& bytes) {
    ScratchDirectory directory;
    WriteBytes(SettingsFileName, bytes);
    return TrainerReading();
}

// The derived part of TrainerReads: "KingSpan FirstMovePiece".
std::string Derived(const std::string& trainerRead) { return trainerRead.substr(trainerRead.rfind(" | ") + 3); }

std::string EditorReads(const std::string& bytes) {
    ScratchDirectory directory;
    WriteBytes(SettingsFileName, bytes);
    Settings values;
    values.CellSize = 99;  // every value is replaced
    LoadSettings(values);
    return Describe(values);
}

// Each test runs in a fresh scratch directory of its own.
class SettingsReader : public ScratchDirectoryTest {};

TEST_F(SettingsReader, ExampleFileGivesItsValuesToBothReaders) {
    EXPECT_EQ(TrainerReads(ExampleFile), std::string(ExampleValues) + " | " + ExampleValues + " | 5 9");
    EXPECT_EQ(EditorReads(ExampleFile), ExampleValues);
}

TEST_F(SettingsReader, EveryLineEndReadsAlike) {
    const std::string lines[] = {"2", "1", "1", "0", "1", "3", "0", "1", "1", "0", "50", "1", "4", "ферзь"};
    for (const std::string& end : {"\r\n"s, "\r"s, "\0"s}) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + end;
        EXPECT_EQ(EditorReads(bytes), ExampleValues) << "line end of " << end.size() << " bytes, first " << int(end[0]);
    }
    // Mixed ends, and no end after the last line.
    EXPECT_EQ(EditorReads("2\r\n1\r1\n0\0001\r\n3\n0\r1\n1\n0\r\n50\n1\r4\nферзь"s), ExampleValues);
}

TEST_F(SettingsReader, EachTerminatorEndsOneLine) {
    // "\r\r" and "\n\r" are two ends with an empty line between; so is a NUL
    // followed by a line feed.
    EXPECT_EQ(EditorReads("1\r\r2\n\r3\0\n4\r\n\r\n5\n"s), "1 0 2 0 3 0 4 0 5 0 0 0 0 []");
    // A carriage return as the very last byte.
    EXPECT_EQ(EditorReads("7\r"), "7 0 0 0 0 0 0 0 0 0 0 0 0 []");
}

TEST_F(SettingsReader, ByteOrderMarkHidesTheFirstNumber) {
    EXPECT_EQ(EditorReads("\xEF\xBB\xBF"
                          "5\n6\n"),
              "0 6 0 0 0 0 0 0 0 0 0 0 0 []");
}

TEST_F(SettingsReader, FewerAndMoreThanFourteenLines) {
    EXPECT_EQ(EditorReads("3\n4\n"), "3 4 0 0 0 0 0 0 0 0 0 0 0 []");
    EXPECT_EQ(EditorReads(std::string(ExampleFile) + "8\nладья\n9\n"), ExampleValues);
}

TEST_F(SettingsReader, LinesHaveNoLengthLimit) {
    const std::string longLine(3 * 1024 * 1024, 'x');
    EXPECT_EQ(EditorReads(longLine + "\n7\n"), "0 7 0 0 0 0 0 0 0 0 0 0 0 []");
    EXPECT_EQ(EditorReads("9" + longLine + "\n7\n"), "9 7 0 0 0 0 0 0 0 0 0 0 0 []");
}

TEST_F(SettingsReader, NameMatchesOnlyExactly) {
    const std::string numbers = "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n50\n0\n2\n";
    EXPECT_EQ(Derived(TrainerReads(numbers + "ладья\n")), "7 5");
    for (const std::string name : {"Ферзь", "ферзь ", " ферзь", "ФЕРЗЬ", "ферзь\t", "queen"}) {
        const std::string read = TrainerReads(numbers + name + "\n");
        EXPECT_EQ(Derived(read), "7 0") << name;
        EXPECT_NE(read.find("[" + name + "]"), std::string::npos) << "kept as read: " << name;
    }
}

TEST_F(SettingsReader, NameIsDecodedAsUtf8) {
    const std::string numbers(13, '\n');
    EXPECT_EQ(EditorReads(numbers + "фер\xFFзь\n"), "0 0 0 0 0 0 0 0 0 0 0 0 0 [фер\xEF\xBF\xBDзь]");
}

TEST_F(SettingsReader, ValuesAreBroughtIntoTheEditorsRanges) {
    // 9 and -4 pawns, 12 knights, 11 queens, cell size 0, king distance 5,
    // pawn rank 1.
    const std::string bytes = "9\n12\n3\n-1\n11\n-4\n10\n0\n8\n1\n0\n5\n1\nконь\n";
    EXPECT_EQ(TrainerReads(bytes),
              "9 12 3 -1 11 -4 10 0 8 1 0 5 1 [конь] | 8 10 3 0 10 0 10 0 8 1 40 3 2 [конь] | 1 3");
    // Above the cell size and the pawn rank.
    EXPECT_EQ(TrainerReads("0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n71\n-1\n8\n"),
              "0 0 0 0 0 0 0 0 0 0 71 -1 8 [] | 0 0 0 0 0 0 0 0 0 0 70 0 7 [] | 7 0");
}

TEST_F(SettingsReader, KingSpanFollowsTheDistanceInUse) {
    const std::string before(11, '\n');
    for (const auto& [distance, span] : {std::pair{"0", 7}, {"1", 5}, {"2", 3}, {"3", 1}, {"4", 1}, {"-2", 7}}) {
        EXPECT_EQ(Derived(TrainerReads(before + distance + "\n")), std::to_string(span) + " 0") << distance;
    }
}

TEST_F(SettingsReader, MissingAndEmptyFilesGiveTheSameValues) {
    const std::string expected = std::string(EmptyValues) + " | " + EmptyValuesInUse + " | 7 0";
    EXPECT_EQ(TrainerReads(""), expected);

    EXPECT_EQ(TrainerReading(), expected);
    EXPECT_EQ(ReadBytes(SettingsFileName), "") << "the missing file is created empty";

    std::filesystem::remove(SettingsFileName);
    Settings values;
    LoadSettings(values);
    EXPECT_EQ(Describe(values), EmptyValues);
    EXPECT_EQ(ReadBytes(SettingsFileName), "") << "the editor's reader creates it as well";
}

TEST_F(SettingsReader, ReadOnlyFileIsReadAndLeftAlone) {
    WriteBytes(SettingsFileName, ExampleFile);
    ::chmod(SettingsFileName, 0444);
    ::chmod(Directory.Path.c_str(), 0555);
    const std::string read = RunUnprivileged([] {
        TrainerSettings trainer;
        trainer.SettingsReader();
        return Describe(trainer.AsRead);
    });
    ::chmod(Directory.Path.c_str(), 0755);
    EXPECT_EQ(read, ExampleValues);
    EXPECT_EQ(ReadBytes(SettingsFileName), ExampleFile);
}

TEST_F(SettingsReader, UnreadableFileReadsAsEmptyAndIsNotReplaced) {
    WriteBytes(SettingsFileName, ExampleFile);
    ::chmod(SettingsFileName, 0);
    const std::string read = RunUnprivileged([] {
        Settings values;
        LoadSettings(values);
        return Describe(values);
    });
    // Readable again, so that the check below can read it as a plain user too.
    ::chmod(SettingsFileName, 0644);
    EXPECT_EQ(read, EmptyValues);
    EXPECT_EQ(ReadBytes(SettingsFileName), ExampleFile);
}

TEST_F(SettingsReader, MissingFileInReadOnlyDirectoryIsNotCreated) {
    ::chmod(Directory.Path.c_str(), 0555);
    const std::string read = RunUnprivileged([] {
        Settings values;
        LoadSettings(values);
        return Describe(values);
    });
    ::chmod(Directory.Path.c_str(), 0755);
    EXPECT_EQ(read, EmptyValues);
    EXPECT_FALSE(std::filesystem::exists(SettingsFileName));
}

TEST_F(SettingsReader, DirectoryOrPipeOfThatNameReadsAsEmpty) {
    std::filesystem::create_directory(SettingsFileName);
    Settings values;
    LoadSettings(values);
    EXPECT_EQ(Describe(values), EmptyValues);
    EXPECT_TRUE(std::filesystem::is_directory(SettingsFileName));

    std::filesystem::remove(SettingsFileName);
    ASSERT_EQ(::mkfifo(SettingsFileName, 0644), 0);
    LoadSettings(values);  // must not wait for a writer
    EXPECT_EQ(Describe(values), EmptyValues);
}

// A stream of runs of one byte each, made up as it is read: lines of any
// length without the memory or the disk they would take.
struct ByteRun {
    char Byte;
    std::size_t Count;
};

struct RunStream {
    std::vector<ByteRun> Runs;
    std::size_t Run = 0;
    std::size_t TakenOfRun = 0;

    static ssize_t Read(void* self, char* buffer, std::size_t size) {
        auto& stream = *static_cast<RunStream*>(self);
        std::size_t given = 0;
        while (given < size && stream.Run < stream.Runs.size()) {
            const ByteRun& run = stream.Runs[stream.Run];
            const std::size_t part = std::min(size - given, run.Count - stream.TakenOfRun);
            std::memset(buffer + given, run.Byte, part);
            given += part;
            stream.TakenOfRun += part;
            if (stream.TakenOfRun == run.Count) {
                ++stream.Run;
                stream.TakenOfRun = 0;
            }
        }
        return static_cast<ssize_t>(given);
    }
};

std::vector<ByteRun> RunsOf(const std::string& text) {
    std::vector<ByteRun> runs;
    for (const char c : text) runs.push_back({c, 1});
    return runs;
}

long LargestResidentKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// In a child process of its own (so that its memory is its own): the
// values read from the runs, and how far the largest resident memory grew
// while reading them, in kilobytes.
std::pair<std::string, long> ReadInChild(const std::vector<ByteRun>& runs) {
    int channel[2];
    if (::pipe(channel) != 0) return {"pipe failed", 0};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        RunStream source{runs};
        std::FILE* stream = ::fopencookie(&source, "r", {RunStream::Read, nullptr, nullptr, nullptr});
        const long before = LargestResidentKilobytes();
        const Settings values = ReadSettings(stream);
        const std::string text = Describe(values) + "\n" + std::to_string(LargestResidentKilobytes() - before);
        std::fclose(stream);
        const bool sent = ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    const std::size_t end = text.rfind('\n');
    if (end == std::string::npos) return {text, 0};
    return {text.substr(0, end), std::stol(text.substr(end + 1))};
}

// A sanitizer build reads many times slower; its lines are shorter, still
// far longer than the memory a line may cost.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t HugeLineBytes = std::size_t{64} << 20;
#else
constexpr std::size_t HugeLineBytes = std::size_t{1} << 30;
#endif

TEST(SettingsLineReader, AGigabyteLineCostsNoMoreMemoryThanAShortOne) {
    constexpr std::size_t Gigabyte = HugeLineBytes;
    constexpr long MostGrowthKilobytes = 16 * 1024;
    // Line 1: a gigabyte of zeros, then 5; line 2: 7 and a gigabyte of
    // blanks; line 14: "ферзь" followed by a gigabyte of letters.
    std::vector<ByteRun> runs = {{'0', Gigabyte}, {'5', 1}, {'\n', 1}, {'7', 1}, {' ', Gigabyte}};
    const std::vector<ByteRun> middle = RunsOf("\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь");
    runs.insert(runs.end(), middle.begin(), middle.end());
    runs.push_back({'x', Gigabyte});
    runs.push_back({'\n', 1});
    const auto [values, growth] = ReadInChild(runs);
    EXPECT_EQ(values, "5 7 1 0 1 3 0 1 1 0 50 1 4 [ферзьxxx]");
    EXPECT_LT(growth, MostGrowthKilobytes) << "kilobytes";

    // The same name with nothing after it is still found.
    const auto [plain, plainGrowth] = ReadInChild(RunsOf("5\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n"));
    EXPECT_EQ(plain, "5 1 1 0 1 3 0 1 1 0 50 1 4 [ферзь]");
}

TEST(SettingsLineReader, LineEndsAcrossTheReadersChunksReadTheSame) {
    // The reader takes the stream 64 KiB at a time: a long first line puts
    // each line end, a carriage return and line feed among them, on and
    // around the border between two chunks.
    constexpr std::size_t Chunk = 64 * 1024;
    for (std::size_t length = Chunk - 4; length <= Chunk + 4; ++length) {
        std::string bytes = std::string(length - 1, ' ') + "3\r\n7\r8\n\r\n" + std::string(length, '9') + "\n5\n";
        std::FILE* stream = ::fmemopen(bytes.data(), bytes.size(), "rb");
        ASSERT_NE(stream, nullptr);
        const Settings values = ReadSettings(stream);
        std::fclose(stream);
        EXPECT_EQ(Describe(values), "3 7 8 0 2147483647 5 0 0 0 0 0 0 0 []") << length;
    }
}

TEST(NumberFromLine, TakesBlanksSignAndLeadingDigits) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {"5", 5},   {" 5", 5},   {"\t 5", 5}, {"5 pieces", 5}, {"12abc", 12}, {"-3", -3},
        {"+7", 7},  {"0005", 5}, {"-0", 0},   {"", 0},         {"abc", 0},    {"-", 0},
        {"+-5", 0}, {" - 5", 0}, {"\v5", 0},  {"\xD9\xA5", 0}, {"5\t6", 5},   {"٣", 0},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(NumberFromLine(line), value) << '"' << line << '"';
}

TEST(NumberFromLine, SaturatesBeyondThirtyTwoBits) {
    EXPECT_EQ(NumberFromLine("2147483647"), INT32_MAX);
    EXPECT_EQ(NumberFromLine("2147483648"), INT32_MAX);
    EXPECT_EQ(NumberFromLine("-2147483648"), INT32_MIN);
    EXPECT_EQ(NumberFromLine("-2147483649"), INT32_MIN);
    EXPECT_EQ(NumberFromLine("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(NumberFromLine("-00000000000000000000042"), -42);
    EXPECT_EQ(NumberFromLine(std::string(4 * 1024 * 1024, '9')), INT32_MAX);
    EXPECT_EQ(NumberFromLine("-" + std::string(4 * 1024 * 1024, '7')), INT32_MIN);
}

TEST(DecodedUtf8, KeepsValidTextAndReplacesEachBrokenPart) {
    const std::pair<std::string, std::string> cases[] = {
        {"любая", "любая"},
        {"a\xF0\x9F\x98\x80z", "a\xF0\x9F\x98\x80z"},                              // four bytes
        {"\xD0", "\xEF\xBF\xBD"},                                                  // cut off
        {"\xD0\xD0\xB0", "\xEF\xBF\xBD\xD0\xB0"},                                  // cut off, then "а"
        {"\x80", "\xEF\xBF\xBD"},                                                  // stray continuation
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                                  // overlong "/"
        {"\xE0\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},                  // surrogate
        {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // above U+10FFFF
        {"\xE2\x82x", "\xEF\xBF\xBDx"},                                            // cut off by ASCII
        {"\xFF", "\xEF\xBF\xBD"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(text::DecodedUtf8(bytes), text) << bytes;
}

TEST(SettingsFields, NumberAddressesTheFieldsInLineOrder) {
    Settings values;
    for (int line = 1; line <= NumericLines; ++line) values.Number(line) = line * 10;
    EXPECT_EQ(values.WhitePawns, 10);
    EXPECT_EQ(values.BlackPawns, 60);
    EXPECT_EQ(values.BlackQueens, 100);
    EXPECT_EQ(values.CellSize, 110);
    EXPECT_EQ(values.KingEdgeDistance, 120);
    EXPECT_EQ(values.PawnRankLimit, 130);
    EXPECT_THROW(values.Number(0), std::out_of_range);
    EXPECT_THROW(values.Number(14), std::out_of_range);
    EXPECT_THROW(LimitedToEditorRange(14, 0), std::out_of_range);
}

}  // namespace
}  // namespace settings
