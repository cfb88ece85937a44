// The worksheet as PDF: pages of diagrams under the sheet's title, then the
// answer key, drawn with cairo's PDF surface (fonts embedded).
#pragma once

#include <string>
#include <vector>

#include "artwork/piece_set.h"
#include "problems/problem_series.h"

namespace sheets {

inline constexpr const char* TaskLine = "Белые начинают и дают мат в 1 ход";
inline constexpr const char* TwoMoverTaskLine = "Белые начинают и дают мат в 2 хода";
inline constexpr const char* AnswersHeading = "Ответы";
inline constexpr const char* AnswerPrompt = "Ответ:";
inline constexpr const char* LayoutFontFamily = "DejaVu Sans";

// Square colours: light squares white, dark squares a grey that a
// black-and-white printer reproduces as an even tint.
constexpr double LightSquareGrey = 1.0;
constexpr double DarkSquareGrey = 0.72;

// "Страница 2 из 5".
std::string PageNumberText(int page, int pages);
// The answer key's entry of a problem: its solution as the trainer's move
// list writes it, then "#"; for a two-mover the key with "!" and the threat
// when it has one ("1. Лa1-a6! (угроза 2. Фb7-g7#)").
std::string AnswerText(const problems::SeriesProblem& problem);

// The whole document, its pieces drawn from `pieces`: the shared artwork,
// each picture read once and stored once in the document however often it
// stands on the pages. `perPage` is one of 4, 6, 9, 12. Returns false with a
// reason in `error` when cairo could not make it.
bool WritePdf(const std::vector<problems::SeriesProblem>& problems, const std::string& title, int perPage,
              const artwork::PieceSet& pieces, std::string& pdf, std::string& error);

}  // namespace sheets
