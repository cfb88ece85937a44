#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "sheets/sheet_options.h"

namespace sheets {
namespace {

// Parses `arguments` (after the program name); the complaint, "" when none.
std::string Parse(std::initializer_list<const char*> arguments, SheetOptions& options) {
    std::vector<const char*> argv = {"vindolar-sheets"};
    argv.insert(argv.end(), arguments);
    return ParseSheetOptions(static_cast<int>(argv.size()), argv.data(), options);
}

std::string Complaint(std::initializer_list<const char*> arguments) {
    SheetOptions options;
    return Parse(arguments, options);
}

TEST(SheetOptions, DefaultsAndBothSpellingsOfAValue) {
    SheetOptions options;
    ASSERT_EQ(Parse({"--pgn", "out.pgn"}, options), "");
    EXPECT_EQ(options.SettingsPath, "set_figure.txt");
    EXPECT_EQ(options.Count, 12);
    EXPECT_FALSE(options.Seed.has_value());
    EXPECT_EQ(options.PerPage, 6);
    EXPECT_EQ(options.Title, "Мат в 1 ход");
    EXPECT_EQ(options.PgnPath, "out.pgn");
    EXPECT_TRUE(options.PdfPath.empty());
    EXPECT_TRUE(options.KeyPath.empty());
    EXPECT_TRUE(options.EpdPath.empty());
    EXPECT_FALSE(options.NameLine);

    SheetOptions given;
    ASSERT_EQ(Parse({"--settings=my.txt", "--count", "1000", "--seed=18446744073709551615", "--per-page", "12",
                     "--title", "Урок 3: \"связка\"", "--pdf=s.pdf", "--epd", "-", "--pgn", "s.pgn"},
                    given),
              "");
    EXPECT_EQ(given.SettingsPath, "my.txt");
    EXPECT_EQ(given.Count, 1000);
    EXPECT_EQ(given.Seed, 18446744073709551615ull);
    EXPECT_EQ(given.PerPage, 12);
    EXPECT_EQ(given.Title, "Урок 3: \"связка\"");
    EXPECT_EQ(given.PdfPath, "s.pdf");
    EXPECT_EQ(given.EpdPath, "-");
    EXPECT_EQ(given.PgnPath, "s.pgn");

    SheetOptions apart;
    ASSERT_EQ(Parse({"--name-line", "--pdf", "pupils.pdf", "--key=key.pdf"}, apart), "");
    EXPECT_TRUE(apart.NameLine);
    EXPECT_EQ(apart.PdfPath, "pupils.pdf");
    EXPECT_EQ(apart.KeyPath, "key.pdf");
    SheetOptions keyOnly;
    ASSERT_EQ(Parse({"--key", "key.pdf"}, keyOnly), "");
    EXPECT_EQ(keyOnly.KeyPath, "key.pdf");

    SheetOptions help;
    ASSERT_EQ(Parse({"--help"}, help), "");
    EXPECT_TRUE(help.Help);
}

TEST(SheetOptions, NumbersOutsideTheirRangeAreRefused) {
    for (const char* count : {"0", "1001", "-1", "+5", "12x", "", " 12", "1e3", "99999999999999999999999"}) {
        EXPECT_NE(Complaint({"--count", count, "--pgn", "a"}).find("--count"), std::string::npos) << count;
    }
    for (const char* perPage : {"5", "0", "16", "six", "06x"}) {
        EXPECT_NE(Complaint({"--per-page", perPage, "--pgn", "a"}).find("--per-page"), std::string::npos) << perPage;
    }
    for (const char* seed : {"-1", "18446744073709551616", "0x10", ""}) {
        EXPECT_NE(Complaint({"--seed", seed, "--pgn", "a"}).find("--seed"), std::string::npos) << seed;
    }
    EXPECT_EQ(Complaint({"--count", "1", "--per-page", "9", "--seed", "0", "--pgn", "a"}), "");
}

TEST(SheetOptions, MalformedCommandLinesAreRefused) {
    EXPECT_NE(Complaint({}), "");                                     // no output asked for
    EXPECT_NE(Complaint({"--count", "5"}), "");                       // still none
    EXPECT_NE(Complaint({"--pgn"}), "");                              // no value
    EXPECT_NE(Complaint({"--pdf", "a.pdf", "--colour", "red"}), "");  // unknown option
    EXPECT_NE(Complaint({"--pdf", "a.pdf", "extra"}), "");            // stray argument
    EXPECT_NE(Complaint({"--pgn", "a", "--pgn", "b"}), "");           // given twice
    EXPECT_NE(Complaint({"--pgn", "-", "--epd", "-"}), "");           // two formats mixed on one stream
    EXPECT_NE(Complaint({"--pdf", "-"}), "");                         // PDF only to a file
    EXPECT_NE(Complaint({"--pgn", "x", "--epd", "x"}), "");           // one file for two outputs
    EXPECT_NE(Complaint({"--pgn", ""}), "");
    EXPECT_NE(Complaint({"--settings", "", "--pgn", "a"}), "");
    EXPECT_NE(Complaint({"--title", "two\nlines", "--pgn", "a"}), "");
    EXPECT_NE(Complaint({"--title", "\xD0", "--pgn", "a"}), "");       // not UTF-8
    EXPECT_NE(Complaint({"--title", "a\u0085b", "--pgn", "a"}), "");   // C1: NEXT LINE
    EXPECT_NE(Complaint({"--title", "\u009b31m", "--pgn", "a"}), "");  // C1: the terminal's escape
    EXPECT_NE(Complaint({"--key", "-"}), "");                          // PDF only to a file
    EXPECT_NE(Complaint({"--pdf", "a.pdf", "--key", "a.pdf"}), "");    // the key in the worksheet's file
    EXPECT_NE(Complaint({"--key", "a", "--pgn", "a"}), "");
    EXPECT_NE(Complaint({"--name-line=yes", "--pdf", "a.pdf"}), "");  // a switch takes no value
    EXPECT_NE(Complaint({"--name-line", "--key", "k.pdf"}), "");      // the line is on the worksheet only
    EXPECT_NE(Complaint({"--name-line", "--name-line", "--pdf", "a"}), "");
    EXPECT_EQ(Complaint({"--pgn", "-", "--pdf", "a.pdf"}), "");
    EXPECT_EQ(Complaint({"--title", "", "--epd", "-"}), "");
    EXPECT_EQ(Complaint({"--title", "\u00a0\u00a9", "--epd", "-"}), "");  // just past the C1 controls
}

// --moves picks mates in one, two or three; the title it brings is only a
// default, never put over a title given.
TEST(SheetOptions, MovesTakeOneToThreeAndChangeTheDefaultTitle) {
    SheetOptions defaults;
    ASSERT_EQ(Parse({"--pgn", "a"}, defaults), "");
    EXPECT_EQ(defaults.Moves, 1);
    SheetOptions one;
    ASSERT_EQ(Parse({"--moves", "1", "--pgn", "a"}, one), "");
    EXPECT_EQ(one.Moves, 1);
    EXPECT_EQ(one.Title, "Мат в 1 ход");
    SheetOptions two;
    ASSERT_EQ(Parse({"--moves=2", "--pgn", "a"}, two), "");
    EXPECT_EQ(two.Moves, 2);
    EXPECT_EQ(two.Title, "Мат в 2 хода");
    SheetOptions three;
    ASSERT_EQ(Parse({"--moves", "3", "--pgn", "a"}, three), "");
    EXPECT_EQ(three.Title, "Мат в 3 хода");
    EXPECT_EQ(MovesPhrase(5), "5 ходов");
    EXPECT_EQ(MovesPhrase(11), "11 ходов");
    EXPECT_EQ(MovesPhrase(21), "21 ход");
    EXPECT_EQ(MovesPhrase(24), "24 хода");
    for (const auto& arguments : {std::vector<const char*>{"--title", "Урок", "--moves", "2", "--pgn", "a"},
                                  std::vector<const char*>{"--moves", "2", "--title", "Урок", "--pgn", "a"}}) {
        std::vector<const char*> argv = {"vindolar-sheets"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        SheetOptions titled;
        ASSERT_EQ(ParseSheetOptions(static_cast<int>(argv.size()), argv.data(), titled), "");
        EXPECT_EQ(titled.Title, "Урок");
    }
    SheetOptions emptyTitle;
    ASSERT_EQ(Parse({"--moves", "2", "--title", "", "--pgn", "a"}, emptyTitle), "");
    EXPECT_EQ(emptyTitle.Title, "Мат в 2 хода");  // an empty title is the default one
    for (const char* moves : {"0", "4", "12", "-1", "+2", "2x", "", "two"}) {
        EXPECT_NE(Complaint({"--moves", moves, "--pgn", "a"}).find("--moves"), std::string::npos) << moves;
    }
    EXPECT_NE(Complaint({"--moves", "2", "--moves", "2", "--pgn", "a"}), "");
}

std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int index = 0; index < times; ++index) text += piece;
    return text;
}

// A title is counted in characters, not bytes; its PGN tag value, escaped,
// must also stay within a PGN string's 255 bytes.
TEST(SheetOptions, TitlesBeyondTheLimitAreRefusedWithTheLimitNamed) {
    ASSERT_EQ(MostTitleCharacters, 100);
    for (const std::string& fits :
         {Repeated("Ж", 100), Repeated("w", 100), Repeated("\\", 50), Repeated("\"", 100), Repeated("—", 85)}) {
        SheetOptions options;
        EXPECT_EQ(Parse({"--title", fits.c_str(), "--pgn", "a"}, options), "") << fits;
        EXPECT_EQ(options.Title, fits);
    }
    const std::string tooLong = Complaint({"--title", Repeated("Ж", 101).c_str(), "--pgn", "a"});
    EXPECT_NE(tooLong.find("--title"), std::string::npos);
    EXPECT_NE(tooLong.find("100 знаков"), std::string::npos) << tooLong;
    EXPECT_NE(tooLong.find("101"), std::string::npos) << tooLong;
    EXPECT_NE(Complaint({"--title", Repeated("Ж", 300).c_str(), "--pdf", "a.pdf"}), "");
    // 86 three-byte dashes: 258 bytes; 64 four-byte signs: 256.
    for (const std::string& wide : {Repeated("—", 86), Repeated("\xF0\x9F\x98\x80", 64)}) {
        const std::string complaint = Complaint({"--title", wide.c_str(), "--pgn", "a"});
        EXPECT_NE(complaint.find("255"), std::string::npos) << complaint;
    }
}

}  // namespace
}  // namespace sheets
