// Hand-made two-movers and near misses, each judged by the two-mover search
// and by the slow solver. Every position was checked with Stockfish 15.1
// (/usr/games/stockfish): "position fen FEN", "setoption name MultiPV value
// 60", "go depth 10" lists "mate 2" for the key alone and no "mate 1"; the
// refused ones list no mate in two, or two of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "problems/two_mover_rules.h"
#include "problems/two_mover_search.h"
#include "tests/problems/slow_solver.h"

namespace problems {
namespace {

using namespace problems::testing::slow;
using problems::TwoMoverVerdict;

struct Judged {
    TwoMoverVerdict Verdict;
    rules::Move Key{};
};

Judged JudgeFen(const std::string& fen, rules::PieceCode keyKind = problems::AnyKeyKind) {
    problems::TwoMoverSearch search;
    Judged judged{TwoMoverVerdict::NoKey};
    judged.Verdict = search.Judge(ToCells(FromFen(fen)), keyKind, judged.Key);
    return judged;
}

bool SameMoves(std::vector<Plain> a, std::vector<Plain> b) {
    const auto order = [](const Plain& x, const Plain& y) {
        return x.From != y.From ? x.From < y.From : x.To != y.To ? x.To < y.To : x.Promote < y.Promote;
    };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    return a == b;
}

std::vector<Plain> Plains(const std::vector<rules::Move>& moves) {
    std::vector<Plain> plains;
    for (const rules::Move& move : moves) plains.push_back(FromMove(move));
    return plains;
}

// A sound two-mover: the search and the slow solver find the same one key,
// the solution holds every defence with all its mates, and the threat is
// the slow solver's mate after a pass.
problems::TwoMoverSolution ExpectSound(const std::string& fen, const std::string& key, const std::string& keySan) {
    SCOPED_TRACE(fen);
    const Board board = FromFen(fen);
    EXPECT_TRUE(MatesInOne(board).empty());
    const std::vector<Plain> keys = Keys(board);
    EXPECT_EQ(keys.size(), 1U);
    if (!keys.empty()) {
        EXPECT_EQ(keys[0], FromUci(key));
    }

    const Judged judged = JudgeFen(fen);
    EXPECT_EQ(judged.Verdict, TwoMoverVerdict::Sound);
    EXPECT_EQ(FromMove(judged.Key), FromUci(key));
    problems::TwoMoverSearch search;
    const problems::TwoMoverSolution solution = search.Solve(ToCells(board), judged.Key);
    EXPECT_EQ(solution.KeyAlgebraic, keySan);

    const Board afterKey = After(board, FromUci(key));
    EXPECT_EQ(solution.KeyChecks, InCheck(afterKey, -1));
    std::vector<Plain> defences;
    for (const problems::TwoMoverDefence& line : solution.Defences) {
        defences.push_back(FromMove(line.Defence));
        EXPECT_TRUE(SameMoves(Plains(line.Mates), MatesInOne(After(afterKey, FromMove(line.Defence)))));
    }
    EXPECT_TRUE(SameMoves(defences, Legal(afterKey)));
    Board passed = afterKey;
    passed.Side = 1;
    passed.EnPassant = -1;
    if (!solution.KeyChecks) {
        EXPECT_TRUE(SameMoves(Plains(solution.Threats), MatesInOne(passed)));
    }
    return solution;
}

const problems::TwoMoverDefence* LineOf(const problems::TwoMoverSolution& solution, const std::string& defence) {
    for (const problems::TwoMoverDefence& line : solution.Defences) {
        if (FromMove(line.Defence) == FromUci(defence)) return &line;
    }
    return nullptr;
}

TEST(TwoMoverCases, AQuietKeyThatGivesAFlight) {
    // 1. Qc6! threatens Qd7#, gives the king e7 and still mates every defence
    // with Qd7#: the knight guards d7, the king on g7 the f-file squares.
    const problems::TwoMoverSolution solution = ExpectSound("3k4/6K1/6Q1/4N3/8/p7/5p2/8 w - - 0 1", "g6c6", "Qc6");
    EXPECT_FALSE(solution.KeyChecks);
    ASSERT_EQ(solution.Threats.size(), 1U);
    EXPECT_EQ(FromMove(solution.Threats[0]), FromUci("c6d7"));
    EXPECT_EQ(solution.FirstThreatAlgebraic, "Qd7#");
    // The four promotions of the f-pawn are four defences.
    EXPECT_EQ(solution.Defences.size(), 6U);
    const problems::TwoMoverDefence* flight = LineOf(solution, "d8e7");
    ASSERT_NE(flight, nullptr);
    EXPECT_EQ(flight->FirstMateAlgebraic, "Qd7#");
    EXPECT_EQ(solution.Duals, 0);
}

TEST(TwoMoverCases, ADoubleStepKeyThatBlackTakesEnPassantInVain) {
    // 1. b4! threatens Qb2#; 1... cxb3 (en passant) 2. Qb2#, 1... Kb1 2. Qb2#.
    // The king on c3 guards b2 whichever pawn stands on b3 or b4.
    const problems::TwoMoverSolution solution = ExpectSound("8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - 0 1", "b2b4", "b4");
    ASSERT_EQ(solution.Defences.size(), 2U);
    const problems::TwoMoverDefence* capture = LineOf(solution, "c4b3");
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->DefenceAlgebraic, "cxb3");
    EXPECT_EQ(capture->FirstMateAlgebraic, "Qb2#");
    EXPECT_EQ(solution.FirstThreatAlgebraic, "Qb2#");
}

TEST(TwoMoverCases, ADoubleStepKeyRefutedOnlyByEnPassant) {
    // 1. c4? would force 2. Qb5# (guarded by the pawn on c4) but for
    // 1... bxc3 en passant, which takes the guard away. Nothing else mates
    // in two: no key.
    const std::string fen = "2K5/8/2Q5/k7/1p5p/8/2P5/8 w - - 0 1";
    const Board board = FromFen(fen);
    EXPECT_TRUE(Keys(board).empty());
    EXPECT_FALSE(ForcesMate(board, FromUci("c2c4")));
    Board withoutCapture = After(board, FromUci("c2c4"));
    withoutCapture.EnPassant = -1;
    for (const Plain& defence : Legal(withoutCapture)) EXPECT_FALSE(MatesInOne(After(withoutCapture, defence)).empty());
    EXPECT_EQ(JudgeFen(fen).Verdict, TwoMoverVerdict::NoKey);
}

TEST(TwoMoverCases, AMateInOneUndoneByEnPassantAndAWaitingKey) {
    // 1. e4+? would mate but for 1... dxe3 en passant, Black's one reply. The
    // key waits: 1. Be5! and after the one move 1... d3 the pawn steps
    // 2. e4# with no capture left.
    const std::string fen = "8/8/8/3k1K2/3p1B2/8/4P3/2R5 w - - 0 1";
    const Board board = FromFen(fen);
    EXPECT_FALSE(Mates(board, FromUci("e2e4")));
    EXPECT_EQ(Legal(After(board, FromUci("e2e4"))).size(), 1U);
    const problems::TwoMoverSolution solution = ExpectSound(fen, "f4e5", "Be5");
    EXPECT_TRUE(solution.Threats.empty());
    ASSERT_EQ(solution.Defences.size(), 1U);
    EXPECT_EQ(solution.Defences[0].DefenceAlgebraic, "d3");
    EXPECT_EQ(solution.Defences[0].FirstMateAlgebraic, "e4#");

    // The full rules after 1. e4+: in check, not mated while the square
    // behind the pawn may be taken, mated on the same squares without it.
    const Board afterStep = After(board, FromUci("e2e4"));
    problems::FullRules rules;
    rules.SetUp(ToCells(afterStep), rules::Black, {5, 6});
    EXPECT_TRUE(rules.InCheck());
    EXPECT_TRUE(rules.HasLegalMove());
    EXPECT_FALSE(rules.IsMated());
    std::vector<rules::Move> moves;
    rules.LegalMoves(moves);
    ASSERT_EQ(moves.size(), 1U);
    EXPECT_EQ(FromMove(moves[0]), FromUci("d4e3"));
    rules.SetUp(ToCells(afterStep), rules::Black);
    EXPECT_TRUE(rules.IsMated());
}

TEST(TwoMoverCases, ABlackDoubleStepMetByMateEnPassant) {
    // 1. c8=Q! threatens Qxb7#; 1... b5 2. axb6# en passant is the only mate,
    // 1... b6 2. axb6#, 1... Ka6 2. Qa8#.
    const problems::TwoMoverSolution solution = ExpectSound("8/kpP5/8/P7/1R6/8/1K6/8 w - - 0 1", "c7c8q", "c8=Q");
    const problems::TwoMoverDefence* step = LineOf(solution, "b7b5");
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->DefenceAlgebraic, "b5");
    ASSERT_EQ(step->Mates.size(), 1U);
    EXPECT_EQ(FromMove(step->Mates[0]), FromUci("a5b6"));
    EXPECT_EQ(step->FirstMateAlgebraic, "axb6#");
    EXPECT_EQ(solution.FirstThreatAlgebraic, "Qxb7#");
}

TEST(TwoMoverCases, AnUnderpromotionKey) {
    // 1. e8=N! guards g7 and threatens Rh5#, against either king move; a queen
    // or a rook on e8 mates only later.
    const std::string fen = "8/4PB1k/8/6R1/8/8/8/5K2 w - - 0 1";
    const problems::TwoMoverSolution solution = ExpectSound(fen, "e7e8n", "e8=N");
    EXPECT_EQ(solution.FirstThreatAlgebraic, "Rh5#");
    EXPECT_EQ(solution.Defences.size(), 2U);
    // Asked for a key by a knight the search finds it; by a queen it finds none.
    const Judged byKnight = JudgeFen(fen, rules::Knight);
    EXPECT_EQ(byKnight.Verdict, TwoMoverVerdict::Sound);
    EXPECT_EQ(FromMove(byKnight.Key), FromUci("e7e8n"));
    EXPECT_EQ(JudgeFen(fen, rules::Queen).Verdict, TwoMoverVerdict::NoKey);
}

TEST(TwoMoverCases, AStalemateIsNoKey) {
    // A knight cannot mate: 1. Ng5 leaves Black no move at all, and that
    // stalemate must not pass for a key.
    const std::string fen = "7k/5K2/8/8/8/5N2/8/8 w - - 0 1";
    const Board board = FromFen(fen);
    const Board afterStep = After(board, FromUci("f3g5"));
    EXPECT_TRUE(Legal(afterStep).empty());
    EXPECT_FALSE(InCheck(afterStep, -1));
    EXPECT_TRUE(Keys(board).empty());
    EXPECT_EQ(JudgeFen(fen).Verdict, TwoMoverVerdict::NoKey);
}

TEST(TwoMoverCases, AZugzwangKeyBesideTwoStalemates) {
    // 1. Qb2! threatens nothing: the king's one step 1... Ka5 allows 2. Rxa7#.
    // 1. Qb4 and 1. Qc5 stalemate and are no second key.
    const std::string fen = "8/p2R4/k7/8/3Q3K/8/8/8 w - - 0 1";
    const problems::TwoMoverSolution solution = ExpectSound(fen, "d4b2", "Qb2");
    EXPECT_TRUE(solution.Threats.empty());
    EXPECT_EQ(solution.FirstThreatAlgebraic, "");
    ASSERT_EQ(solution.Defences.size(), 1U);
    EXPECT_EQ(solution.Defences[0].FirstMateAlgebraic, "Rxa7#");
    const Board board = FromFen(fen);
    for (const char* stalemate : {"d4b4", "d4c5"}) EXPECT_TRUE(Legal(After(board, FromUci(stalemate))).empty());
}

TEST(TwoMoverCases, TwoKeysAreRefused) {
    // 1. Kb6 threatens Rf8#, 1. Kc7 threatens Ra2#: each forces mate.
    const std::string fen = "k7/8/2K5/2p4N/8/8/5R2/8 w - - 0 1";
    const std::vector<Plain> keys = Keys(FromFen(fen));
    EXPECT_TRUE(SameMoves(keys, {FromUci("c6b6"), FromUci("c6c7")}));
    EXPECT_EQ(JudgeFen(fen).Verdict, TwoMoverVerdict::SeveralKeys);
    // Both are king moves: asked for a king's key the search finds two; asked
    // for a rook's, none.
    EXPECT_EQ(JudgeFen(fen, rules::King).Verdict, TwoMoverVerdict::SeveralKeys);
    EXPECT_EQ(JudgeFen(fen, rules::Rook).Verdict, TwoMoverVerdict::NoKey);
}

}  // namespace
}  // namespace problems
