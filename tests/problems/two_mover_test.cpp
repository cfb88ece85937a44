// The two-mover search against a slow solver of its own: a separate board of
// 64 squares, its own move generator with en passant and every promotion, and
// a plain search for mates in one and two. Nothing here uses the rules core.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "problems/position_builder.h"
#include "problems/two_mover_rules.h"
#include "problems/two_mover_search.h"
#include "problems/two_mover_series.h"
#include "settings/settings.h"

namespace problems {
namespace {

// Squares 0..63, a1 = 0, h8 = 63. Pieces: 1 pawn, 2 knight, 3 bishop, 4 rook,
// 5 queen, 6 king; negative for Black.
enum : int { P = 1, N, B, R, Q, K };

struct Plain {
    int To = 0, From = 0, Promote = 0;  // Promote: the kind a pawn becomes, or 0
    bool operator==(const Plain& o) const { return To == o.To && From == o.From && Promote == o.Promote; }
};

struct Board {
    int Sq[64] = {};
    int Side = 1;
    int EnPassant = -1;  // the square passed over by a double step just made
};

int FileOf(int s) { return s % 8; }
int RankOf(int s) { return s / 8; }
bool On(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

bool Attacked(const Board& b, int s, int by) {
    const int f = FileOf(s), r = RankOf(s);
    const int pr = r - by;  // a pawn of `by` attacking s stands one rank behind it
    for (int df : {-1, 1})
        if (On(f + df, pr) && b.Sq[pr * 8 + f + df] == by * P) return true;
    const int jumps[8][2] = {{1, 2}, {2, 1}, {-1, 2}, {-2, 1}, {1, -2}, {2, -1}, {-1, -2}, {-2, -1}};
    for (auto& j : jumps)
        if (On(f + j[0], r + j[1]) && b.Sq[(r + j[1]) * 8 + f + j[0]] == by * N) return true;
    for (int df = -1; df <= 1; ++df)
        for (int dr = -1; dr <= 1; ++dr) {
            if ((df || dr) && On(f + df, r + dr) && b.Sq[(r + dr) * 8 + f + df] == by * K) return true;
            if (!df && !dr) continue;
            const bool diagonal = df && dr;
            for (int x = f + df, y = r + dr; On(x, y); x += df, y += dr) {
                const int p = b.Sq[y * 8 + x];
                if (!p) continue;
                if (p == by * Q || p == by * (diagonal ? B : R)) return true;
                break;
            }
        }
    return false;
}

bool InCheck(const Board& b, int side) {
    for (int s = 0; s < 64; ++s)
        if (b.Sq[s] == side * K) return Attacked(b, s, -side);
    return false;
}

Board After(const Board& b, const Plain& m) {
    Board n = b;
    const int p = n.Sq[m.From];
    if (std::abs(p) == P && m.To == b.EnPassant) n.Sq[m.To - 8 * b.Side] = 0;
    n.Sq[m.To] = m.Promote ? b.Side * m.Promote : p;
    n.Sq[m.From] = 0;
    n.EnPassant = std::abs(p) == P && std::abs(m.To - m.From) == 16 ? (m.To + m.From) / 2 : -1;
    n.Side = -b.Side;
    return n;
}

std::vector<Plain> Legal(const Board& b) {
    std::vector<Plain> pseudo;
    const int us = b.Side;
    auto add = [&](int from, int to) {
        if (std::abs(b.Sq[from]) == P && (RankOf(to) == 0 || RankOf(to) == 7)) {
            for (int k : {N, B, R, Q}) pseudo.push_back({to, from, k});
        } else {
            pseudo.push_back({to, from, 0});
        }
    };
    for (int s = 0; s < 64; ++s) {
        const int p = b.Sq[s] * us;
        if (p <= 0) continue;
        const int f = FileOf(s), r = RankOf(s);
        if (p == P) {
            const int r1 = r + us;
            if (On(f, r1) && !b.Sq[r1 * 8 + f]) {
                add(s, r1 * 8 + f);
                const int start = us == 1 ? 1 : 6;
                if (r == start && !b.Sq[(r1 + us) * 8 + f]) add(s, (r1 + us) * 8 + f);
            }
            for (int df : {-1, 1}) {
                if (!On(f + df, r1)) continue;
                const int t = r1 * 8 + f + df;
                if (b.Sq[t] * us < 0 || t == b.EnPassant) add(s, t);
            }
            continue;
        }
        if (p == N || p == K) {
            const int jumps[8][2] = {{1, 2}, {2, 1}, {-1, 2}, {-2, 1}, {1, -2}, {2, -1}, {-1, -2}, {-2, -1}};
            const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
            for (int i = 0; i < 8; ++i) {
                const int x = f + (p == N ? jumps[i][0] : steps[i][0]);
                const int y = r + (p == N ? jumps[i][1] : steps[i][1]);
                if (On(x, y) && b.Sq[y * 8 + x] * us <= 0) add(s, y * 8 + x);
            }
            continue;
        }
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr) {
                if (!df && !dr) continue;
                const bool diagonal = df && dr;
                if ((p == B && !diagonal) || (p == R && diagonal)) continue;
                for (int x = f + df, y = r + dr; On(x, y); x += df, y += dr) {
                    const int t = y * 8 + x;
                    if (b.Sq[t] * us > 0) break;
                    add(s, t);
                    if (b.Sq[t]) break;
                }
            }
    }
    std::vector<Plain> legal;
    for (const Plain& m : pseudo)
        if (!InCheck(After(b, m), us)) legal.push_back(m);
    return legal;
}

bool Mates(const Board& b, const Plain& m) {
    const Board n = After(b, m);
    return InCheck(n, n.Side) && Legal(n).empty();
}

std::vector<Plain> MatesInOne(const Board& b) {
    std::vector<Plain> mates;
    for (const Plain& m : Legal(b))
        if (Mates(b, m)) mates.push_back(m);
    return mates;
}

bool ForcesMate(const Board& b, const Plain& key) {
    const Board n = After(b, key);
    const std::vector<Plain> defences = Legal(n);
    if (defences.empty()) return false;
    for (const Plain& d : defences)
        if (MatesInOne(After(n, d)).empty()) return false;
    return true;
}

std::vector<Plain> Keys(const Board& b) {
    std::vector<Plain> keys;
    for (const Plain& m : Legal(b))
        if (ForcesMate(b, m)) keys.push_back(m);
    return keys;
}

int KindOfCode(int code) {
    switch (std::abs(code)) {
        case rules::Pawn: return P;
        case rules::Knight: return N;
        case rules::Bishop: return B;
        case rules::Rook: return R;
        case rules::Queen: return Q;
        case rules::King: return K;
        default: return 0;
    }
}

Board FromCells(const rules::BoardCellsArray& cells) {
    Board b;
    for (int file = 1; file <= 8; ++file)
        for (int row = 1; row <= 8; ++row) {
            const int code = cells[file][row];
            b.Sq[(8 - row) * 8 + file - 1] = code > 0 ? KindOfCode(code) : -KindOfCode(code);
        }
    return b;
}

Board FromFen(const std::string& fen) {
    Board b;
    int rank = 7, file = 0;
    const std::string kinds = "pnbrqk";
    std::size_t i = 0;
    for (; i < fen.size() && fen[i] != ' '; ++i) {
        const char c = fen[i];
        if (c == '/') {
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            const int kind = static_cast<int>(kinds.find(static_cast<char>(std::tolower(c)))) + 1;
            b.Sq[rank * 8 + file++] = std::isupper(static_cast<unsigned char>(c)) ? kind : -kind;
        }
    }
    b.Side = fen.substr(i + 1, 1) == "w" ? 1 : -1;
    const std::string rest = fen.substr(i + 3);
    const std::size_t blank = rest.find(' ');
    const std::string ep = rest.substr(blank + 1, 2);
    if (ep[0] != '-') b.EnPassant = (ep[1] - '1') * 8 + (ep[0] - 'a');
    return b;
}

rules::BoardCellsArray ToCells(const Board& b) {
    constexpr int codes[] = {0, rules::Pawn, rules::Knight, rules::Bishop, rules::Rook, rules::Queen, rules::King};
    rules::BoardCellsArray cells{};
    for (int s = 0; s < 64; ++s) {
        const int p = b.Sq[s];
        cells[FileOf(s) + 1][8 - RankOf(s)] = p > 0 ? codes[p] : -codes[-p];
    }
    return cells;
}

Plain FromMove(const rules::Move& m) {
    const int promote = m.PlacedPiece != m.MovedPiece ? KindOfCode(m.PlacedPiece) : 0;
    return {(8 - m.ToRow) * 8 + m.ToFile - 1, (8 - m.FromRow) * 8 + m.FromFile - 1, promote};
}

problems::TwoMoverVerdict Verdict(const std::string& fen, rules::Move& key) {
    problems::TwoMoverSearch search;
    return search.Judge(ToCells(FromFen(fen)), problems::AnyKeyKind, key);
}

settings::TrainerSettings SettingsOf(const settings::Settings& values) {
    settings::TrainerSettings config;
    config.Adopt(values);
    return config;
}

settings::Settings ExampleValues() {
    settings::Settings values;
    values.WhitePawns = 2;
    values.WhiteKnights = 1;
    values.WhiteBishops = 1;
    values.WhiteQueens = 1;
    values.BlackPawns = 3;
    values.BlackBishops = 1;
    values.BlackRooks = 1;
    values.CellSize = 50;
    values.KingEdgeDistance = 1;
    values.PawnRankLimit = 4;
    values.FirstMovePieceName = "любая";
    return values;
}

// Leaves of the legal-move tree, by the full rules and by the solver's own generator.
std::uint64_t FullRulesLeaves(problems::FullRules& rules, int depth) {
    if (depth == 0) return 1;
    std::vector<rules::Move> moves;
    rules.LegalMoves(moves);
    std::uint64_t leaves = 0;
    for (const rules::Move& m : moves) {
        const problems::PlayedMove played = rules.Play(m);
        leaves += FullRulesLeaves(rules, depth - 1);
        rules.TakeBack(played);
    }
    return leaves;
}

std::uint64_t PlainLeaves(const Board& b, int depth) {
    if (depth == 0) return 1;
    std::uint64_t leaves = 0;
    for (const Plain& m : Legal(b)) leaves += PlainLeaves(After(b, m), depth - 1);
    return leaves;
}

TEST(TwoMoverSearch, GeneratedTwoMoversAreConfirmedByTheSlowSolver) {
    for (const bool pawnHeavy : {false, true}) {
        settings::Settings values = ExampleValues();
        if (pawnHeavy) {
            values.WhitePawns = 6;
            values.BlackPawns = 6;
            values.PawnRankLimit = 6;
        }
        problems::TwoMoverSeries series(SettingsOf(values), pawnHeavy ? 11 : 5);
        ASSERT_TRUE(series.Draw(120, nullptr));
        int enPassantLines = 0;
        int promotions = 0;
        for (const problems::SeriesProblem& problem : series.Problems) {
            const Board b = FromCells(problem.Board);
            SCOPED_TRACE(problem.Fen);
            ASSERT_TRUE(MatesInOne(b).empty());
            const std::vector<Plain> keys = Keys(b);
            ASSERT_EQ(keys.size(), 1U);
            const problems::TwoMoverSolution& solution = problem.TwoMover;
            EXPECT_EQ(keys[0], FromMove(solution.Key));
            promotions += keys[0].Promote != 0;
            const Board afterKey = After(b, keys[0]);
            const std::vector<Plain> defences = Legal(afterKey);
            ASSERT_EQ(defences.size(), solution.Defences.size());
            // Every defence once, in whatever order; each with all its mates.
            for (const problems::TwoMoverDefence& line : solution.Defences) {
                const Plain defence = FromMove(line.Defence);
                int same = 0;
                for (const Plain& d : defences) same += d == defence;
                ASSERT_EQ(same, 1);
                const Board afterDefence = After(afterKey, defence);
                const std::vector<Plain> mates = MatesInOne(afterDefence);
                ASSERT_EQ(mates.size(), line.Mates.size());
                for (const rules::Move& mate : line.Mates) {
                    EXPECT_TRUE(Mates(afterDefence, FromMove(mate)));
                    if (afterDefence.EnPassant >= 0 && FromMove(mate).To == afterDefence.EnPassant &&
                        std::abs(afterDefence.Sq[FromMove(mate).From]) == P)
                        ++enPassantLines;
                }
            }
            // The threat: White's mates were Black to pass after a quiet key.
            Board passed = afterKey;
            passed.Side = 1;
            passed.EnPassant = -1;
            const bool checks = InCheck(afterKey, -1);
            EXPECT_EQ(solution.KeyChecks, checks);
            const std::vector<Plain> threats = checks ? std::vector<Plain>{} : MatesInOne(passed);
            ASSERT_EQ(threats.size(), solution.Threats.size());
            for (const rules::Move& threat : solution.Threats) EXPECT_TRUE(Mates(passed, FromMove(threat)));
        }
        RecordProperty(pawnHeavy ? "pawn_heavy_en_passant_mates" : "example_en_passant_mates", enPassantLines);
        RecordProperty(pawnHeavy ? "pawn_heavy_promotion_keys" : "example_promotion_keys", promotions);
    }
}

TEST(TwoMoverSearch, FullRulesCountTheSameLeavesAsTheSlowGenerator) {
    // Double steps on both sides with pawns beside them, promotions both ways,
    // and an en-passant capture that would expose the king along the rank.
    const char* fens[] = {
        "4k3/2p1p3/8/1P1P4/8/8/3p2P1/R3K3 b - - 0 1", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k3/1P4p1/8/8/5p2/8/4P1P1/4K2R w - - 0 1",  "8/8/8/K1pP3q/8/8/8/7k w - - 0 1",
        "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",    "7k/8/8/8/2p1p3/8/3P4/3K4 w - - 0 1",
    };
    for (const char* fen : fens) {
        SCOPED_TRACE(fen);
        const Board b = FromFen(fen);
        problems::FullRules rules;
        rules.SetUp(ToCells(b), b.Side);
        for (int depth = 1; depth <= 3; ++depth) EXPECT_EQ(FullRulesLeaves(rules, depth), PlainLeaves(b, depth));
    }
}

TEST(TwoMoverSearch, FixedPositionsAreJudgedByTheWholeRules) {
    rules::Move key;
    // Two keys: either rook mates in two against a bare king... or mates at once.
    EXPECT_NE(Verdict("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", key), problems::TwoMoverVerdict::Sound);
    EXPECT_EQ(Verdict("7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", key), problems::TwoMoverVerdict::SeveralKeys);
    // Black in check, kings side by side, a pawn on the last rank, castling possible.
    EXPECT_EQ(Verdict("4k3/8/8/8/8/8/8/4K2R w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("4k3/4R3/8/8/8/8/8/K7 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("8/8/8/8/8/8/4k3/4K3 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    EXPECT_EQ(Verdict("P3k3/8/8/8/8/8/8/K7 w - - 0 1", key), problems::TwoMoverVerdict::IllegalPosition);
    // A mate in one is no two-mover.
    EXPECT_EQ(Verdict("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", key), problems::TwoMoverVerdict::MateInOne);
}

TEST(TwoMoverSearch, TheSlowSolverAgreesOnRandomPositions) {
    // Every verdict on random positions of the example settings, sound or not.
    settings::TrainerSettings config = SettingsOf(ExampleValues());
    auto rules = std::make_unique<rules::Position>();
    problems::PositionBuilder builder(*rules, config, 3);
    problems::TwoMoverSearch search;
    int judged = 0;
    for (int attempt = 0; attempt < 3000 && judged < 400; ++attempt) {
        builder.ClearBoard();
        if (!builder.BuildRandomPosition()) continue;
        rules::Move key;
        const problems::TwoMoverVerdict verdict = search.Judge(rules->Squares(), problems::AnyKeyKind, key);
        if (verdict == problems::TwoMoverVerdict::IllegalPosition) continue;
        ++judged;
        const Board b = FromCells(rules->Squares());
        const bool mateInOne = !MatesInOne(b).empty();
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::MateInOne, mateInOne);
        if (mateInOne) continue;
        const std::vector<Plain> keys = Keys(b);
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::Sound, keys.size() == 1);
        EXPECT_EQ(verdict == problems::TwoMoverVerdict::SeveralKeys, keys.size() > 1);
        if (keys.size() == 1 && verdict == problems::TwoMoverVerdict::Sound) {
            EXPECT_TRUE(keys[0] == FromMove(key));
        }
    }
    EXPECT_GT(judged, 300);
}

TEST(TwoMoverSeries, TheSameSeedGivesTheSameSetOnOneThreadOrMany) {
    const settings::TrainerSettings config = SettingsOf(ExampleValues());
    problems::TwoMoverSeries one(config, 42, 1);
    problems::TwoMoverSeries many(config, 42, 3);
    ASSERT_TRUE(one.Draw(40, nullptr));
    ASSERT_TRUE(many.Draw(40, nullptr));
    ASSERT_EQ(one.Problems.size(), many.Problems.size());
    for (std::size_t i = 0; i < one.Problems.size(); ++i) EXPECT_EQ(one.Problems[i].Fen, many.Problems[i].Fen);
    EXPECT_EQ(one.AttemptsUsed, many.AttemptsUsed);
}

}  // namespace
}  // namespace problems
