// The worksheet as PDF: pages of diagrams under the sheet's title, then the
// answer key, drawn with cairo's PDF surface (fonts embedded). The key may
// also be a document of its own, and the worksheet one without it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "artwork/piece_set.h"
#include "problems/problem_series.h"

namespace sheets {

inline constexpr const char* AnswersHeading = "Ответы";
inline constexpr const char* AnswerPrompt = "Ответ:";
inline constexpr const char* LayoutFontFamily = "DejaVu Sans";
inline constexpr const char* VariantWord = "Вариант";
// The line of blanks for a pupil, left to right.
inline constexpr const char* NameLineLabels[] = {"Фамилия, имя", "Класс", "Дата"};

// "1…": the number of a move of Black's, as the key writes it.
inline constexpr const char* BlackMoveMark = "…";

// Square colours: light squares white, dark squares a grey that a
// black-and-white printer reproduces as an even tint.
constexpr double LightSquareGrey = 1.0;
constexpr double DarkSquareGrey = 0.72;

// "Белые начинают и дают мат в 2 хода": the line under every diagram page's title.
std::string TaskLine(int moves);

// "Страница 2 из 5": a page of diagrams, counted among the diagram pages only,
// so a pupil's copy without the key is numbered in full.
std::string PageNumberText(int page, int pages);
// "Ответы, страница 1 из 2": a page of the key, counted among the key's pages.
std::string AnswerPageNumberText(int page, int pages);
// "Вариант 11": the label that tells sets apart, printed small at the foot
// of every page of the worksheet and of the key; `seed` makes the set again.
std::string VariantText(std::uint64_t seed);
// The answer key's entry of a problem, line by line, captures written with
// ":". A mate in one: the mate with "#" ("Фd1:d5#"). A longer mate: "1. ",
// the key with "!" ("+!" when it checks) and every threat, then every Black
// defence with White's answer, for mates in three down to the mate along
// Black's most stubborn replies:
//   "1. Лa1-a6! (угроза 2. Фb7-g7#, 2. Фb7-b8#)"
//   "1… Крe8-d8 2. Фb7-d7#"
//   "1… Кc6:e5 2. Фd5:e5+ Крe8-f8 3. Лa6-a8#"
std::vector<std::string> AnswerLines(const problems::SeriesProblem& problem);
// The problem's number before its entry in the key: "15." for a mate in one,
// "№ 15" for longer ones, whose entries begin with a move number.
std::string AnswerNumberText(int number, int moves);

// The first character of `text` (valid UTF-8) that the pages' font has no
// picture for, as its own UTF-8 bytes; "" when it can draw them all.
std::string FirstUndrawableCharacter(const std::string& text);

// What a document shows besides the problems, and which of its parts it holds.
struct PdfContent {
    std::string Title;      // at most two lines on every page; shrunk as far as needed
    int PerPage = 6;        // one of 4, 6, 9, 12
    std::string Variant;    // at the foot of every page, right; "" for none
    bool NameLine = false;  // blanks for name, class and date above the diagrams
    bool Worksheet = true;  // the pages of diagrams
    bool AnswerKey = true;  // the pages of answers, after the diagrams when both are there
    // The creation and modification date, ISO 8601 in UTC ("2023-11-14T22:13:20Z");
    // "" stamps the time the document is made.
    std::string Date;
};

// The document, its pieces drawn from `pieces`: the shared artwork, each
// picture read once and stored once in the document however often it stands
// on the pages. Returns false with a reason in `error` when cairo could not
// make it.
bool WritePdf(const std::vector<problems::SeriesProblem>& problems, const PdfContent& content,
              const artwork::PieceSet& pieces, std::string& pdf, std::string& error);

}  // namespace sheets
