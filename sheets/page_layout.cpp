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

int AnswerRows(const AnswerStyle& style) { return static_cast<int>((ContentBottom - ContentTop) / style.LineHeight); }

namespace {

// The place the next line of the key goes to.
struct KeyCursor {
    LinePlace At;
    int Columns = 1;
    void NextColumn() {
        At.Row = 0;
        if (++At.Column == Columns) {
            At.Column = 0;
            ++At.Page;
        }
    }
};

// Places entries first .. heights.size() - 1 from `start`, a column taking
// entries while they fit within `target` lines (and a tall entry going on to
// the next column after `rows`).
void Flow(const std::vector<int>& heights, std::size_t first, KeyCursor cursor, int target, int rows,
          std::vector<LinePlace>& places) {
    for (std::size_t entry = first; entry < heights.size(); ++entry) {
        if (cursor.At.Row > 0 && cursor.At.Row + heights[entry] > target) cursor.NextColumn();
        for (int line = 0; line < heights[entry]; ++line) {
            if (cursor.At.Row == rows) cursor.NextColumn();
            places.push_back(cursor.At);
            ++cursor.At.Row;
        }
    }
}

}  // namespace

std::vector<LinePlace> PlaceAnswerLines(const std::vector<int>& heights, int columns, int rows) {
    std::vector<LinePlace> places;
    KeyCursor cursor;
    cursor.Columns = columns;
    Flow(heights, 0, cursor, rows, rows, places);
    if (places.empty()) return places;
    // The entries that open the last page, when one begins it, are laid out
    // again in columns of even height.
    const int lastPage = places.back().Page;
    std::size_t line = 0;
    std::size_t entry = 0;
    while (entry < heights.size() && !(places[line] == LinePlace{lastPage, 0, 0})) line += heights[entry++];
    if (entry == heights.size()) return places;
    int lines = 0;
    for (std::size_t rest = entry; rest < heights.size(); ++rest) lines += heights[rest];
    std::vector<LinePlace> even(places.begin(), places.begin() + static_cast<std::ptrdiff_t>(line));
    cursor.At = {lastPage, 0, 0};
    Flow(heights, entry, cursor, (lines + columns - 1) / columns, rows, even);
    return even.back().Page == lastPage ? even : places;
}

}  // namespace sheets
