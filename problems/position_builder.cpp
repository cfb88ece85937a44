// The random position builder: the kings as a pair, then every configured
// piece kind in a fixed order, each on a random free square of its area.
//
// The settings arrive brought into the editor's ranges (TrainerSettings), so
// the Black king's band and the White pawns' rows lie on the board and no
// count is negative; only a crowd that does not fit is decided here.
#include "problems/position_builder.h"

#include <chrono>

namespace problems {
namespace {

using rules::FirstSquare;
using rules::LastSquare;
using settings::Settings;

constexpr int SquareCount = 64;
constexpr int LastIndexDrawn = LastSquare - FirstSquare;  // RandomUpTo(7) + 1 gives 1..8

// The rows a kind may stand on.
enum class Area {
    WhitePawnRows,  // rank 2 up to PawnRankLimit: rows 9 - PawnRankLimit .. 7
    BlackPawnRows,  // ranks 2..7: rows 2..7
    WholeBoard,     // rows 1..8
};

constexpr int PawnRowNearestWhite = 7;                                         // rank 2
constexpr int PawnRowNearestBlack = 2;                                         // rank 7
constexpr int BlackPawnRowsDrawn = PawnRowNearestWhite - PawnRowNearestBlack;  // RandomUpTo(5) + 2 gives 2..7
constexpr int LowestPawnRankLimit = 2;

struct KindToPlace {
    rules::PieceCode Code;
    std::int32_t Settings::*Count;
    Area Rows;
};

// The fixed order in which the kinds are placed.
constexpr KindToPlace PlacementOrder[] = {
    {rules::Pawn, &Settings::WhitePawns, Area::WhitePawnRows},
    {-rules::Pawn, &Settings::BlackPawns, Area::BlackPawnRows},
    {rules::Knight, &Settings::WhiteKnights, Area::WholeBoard},
    {-rules::Knight, &Settings::BlackKnights, Area::WholeBoard},
    {rules::Bishop, &Settings::WhiteBishops, Area::WholeBoard},
    {-rules::Bishop, &Settings::BlackBishops, Area::WholeBoard},
    {rules::Rook, &Settings::WhiteRooks, Area::WholeBoard},
    {-rules::Rook, &Settings::BlackRooks, Area::WholeBoard},
    {rules::Queen, &Settings::WhiteQueens, Area::WholeBoard},
    {-rules::Queen, &Settings::BlackQueens, Area::WholeBoard},
};
constexpr int KindCount = sizeof(PlacementOrder) / sizeof(PlacementOrder[0]);

std::uint64_t WallClockSeed() {
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace

PositionBuilder::PositionBuilder(rules::Position& rules, const settings::TrainerSettings& settings)
    : PositionBuilder(rules, settings, WallClockSeed()) {}

PositionBuilder::PositionBuilder(rules::Position& rules, const settings::TrainerSettings& settings, std::uint64_t seed)
    : Rules(rules), Config(settings), Random(seed) {}

// Lemire's multiply-and-reject method: unbiased, and the same numbers on
// every platform for the same seed.
std::int32_t PositionBuilder::RandomUpTo(std::int32_t n) {
    const std::uint64_t range = static_cast<std::uint64_t>(n) + 1;
    unsigned __int128 product = static_cast<unsigned __int128>(Random()) * range;
    auto low = static_cast<std::uint64_t>(product);
    if (low < range) {
        const std::uint64_t threshold = (0 - range) % range;
        while (low < threshold) {
            product = static_cast<unsigned __int128>(Random()) * range;
            low = static_cast<std::uint64_t>(product);
        }
    }
    return static_cast<std::int32_t>(product >> 64);
}

void PositionBuilder::ClearBoard() { Rules.Clear(); }

bool PositionBuilder::BuildRandomPosition() {
    PlacementFailed = false;
    PlaceKings();
    for (int kind = 0; kind < KindCount; ++kind) {
        if (!PlaceKind(kind)) {
            PlacementFailed = true;
            return false;
        }
    }
    return !Rules.IsWhiteKingAttacked() && !Rules.IsBlackKingAttacked();
}

// The kings take the fewest squares of the pawns' areas when the White king
// stands on rank 1 or 8 (always allowed) and the Black king on the edge rows
// if its band reaches them, or else on its band's row nearest Black, which
// is outside the White pawns' rows whenever any of its band is. Placing the
// other kinds only needs free squares on the whole board.
bool PositionBuilder::PiecesCanFit() const {
    const Settings& counts = Config.InUse;
    const int edgeDistance = counts.KingEdgeDistance;
    const int whitePawnLowestRow = PawnRowNearestWhite - (counts.PawnRankLimit - LowestPawnRankLimit);
    const int blackKingRow = edgeDistance == 0 ? FirstSquare : FirstSquare + edgeDistance;
    const bool kingInPawnRows = blackKingRow >= PawnRowNearestBlack && blackKingRow <= PawnRowNearestWhite;
    const bool kingInWhitePawnRows = kingInPawnRows && blackKingRow >= whitePawnLowestRow;
    const int whitePawnSquares = (PawnRowNearestWhite - whitePawnLowestRow + 1) * LastSquare - kingInWhitePawnRows;
    const int blackPawnSquares =
        (PawnRowNearestWhite - PawnRowNearestBlack + 1) * LastSquare - counts.WhitePawns - kingInPawnRows;
    if (counts.WhitePawns > whitePawnSquares) return false;
    if (counts.BlackPawns > 0 && counts.BlackPawns > blackPawnSquares) return false;
    int pieces = 0;
    for (const KindToPlace& kind : PlacementOrder) pieces += counts.*kind.Count;
    return pieces <= SquareCount - 2;
}

// The kings are drawn as a pair until they stand on different squares; they
// may touch, which the attack test catches.
void PositionBuilder::PlaceKings() {
    const int edgeDistance = Config.InUse.KingEdgeDistance;
    const int span = Config.KingSpan;
    for (;;) {
        const int whiteFile = RandomUpTo(LastIndexDrawn) + 1;
        const int whiteRow = RandomUpTo(LastIndexDrawn) + 1;
        if (Rules.At(whiteFile, whiteRow) == rules::NoPiece) Rules.Put(whiteFile, whiteRow, rules::King);
        const int blackFile = RandomUpTo(span) + edgeDistance + 1;
        const int blackRow = RandomUpTo(span) + edgeDistance + 1;
        if (Rules.At(blackFile, blackRow) == rules::NoPiece) Rules.Put(blackFile, blackRow, -rules::King);
        if (Rules.At(whiteFile, whiteRow) == rules::King && Rules.At(blackFile, blackRow) == -rules::King) break;
        Rules.Put(whiteFile, whiteRow, rules::NoPiece);
        Rules.Put(blackFile, blackRow, rules::NoPiece);
    }
    OccupiedSquares = 2;
}

// Places every piece of one kind on a free square drawn from its area, drawing
// again on an occupied square. When the area has fewer free squares than the
// count asks for, nothing is drawn and the attempt fails. A count of 0 still
// draws one square, as the drawing sequence always does.
bool PositionBuilder::PlaceKind(int kind) {
    const KindToPlace& toPlace = PlacementOrder[kind];
    const std::int32_t count = Config.InUse.*toPlace.Count;
    int lowestRow = FirstSquare;  // the area's rows, for counting its free squares
    int highestRow = LastSquare;
    const int rankLimit = Config.InUse.PawnRankLimit;
    if (toPlace.Rows == Area::WhitePawnRows) {
        lowestRow = PawnRowNearestWhite - (rankLimit - LowestPawnRankLimit);
        highestRow = PawnRowNearestWhite;
    } else if (toPlace.Rows == Area::BlackPawnRows) {
        lowestRow = PawnRowNearestBlack;
        highestRow = PawnRowNearestWhite;
    }

    if (count > 0) {
        int freeSquares = SquareCount - OccupiedSquares;
        if (toPlace.Rows != Area::WholeBoard) {
            freeSquares = 0;
            for (int file = FirstSquare; file <= LastSquare; ++file) {
                for (int row = lowestRow; row <= highestRow; ++row)
                    freeSquares += Rules.At(file, row) == rules::NoPiece;
            }
        }
        if (freeSquares < count) return false;
    }

    std::int32_t placed = 0;
    do {
        const int file = RandomUpTo(LastIndexDrawn) + 1;
        int row = 0;
        switch (toPlace.Rows) {
            case Area::WhitePawnRows: row = PawnRowNearestWhite - RandomUpTo(rankLimit - LowestPawnRankLimit); break;
            case Area::BlackPawnRows: row = RandomUpTo(BlackPawnRowsDrawn) + PawnRowNearestBlack; break;
            case Area::WholeBoard: row = RandomUpTo(LastIndexDrawn) + 1; break;
        }
        if (Rules.At(file, row) == rules::NoPiece && count != 0) {
            Rules.Put(file, row, toPlace.Code);
            ++placed;
        }
    } while (placed != count);
    OccupiedSquares += count;
    return true;
}

}  // namespace problems
