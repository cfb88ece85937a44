// The geometry of the worksheet's pages.
#include "sheets/page_layout.h"

#include <algorithm>

namespace sheets {
namespace {

constexpr double ContentWidth = PageWidth - 2 * PageMargin;

// A diagram's block measured in board squares: the rank digits' column left
// of the board and the board itself across; the line with the number and
// the answer blank, the board and the file letters down; a gap to the next
// block.
constexpr double RankColumn = 0.75;
constexpr double BlockAcross = RankColumn + 8.0 + 0.55;
constexpr double NumberLine = 1.3;
constexpr double FileLine = 0.85;
constexpr double BlockDown = NumberLine + 8.0 + FileLine + 0.5;
constexpr double LargestSquare = 30.0;  // keeps four diagrams a page from swelling

constexpr double LabelShare = 0.40;   // coordinate letters against the square's edge
constexpr double NumberShare = 0.62;  // the diagram's number against the square's edge
constexpr double SmallestLabelFont = 6.5;
constexpr double SmallestNumberFont = 9.0;

}  // namespace

GridShape GridFor(int perPage) {
    switch (perPage) {
        case 4: return {2, 2};
        case 9: return {3, 3};
        case 12: return {3, 4};
        default: return {2, 3};
    }
}

DiagramPlace PlaceOfDiagram(int perPage, int slot, bool nameLine) {
    const GridShape grid = GridFor(perPage);
    const double top = ContentTop + (nameLine ? NameLineHeight : 0.0);
    const double cellWidth = ContentWidth / grid.Columns;
    const double cellHeight = (ContentBottom - top) / grid.Rows;
    const double edge = std::min({cellWidth / BlockAcross, cellHeight / BlockDown, LargestSquare});
    const int column = slot % grid.Columns;
    const int row = slot / grid.Columns;
    // The block centred in its cell.
    const double blockLeft = PageMargin + column * cellWidth + (cellWidth - BlockAcross * edge) / 2;
    const double blockTop = top + row * cellHeight + (cellHeight - BlockDown * edge) / 2;

    DiagramPlace place{};
    place.SquareEdge = edge;
    place.BoardLeft = blockLeft + RankColumn * edge;
    place.BoardTop = blockTop + NumberLine * edge;
    place.NumberFontSize = std::max(SmallestNumberFont, NumberShare * edge);
    place.NumberBaseline = place.BoardTop - 0.35 * edge;
    place.LabelFontSize = std::max(SmallestLabelFont, LabelShare * edge);
    place.RankLabelsRight = place.BoardLeft - 0.22 * edge;
    place.FileLabelsBaseline = place.BoardTop + 8 * edge + 0.62 * edge;
    return place;
}

int DiagramPages(int count, int perPage) { return (count + perPage - 1) / perPage; }

int AnswersPerPage(int columns) {
    const int rows = static_cast<int>((ContentBottom - ContentTop) / AnswerLineHeight);
    return rows * columns;
}

int AnswerPages(int count, int columns) { return (count + AnswersPerPage(columns) - 1) / AnswersPerPage(columns); }

int PageCount(int count, int perPage, int answerColumns) {
    return DiagramPages(count, perPage) + AnswerPages(count, answerColumns);
}

}  // namespace sheets
