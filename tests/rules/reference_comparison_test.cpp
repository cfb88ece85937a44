// Compares the rules core with a plain, deliberately slow rendering of the
// rules (a full king scan in every test, one play-test-take-back per entry in
// the filter) on many random positions, crowded ones included. Every answer
// must agree: the attack tests, the generated and the legal moves, whether a
// legal move exists, and whether a move gives check.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "rules/move_text.h"
#include "rules/position.h"

namespace rules {
namespace {

struct Entry {
    int fromFile, fromRow, toFile, toRow, moved, placed;
    bool operator==(const Entry& o) const {
        return fromFile == o.fromFile && fromRow == o.fromRow && toFile == o.toFile && toRow == o.toRow &&
               moved == o.moved && placed == o.placed;
    }
};

struct PlainRules {
    int board[10][10] = {};
    std::vector<Entry> list;
    int inCheck = 0;
    int sideToMove = 0;
    int kingFile[2] = {0, 0};  // [0] White, [1] Black
    int kingRow[2] = {0, 0};

    static bool On(int f, int r) { return f >= 1 && f <= 8 && r >= 1 && r <= 8; }

    void Generate(int s) {  // s = +1 White, -1 Black
        list.clear();
        static const int dir[8][2] = {{1, 1}, {-1, -1}, {-1, 1}, {1, -1}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        static const int jump[8][2] = {{2, -1}, {2, 1}, {-2, -1}, {-2, 1}, {-1, 2}, {1, 2}, {-1, -2}, {1, -2}};
        for (int x = 1; x <= 8; ++x) {
            for (int y = 1; y <= 8; ++y) {
                const int code = board[x][y];
                const int kind = code * s;
                if (kind == 9 || kind == 5 || kind == 4) {
                    const int first = kind == 5 ? 4 : 0;
                    const int last = kind == 4 ? 3 : 7;
                    for (int d = first; d <= last; ++d) {
                        for (int f = x + dir[d][0], r = y + dir[d][1]; On(f, r); f += dir[d][0], r += dir[d][1]) {
                            if (board[f][r] * s > 0) break;
                            list.push_back({x, y, f, r, code, code});
                            if (board[f][r] * s < 0) break;
                        }
                    }
                } else if (kind == 3) {
                    for (const auto& j : jump) {
                        const int f = x + j[0], r = y + j[1];
                        if (On(f, r) && board[f][r] * s <= 0) list.push_back({x, y, f, r, code, code});
                    }
                } else if (kind == 100) {
                    for (int f = x - 1; f <= x + 1; ++f) {
                        for (int r = y - 1; r <= y + 1; ++r) {
                            if (On(f, r) && board[f][r] * s <= 0) list.push_back({x, y, f, r, code, code});
                        }
                    }
                } else if (kind == 2) {
                    const int a = y - s;  // the row ahead
                    const bool last = s == 1 ? a == 1 : a == 8;
                    const bool plain = s == 1 ? a >= 2 : a <= 7;
                    auto add = [&](int f) {
                        if (plain) list.push_back({x, y, f, a, code, code});
                        if (last) {
                            for (const int k : {3, 4, 5, 9}) list.push_back({x, y, f, a, code, k * s});
                        }
                    };
                    if (y == (s == 1 ? 7 : 2) && board[x][a] == 0 && board[x][a - s] == 0) {
                        list.push_back({x, y, x, a - s, code, code});
                    }
                    if (board[x][a] == 0) add(x);
                    if (x - 1 >= 1 && board[x - 1][a] * s < 0) add(x - 1);
                    if (x + 1 <= 8 && board[x + 1][a] * s < 0) add(x + 1);
                }
            }
        }
    }

    void Test(int s) {  // is the king of side s attacked?
        const int k = s == 1 ? 0 : 1;
        int x = 0, y = 0;
        for (int f = 1; f <= 8 && x == 0; ++f) {
            for (int r = 1; r <= 8; ++r) {
                if (board[f][r] == 100 * s) {
                    x = f;
                    y = r;
                    break;
                }
            }
        }
        inCheck = 0;
        if (x == 0) return;  // no such king: nothing attacked, nothing recorded
        kingFile[k] = x;
        kingRow[k] = y;
        static const int lines[8][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, 1}, {-1, 1}, {1, -1}};
        for (int l = 0; l < 8; ++l) {
            const int slider = l < 4 ? -5 * s : -4 * s;
            for (int f = x, r = y; On(f, r); f += lines[l][0], r += lines[l][1]) {
                const int c = board[f][r];
                if (c == slider || c == -9 * s) {
                    inCheck = 1;
                    break;
                }
                if (c != 0 && c != 100 * s) break;
            }
        }
        for (int f = x - 1; f <= x + 1; ++f) {
            for (int r = y - 1; r <= y + 1; ++r) {
                if (On(f, r) && board[f][r] == -100 * s) inCheck = 1;
            }
        }
        static const int knight[8][2] = {{-2, -1}, {-2, 1}, {2, -1}, {2, 1}, {-1, -2}, {-1, 2}, {1, -2}, {1, 2}};
        for (const auto& j : knight) {
            if (On(x + j[0], y + j[1]) && board[x + j[0]][y + j[1]] == -3 * s) inCheck = 1;
        }
        for (const int f : {x - 1, x + 1}) {
            if (On(f, y - s) && board[f][y - s] == -2 * s) inCheck = 1;
        }
    }

    void Filter() {
        std::vector<Entry> kept;
        for (const Entry& e : list) {
            board[e.fromFile][e.fromRow] = 0;
            const int saved = board[e.toFile][e.toRow];
            board[e.toFile][e.toRow] = e.placed;
            if (sideToMove == 1) Test(1);
            if (sideToMove == -1) Test(-1);
            board[e.fromFile][e.fromRow] = e.moved;
            board[e.toFile][e.toRow] = saved;
            if (inCheck == 0) kept.push_back(e);
        }
        list = kept;
    }
};

void CopyState(const Position& p, PlainRules& plain) {
    for (int f = 0; f < 10; ++f) {
        for (int r = 0; r < 10; ++r) plain.board[f][r] = p.At(f, r);
    }
    plain.sideToMove = p.SideToMove();
}

std::vector<Entry> EntriesOf(const MoveList& moves) {
    std::vector<Entry> entries;
    for (int i = 1; i <= moves.Count(); ++i) {
        const Move m = moves[i];
        entries.push_back({m.FromFile, m.FromRow, m.ToFile, m.ToRow, m.MovedPiece, m.PlacedPiece});
    }
    return entries;
}

// A random board: one king a side (or, now and then, a missing one), and up
// to `most` further pieces of random kinds and colours, pawns on any row.
void RandomBoard(std::mt19937& random, Position& p, int most) {
    p = Position{};
    auto square = [&] { return std::uniform_int_distribution<int>(1, 8)(random); };
    auto place = [&](PieceCode code) {
        for (;;) {
            const int f = square(), r = square();
            if (p.At(f, r) == NoPiece) {
                p.Put(f, r, code);
                return;
            }
        }
    };
    const int shape = std::uniform_int_distribution<int>(0, 19)(random);
    if (shape != 0) place(King);
    if (shape != 1) place(-King);
    static const PieceCode kinds[] = {Pawn, Knight, Bishop, Rook, Queen};
    const int pieces = std::uniform_int_distribution<int>(0, most)(random);
    for (int i = 0; i < pieces; ++i) {
        const PieceCode kind = kinds[std::uniform_int_distribution<int>(0, 4)(random)];
        place(std::uniform_int_distribution<int>(0, 1)(random) ? kind : -kind);
    }
}

TEST(ReferenceComparison, RandomPositionsGiveIdenticalResults) {
    std::mt19937 random(20261207);
    constexpr int Positions = 3000;
    int checksGiven = 0;
    for (int n = 0; n < Positions; ++n) {
        Position p;
        RandomBoard(random, p, n % 3 == 0 ? 50 : 20);
        for (const Side side : {White, Black}) {
            SCOPED_TRACE(::testing::Message() << "position " << n << " side " << side);
            p.SetSideToMove(side);
            PlainRules plain;
            CopyState(p, plain);

            plain.Test(White);
            ASSERT_EQ(p.IsWhiteKingAttacked(), plain.inCheck == 1);
            plain.Test(Black);
            ASSERT_EQ(p.IsBlackKingAttacked(), plain.inCheck == 1);
            plain.Test(side);
            ASSERT_EQ(p.InCheck(), plain.inCheck == 1);

            plain.Generate(side);
            ASSERT_TRUE(EntriesOf(side == White ? p.GenerateWhiteMoves() : p.GenerateBlackMoves()) == plain.list);
            plain.Filter();
            const MoveList legal = p.LegalMoves();
            ASSERT_TRUE(EntriesOf(legal) == plain.list);
            ASSERT_EQ(p.HasLegalMove(), !plain.list.empty());
            ASSERT_EQ(p.IsMate(), p.InCheck() && plain.list.empty());
            ASSERT_EQ(p.IsStalemate(), !p.InCheck() && plain.list.empty());

            // A move's check, told without playing it, is the attack test's
            // after playing it; asked only where the other king stands safe.
            const bool otherKingSafe = side == White ? !p.IsBlackKingAttacked() : !p.IsWhiteKingAttacked();
            if (!otherKingSafe) continue;
            for (int entry = 1; entry <= legal.Count(); ++entry) {
                const Move move = legal[entry];
                const bool told = p.GivesCheck(move);
                const Undo undo = p.Play(move);
                ASSERT_EQ(told, p.InCheck()) << MoveText(move);
                checksGiven += told;
                p.TakeBack(move, undo);
            }
        }
    }
    EXPECT_GT(checksGiven, 1000);
}

}  // namespace
}  // namespace rules
