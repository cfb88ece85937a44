// The command line of vindolar-sheets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "problems/problem_style.h"

namespace sheets {

inline constexpr const char* ProgramName = "vindolar-sheets";
inline constexpr const char* StandardStream = "-";  // PGN or EPD to standard output

constexpr int FewestProblems = 1;
constexpr int MostProblems = 1000;
constexpr int DefaultProblems = 12;
constexpr int DefaultPerPage = 6;
constexpr int PerPageChoices[] = {4, 6, 9, 12};
// A title must fit the pages in at most two lines and a PGN tag: at most this
// many characters, and its PGN tag value (escaped) within the bytes a PGN
// string may hold.
constexpr int MostTitleCharacters = 100;
constexpr std::size_t MostPgnStringBytes = 255;
constexpr int MostMoves = 3;          // --moves: mates in 1, 2 or 3
constexpr int MostDifficulty = 9999;  // --difficulty: estimates up to this

// Estimates from Lowest to Highest, both included.
struct DifficultyRange {
    int Lowest = 0;
    int Highest = 0;
    [[nodiscard]] bool Holds(int estimate) const { return estimate >= Lowest && estimate <= Highest; }
};
// A seed the program picks itself is short enough to be read out to a class.
constexpr std::uint64_t MostPickedSeed = 99999;

// --style's values: sound problems, or composed ones (mates in 2 and 3).
inline constexpr const char* SoundStyleName = "sound";
inline constexpr const char* ComposedStyleName = "composed";

// "1 ход", "2 хода", "5 ходов": a number of moves as Russian counts them.
std::string MovesPhrase(int moves);
// The title of a sheet without --title: "Мат в 1 ход", "Мат в 3 хода".
std::string DefaultTitle(int moves);

struct SheetOptions {
    std::string SettingsPath = "set_figure.txt";
    int Count = DefaultProblems;
    std::optional<std::uint64_t> Seed;  // none: taken from the clock
    int PerPage = DefaultPerPage;
    int Moves = 1;                        // --moves: White mates in this many moves
    std::string Title = DefaultTitle(1);  // DefaultTitle(Moves) without --title or with an empty one
    problems::ProblemStyle Style = problems::ProblemStyle::Sound;  // --style
    // Empty when that output is not asked for; StandardStream for PGN or EPD
    // on standard output.
    std::string PdfPath;
    std::string KeyPath;  // the answer key as a PDF of its own; the worksheet then has none
    std::string PgnPath;
    std::string EpdPath;
    bool NameLine = false;                      // blanks for a pupil's name, class and date on the worksheet's pages
    bool EasyFirst = false;                     // --order easy-first: the set sorted by estimated difficulty
    std::optional<DifficultyRange> Difficulty;  // --difficulty LOW-HIGH: only problems estimated in the range
    bool Partial = false;                       // --partial: a set that came out short is written as it is
    bool Help = false;                          // --help: print the usage and do nothing else

    // Whether PGN and EPD carry each problem's estimate.
    [[nodiscard]] bool ShowsDifficulty() const { return EasyFirst || Difficulty.has_value(); }
};

// The usage lines printed by --help.
std::string UsageText();

// Reads the arguments after the program name (argv[1..argc-1]) into
// `options`. Each option takes its value as the next argument or after "="
// ("--count 20", "--count=20"); --name-line and --partial take none. Returns "" when they are good, otherwise one
// line (without the program name) that says what is wrong.
std::string ParseSheetOptions(int argc, const char* const* argv, SheetOptions& options);

}  // namespace sheets
