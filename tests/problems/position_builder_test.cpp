#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "problems/trainer_rules.h"
#include "problems/position_builder.h"
#include "tests/problems/test_support.h"

namespace problems {
namespace {

using testing::MakeSettings;

constexpr rules::PieceCode KindsInSettingsOrder[10] = {
    rules::Pawn,  rules::Knight,  rules::Bishop,  rules::Rook,  rules::Queen,
    -rules::Pawn, -rules::Knight, -rules::Bishop, -rules::Rook, -rules::Queen,
};

std::map<rules::PieceCode, int> CountPieces(const rules::Position& position) {
    std::map<rules::PieceCode, int> counts;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            if (position.At(file, row) != rules::NoPiece) ++counts[position.At(file, row)];
        }
    }
    return counts;
}

bool BorderRingEmpty(const rules::Position& position) {
    for (int a = 0; a < rules::BoardCells; ++a) {
        for (const int b : {0, rules::BoardCells - 1}) {
            if (position.At(a, b) != rules::NoPiece || position.At(b, a) != rules::NoPiece) return false;
        }
    }
    return true;
}

// The squares (file, row) where pieces of one code stand.
std::set<std::pair<int, int>> SquaresOf(const rules::Position& position, rules::PieceCode code);

// The square (file, row) of the king of one colour: the one square where it stands.
std::pair<int, int> KingSquare(const rules::Position& position, rules::PieceCode king) {
    const auto squares = SquaresOf(position, king);
    EXPECT_EQ(squares.size(), 1u);
    return squares.empty() ? std::pair<int, int>{0, 0} : *squares.begin();
}

// The squares (file, row) where pieces of one code stand.
std::set<std::pair<int, int>> SquaresOf(const rules::Position& position, rules::PieceCode code) {
    std::set<std::pair<int, int>> squares;
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            if (position.At(file, row) == code) squares.insert({file, row});
        }
    }
    return squares;
}

struct PositionBuilderTest : ::testing::Test {
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);

    bool Testable = false;  // what the last Build returned

    void Build(PositionBuilder& builder) {
        builder.ClearBoard();
        Testable = builder.BuildRandomPosition();
    }
};

TEST_F(PositionBuilderTest, PlacesExactlyTheCountsAskedFor) {
    const int spread[][10] = {
        {2, 1, 1, 0, 1, 3, 0, 1, 1, 0},
        {8, 2, 2, 2, 1, 8, 2, 2, 2, 1},
        {0, 10, 0, 10, 0, 0, 10, 0, 10, 0},
        {5, 3, 4, 2, 1, 6, 1, 0, 3, 2},
    };
    int seed = 1;
    for (const auto& counts : spread) {
        const settings::TrainerSettings config = MakeSettings(counts, 1, 5, 0);
        PositionBuilder builder(*Rules, config, seed++);
        for (int attempt = 0; attempt < 300; ++attempt) {
            Build(builder);
            ASSERT_FALSE(builder.PlacementFailed);
            auto pieces = CountPieces(*Rules);
            EXPECT_EQ(pieces[rules::King], 1);
            EXPECT_EQ(pieces[-rules::King], 1);
            for (int kind = 0; kind < 10; ++kind) EXPECT_EQ(pieces[KindsInSettingsOrder[kind]], counts[kind]);
        }
    }
}

TEST_F(PositionBuilderTest, OnlyTheKingsWhenAllCountsAreZero) {
    const int none[10] = {};
    const settings::TrainerSettings config = MakeSettings(none, 0, 2, 0);
    PositionBuilder builder(*Rules, config, 7);
    for (int attempt = 0; attempt < 200; ++attempt) {
        Build(builder);
        auto pieces = CountPieces(*Rules);
        EXPECT_EQ(pieces.size(), 2u);
        // Touching kings are attacked kings; kings apart are not.
        const auto [whiteFile, whiteRow] = KingSquare(*Rules, rules::King);
        const auto [blackFile, blackRow] = KingSquare(*Rules, -rules::King);
        const bool touching = std::abs(whiteFile - blackFile) <= 1 && std::abs(whiteRow - blackRow) <= 1;
        EXPECT_EQ(Testable, !touching);
    }
}

TEST_F(PositionBuilderTest, BlackKingStaysInItsBandForEveryEdgeDistance) {
    const int none[10] = {};
    for (int distance = 0; distance <= 3; ++distance) {
        const settings::TrainerSettings config = MakeSettings(none, distance, 2, 0);
        PositionBuilder builder(*Rules, config, 100 + distance);
        std::set<std::pair<int, int>> seen;
        std::set<std::pair<int, int>> whiteSeen;
        for (int attempt = 0; attempt < 3000; ++attempt) {
            Build(builder);
            const auto [file, row] = KingSquare(*Rules, -rules::King);
            ASSERT_GE(file, distance + 1);
            ASSERT_LE(file, 8 - distance);
            ASSERT_GE(row, distance + 1);
            ASSERT_LE(row, 8 - distance);
            seen.insert({file, row});
            whiteSeen.insert(KingSquare(*Rules, rules::King));
        }
        const std::size_t band = static_cast<std::size_t>((8 - 2 * distance) * (8 - 2 * distance));
        EXPECT_EQ(seen.size(), band) << "distance " << distance;
        EXPECT_EQ(whiteSeen.size(), 64u);
    }
}

TEST_F(PositionBuilderTest, PawnsStayOnTheirRanksForEveryRankLimit) {
    const int pawns[10] = {6, 0, 0, 0, 0, 6, 0, 0, 0, 0};
    for (int limit = 2; limit <= 7; ++limit) {
        const settings::TrainerSettings config = MakeSettings(pawns, 0, limit, 0);
        PositionBuilder builder(*Rules, config, 200 + limit);
        std::set<int> whiteRows;
        std::set<int> blackRows;
        for (int attempt = 0; attempt < 400; ++attempt) {
            Build(builder);
            if (builder.PlacementFailed) continue;  // six pawns need six free squares on rank 2
            for (const auto& [file, row] : SquaresOf(*Rules, rules::Pawn)) whiteRows.insert(row);
            for (const auto& [file, row] : SquaresOf(*Rules, -rules::Pawn)) blackRows.insert(row);
        }
        // Rank 2 is row 7; rank `limit` is row 9 - limit.
        std::set<int> expected;
        for (int row = 9 - limit; row <= 7; ++row) expected.insert(row);
        EXPECT_EQ(whiteRows, expected) << "limit " << limit;
        EXPECT_EQ(blackRows, (std::set<int>{2, 3, 4, 5, 6, 7}));
    }
}

TEST_F(PositionBuilderTest, TooManyPiecesEndTheAttemptAsFailed) {
    const int crowd[10] = {8, 10, 10, 10, 10, 8, 10, 10, 10, 10};  // 96 pieces for 62 squares
    const settings::TrainerSettings config = MakeSettings(crowd, 0, 7, 0);
    PositionBuilder builder(*Rules, config, 3);
    for (int attempt = 0; attempt < 200; ++attempt) {
        Build(builder);
        EXPECT_TRUE(builder.PlacementFailed);
        EXPECT_FALSE(Testable);
    }
}

// The answer before any attempt agrees with what attempts find: with room
// some build places every piece, without room none ever does.
TEST_F(PositionBuilderTest, PiecesCanFitTellsBeforehandWhetherAnyBuildCanPlaceThem) {
    struct Case {
        int Counts[10];
        int KingEdgeDistance;
        int PawnRankLimit;
        bool Fit;
    };
    const Case cases[] = {
        {{0, 10, 10, 10, 10, 0, 10, 10, 2, 0}, 0, 4, true},     // 62 pieces and the kings fill the board
        {{0, 10, 10, 10, 10, 0, 10, 10, 3, 0}, 0, 4, false},    // 63
        {{8, 10, 10, 10, 10, 8, 10, 10, 10, 10}, 3, 7, false},  // 96
        {{8, 10, 10, 10, 6, 8, 10, 0, 0, 0}, 3, 2, true},       // 62 with pawns on rank 2 and 7
        {{8, 0, 0, 0, 0, 8, 0, 0, 0, 0}, 3, 2, true},           // the Black king's band keeps off rank 2
        {{2, 1, 1, 0, 1, 3, 0, 1, 1, 0}, 1, 4, true},
    };
    int seed = 60;
    for (const Case& c : cases) {
        SCOPED_TRACE("case " + std::to_string(seed - 59));
        const settings::TrainerSettings config = MakeSettings(c.Counts, c.KingEdgeDistance, c.PawnRankLimit, 0);
        PositionBuilder builder(*Rules, config, seed++);
        EXPECT_EQ(builder.PiecesCanFit(), c.Fit);
        bool placed = false;
        for (int attempt = 0; attempt < 2000 && !placed; ++attempt) {
            Build(builder);
            placed = !builder.PlacementFailed;
        }
        EXPECT_EQ(placed, c.Fit);
    }
}

TEST_F(PositionBuilderTest, EightPawnsOnRankTwoFitOnlyWithoutAKingThere) {
    const int pawns[10] = {8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const settings::TrainerSettings config = MakeSettings(pawns, 0, 2, 0);
    PositionBuilder builder(*Rules, config, 5);
    constexpr int RankTwoRow = 7;
    int failed = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        Build(builder);
        const bool kingOnRankTwo = KingSquare(*Rules, rules::King).second == RankTwoRow ||
                                   KingSquare(*Rules, -rules::King).second == RankTwoRow;
        EXPECT_EQ(builder.PlacementFailed, kingOnRankTwo);
        if (builder.PlacementFailed) {
            ++failed;
            EXPECT_FALSE(Testable);
        } else {
            EXPECT_EQ(SquaresOf(*Rules, rules::Pawn).size(), 8u);
        }
    }
    EXPECT_GT(failed, 0);
}

// Values the editor never writes, taken in as the trainer's reader takes
// them, still give positions on the board.
TEST_F(PositionBuilderTest, SettingsOutsideTheEditorsRangesStayOnTheBoard) {
    struct Odd {
        int Counts[10];
        int KingEdgeDistance;
        int PawnRankLimit;
    };
    const Odd cases[] = {
        {{3, 0, 0, 0, 0, 3, 0, 0, 0, 0}, 0, 0},  // missing file: pawn limit 0
        {{3, 0, 0, 0, 0, 3, 0, 0, 0, 0}, 0, -4}, {{3, 0, 0, 0, 0, 3, 0, 0, 0, 0}, 0, 99},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 8, 5},                                             // king distance 8
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 5, 5},                                             // distance 5
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, -2, 5}, {{-3, 0, -1, 0, 0, 0, 0, 0, 0, 0}, 1, 4},  // negative counts
        {{0, 0, 0, 0, 70, 0, 0, 0, 0, 0}, 1, 4},  // more than the editor allows
    };
    int seed = 40;
    for (const Odd& odd : cases) {
        settings::TrainerSettings config = MakeSettings(odd.Counts, odd.KingEdgeDistance, odd.PawnRankLimit, 0);
        PositionBuilder builder(*Rules, config, seed++);
        for (int attempt = 0; attempt < 200; ++attempt) {
            Build(builder);
            ASSERT_TRUE(BorderRingEmpty(*Rules));
            ASSERT_EQ(SquaresOf(*Rules, -rules::King).size(), 1u);
            for (const auto& [file, row] : SquaresOf(*Rules, rules::Pawn)) {
                EXPECT_GE(row, 2);
                EXPECT_LE(row, 7);
            }
        }
    }
}

TEST_F(PositionBuilderTest, RandomUpToCoversItsRangeAndRepeatsForTheSameSeed) {
    const int none[10] = {};
    const settings::TrainerSettings config = MakeSettings(none, 0, 2, 0);
    PositionBuilder first(*Rules, config, 99);
    PositionBuilder second(*Rules, config, 99);
    std::set<int> seen;
    for (int draw = 0; draw < 500; ++draw) {
        const int value = first.RandomUpTo(5);
        EXPECT_EQ(value, second.RandomUpTo(5));
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 5);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(first.RandomUpTo(0), 0);
}

// The kings take the first four draws (White's file and row over the whole
// board, then Black's in his band); every kind then draws at least one
// square, even with a count of 0.
TEST_F(PositionBuilderTest, DrawsFollowTheFixedSequence) {
    const int none[10] = {};
    const settings::TrainerSettings config = MakeSettings(none, 2, 2, 0);
    // The upper bounds of the file and row draws of the ten kinds: White pawns
    // (rank limit 2: one row), Black pawns (six rows), then the pieces.
    constexpr int RowBounds[10] = {0, 5, 7, 7, 7, 7, 7, 7, 7, 7};
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        PositionBuilder builder(*Rules, config, seed);
        PositionBuilder twin(*Rules, config, seed);
        const int whiteFile = twin.RandomUpTo(7) + 1;
        const int whiteRow = twin.RandomUpTo(7) + 1;
        const int blackFile = twin.RandomUpTo(3) + 3;
        const int blackRow = twin.RandomUpTo(3) + 3;
        if (whiteFile == blackFile && whiteRow == blackRow) continue;  // the pair is drawn again
        Build(builder);
        EXPECT_EQ(Rules->At(whiteFile, whiteRow), rules::King);
        EXPECT_EQ(Rules->At(blackFile, blackRow), -rules::King);
        for (const int rowBound : RowBounds) {
            twin.RandomUpTo(7);
            twin.RandomUpTo(rowBound);
        }
        EXPECT_EQ(builder.RandomUpTo(1000000), twin.RandomUpTo(1000000)) << "seed " << seed;
    }
}

}  // namespace
}  // namespace problems
