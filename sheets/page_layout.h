// Where things stand on the pages of a worksheet: A4 portrait in points
// (1/72 inch), the origin at the top left. The diagram pages come first,
// then the answer key.
#pragma once

#include <iterator>
#include <vector>

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
// How the answer key is set for mates in n. A mate in one is one short line
// in five columns; a longer mate's key, threats and every defence take two
// columns of small type, as many pages as they need.
struct AnswerStyle {
    int Columns;
    double FontSize;
    double LineHeight;   // from one baseline to the next
    double NumberWidth;  // room for the problem's number ("1000.", "№ 1000") before its lines
    bool BreaksLines;    // a line too wide for its column goes on in the next; otherwise it is set smaller
};
constexpr AnswerStyle AnswerStyles[] = {
    {5, 10.5, 15.5, 30.0, false}, {5, 10.5, 15.5, 30.0, false}, {2, 8.0, 10.0, 30.0, true}};
constexpr AnswerStyle AnswerStyleFor(int moves) {
    constexpr int longest = static_cast<int>(std::size(AnswerStyles)) - 1;
    return AnswerStyles[moves < 0 ? 0 : moves > longest ? longest : moves];
}
// The lines one column of the key holds.
int AnswerRows(const AnswerStyle& style);

// Where one line of the key stands: its page of the key (from 0), column and
// row (from 0, top down).
struct LinePlace {
    int Page = 0;
    int Column = 0;
    int Row = 0;
    bool operator==(const LinePlace& other) const {
        return Page == other.Page && Column == other.Column && Row == other.Row;
    }
};
// The places of the key's lines, entry after entry, `heights[i]` lines in
// entry i, column by column and page by page with `rows` lines a column. An
// entry that does not fit the rest of a column starts the next one, unless
// it is taller than a column itself; the last page's columns are made even
// where its entries allow.
std::vector<LinePlace> PlaceAnswerLines(const std::vector<int>& heights, int columns, int rows);

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

// Pages of diagrams for `count` problems.
int DiagramPages(int count, int perPage);

}  // namespace sheets
