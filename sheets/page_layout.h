// Where things stand on the pages of a worksheet: A4 portrait in points
// (1/72 inch), the origin at the top left. The diagram pages come first,
// then the answer key.
#pragma once

#include <iterator>

namespace sheets {

constexpr double PageWidth = 595.276;   // 210 mm
constexpr double PageHeight = 841.890;  // 297 mm
constexpr double PageMargin = 42.0;
constexpr double TitleBaseline = 64.0;
constexpr double SubtitleBaseline = 88.0;
constexpr double HeaderRule = 100.0;                  // the line under the heading
constexpr double FooterBaseline = PageHeight - 30.0;  // the page number
constexpr double ContentTop = 112.0;
constexpr double ContentBottom = PageHeight - 52.0;
// The line of blanks for a pupil's name, class and date, when asked for,
// takes this much of the diagram pages' top.
constexpr double NameLineHeight = 26.0;
constexpr double NameLineBaseline = ContentTop + 12.0;

constexpr double TitleFontSize = 20.0;
constexpr double SubtitleFontSize = 12.5;
constexpr double FooterFontSize = 9.5;
constexpr double VariantFontSize = 7.5;  // the set's label at the foot's right end
constexpr double NameLineFontSize = 10.5;
constexpr double AnswerFontSize = 10.5;
constexpr double AnswerLineHeight = 15.5;
constexpr int AnswerColumns = 5;
// The answer key's columns for mates in n moves: a mate in one is short; a
// key with its threat needs the room of two and a half; with the main
// variations of a longer mate an answer takes the page's width.
constexpr int AnswerColumnsByMoves[] = {AnswerColumns, AnswerColumns, 2, 1};
constexpr int AnswerColumnsFor(int moves) {
    constexpr int longest = static_cast<int>(std::size(AnswerColumnsByMoves)) - 1;
    return AnswerColumnsByMoves[moves < 0 ? 0 : moves > longest ? longest : moves];
}

struct GridShape {
    int Columns;
    int Rows;
};
// 4: 2 x 2, 6: 2 x 3, 9: 3 x 3, 12: 3 x 4.
GridShape GridFor(int perPage);

// One diagram's place on its page, with everything in points.
struct DiagramPlace {
    double BoardLeft;  // left edge of the a-file
    double BoardTop;   // top edge of rank 8
    double SquareEdge;
    double NumberBaseline;      // the diagram's number, left-aligned at BoardLeft, and on the same
                                // line the blank for a pupil's answer, ending at the board's right edge
    double RankLabelsRight;     // the ranks' digits end here, left of the board
    double FileLabelsBaseline;  // the files' letters, under the board
    double LabelFontSize;
    double NumberFontSize;
};
// The place of slot `slot` (0 .. perPage - 1, row by row) on a diagram page,
// with or without the line for a pupil's name above the diagrams.
DiagramPlace PlaceOfDiagram(int perPage, int slot, bool nameLine = false);

// Pages of diagrams, of answers, and both, for `count` problems.
int DiagramPages(int count, int perPage);
int AnswersPerPage(int columns = AnswerColumns);
int AnswerPages(int count, int columns = AnswerColumns);
int PageCount(int count, int perPage, int answerColumns = AnswerColumns);

}  // namespace sheets
