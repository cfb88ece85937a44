// Hand-made two- and three-movers and near misses, each judged by the mate
// solver and by the slow solver. Every position was checked with Stockfish 15.1
// (/usr/games/stockfish): "position fen FEN", "setoption name MultiPV value
// 60", "go depth 10" lists "mate 2" for the key alone and no "mate 1"; the
// refused ones list no mate in two, or two of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "problems/mate_solver.h"
#include "rules/fen.h"
#include "tests/problems/slow_solver.h"

namespace problems {
namespace {

using namespace problems::testing::slow;
using problems::MateVerdict;

struct Judged {
    MateVerdict Verdict;
    rules::Move Key{};
};

Judged JudgeFen(const std::string& fen, rules::PieceCode keyKind = problems::AnyKeyKind, int moves = 2) {
    problems::MateSolver solver;
    Judged judged{MateVerdict::NoKey};
    judged.Verdict = solver.Judge(ToCells(FromFen(fen)), moves, keyKind, judged.Key);
    return judged;
}

// The first threat's notation, or "" for none.
std::string FirstThreat(const problems::Solution& solution) {
    return solution.Threats.empty() ? "" : solution.Threats.front().Algebraic;
}

// White's answer to a defence, as written.
std::string Answer(const problems::DefenceNode& line) {
    return line.Continuation.empty() ? "" : line.Continuation.front().Algebraic;
}

bool SameMoves(std::vector<Plain> a, std::vector<Plain> b) {
    const auto order = [](const Plain& x, const Plain& y) {
        return x.From != y.From ? x.From < y.From : x.To != y.To ? x.To < y.To : x.Promote < y.Promote;
    };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    return a == b;
}

std::vector<Plain> Plains(const std::vector<problems::WhiteNode>& moves) {
    std::vector<Plain> plains;
    for (const problems::WhiteNode& move : moves) plains.push_back(FromMove(move.Move));
    return plains;
}

// A sound two-mover: the search and the slow solver find the same one key,
// the solution holds every defence with one of its mates and the others
// counted as duals, and the threats are the slow solver's mates after a pass.
problems::Solution ExpectSound(const std::string& fen, const std::string& key, const std::string& keySan) {
    SCOPED_TRACE(fen);
    const Board board = FromFen(fen);
    EXPECT_TRUE(MatesInOne(board).empty());
    const std::vector<Plain> keys = Keys(board);
    EXPECT_EQ(keys.size(), 1U);
    if (!keys.empty()) {
        EXPECT_EQ(keys[0], FromUci(key));
    }

    const Judged judged = JudgeFen(fen);
    EXPECT_EQ(judged.Verdict, MateVerdict::Sound);
    EXPECT_EQ(FromMove(judged.Key), FromUci(key));
    problems::MateSolver solver;
    const problems::Solution solution = solver.Solve(ToCells(board), 2, judged.Key);
    EXPECT_EQ(solution.Key.Algebraic, keySan);

    const Board afterKey = After(board, FromUci(key));
    EXPECT_EQ(solution.Key.Checks, InCheck(afterKey, -1));
    std::vector<Plain> defences;
    for (const problems::DefenceNode& line : solution.Key.Defences) {
        defences.push_back(FromMove(line.Move));
        const std::vector<Plain> mates = MatesInOne(After(afterKey, FromMove(line.Move)));
        EXPECT_EQ(line.Continuation.size(), 1U);
        if (line.Continuation.empty()) continue;
        EXPECT_NE(std::find(mates.begin(), mates.end(), FromMove(line.Continuation[0].Move)), mates.end());
        EXPECT_EQ(line.Duals + 1, static_cast<int>(mates.size()));
    }
    EXPECT_TRUE(SameMoves(defences, Legal(afterKey)));
    Board passed = afterKey;
    passed.Side = 1;
    passed.EnPassant = -1;
    if (!solution.Key.Checks) {
        EXPECT_TRUE(SameMoves(Plains(solution.Threats), MatesInOne(passed)));
    }
    return solution;
}

const problems::DefenceNode* LineOf(const problems::Solution& solution, const std::string& defence) {
    for (const problems::DefenceNode& line : solution.Key.Defences) {
        if (FromMove(line.Move) == FromUci(defence)) return &line;
    }
    return nullptr;
}

TEST(MateCases, AQuietKeyThatGivesAFlight) {
    // 1. Qc6! threatens Qd7#, gives the king e7 and still mates every defence
    // with Qd7#: the knight guards d7, the king on g7 the f-file squares.
    const problems::Solution solution = ExpectSound("3k4/6K1/6Q1/4N3/8/p7/5p2/8 w - - 0 1", "g6c6", "Qc6");
    EXPECT_FALSE(solution.Key.Checks);
    ASSERT_EQ(solution.Threats.size(), 1U);
    EXPECT_EQ(FromMove(solution.Threats[0].Move), FromUci("c6d7"));
    EXPECT_EQ(FirstThreat(solution), "Qd7#");
    // The four promotions of the f-pawn are four defences.
    EXPECT_EQ(solution.Key.Defences.size(), 6U);
    const problems::DefenceNode* flight = LineOf(solution, "d8e7");
    ASSERT_NE(flight, nullptr);
    EXPECT_EQ(Answer(*flight), "Qd7#");
    EXPECT_EQ(solution.Duals, 0);
}

TEST(MateCases, ADoubleStepKeyThatBlackTakesEnPassantInVain) {
    // 1. b4! threatens Qb2#; 1... cxb3 (en passant) 2. Qb2#, 1... Kb1 2. Qb2#.
    // The king on c3 guards b2 whichever pawn stands on b3 or b4.
    const problems::Solution solution = ExpectSound("8/8/8/1p6/2p5/2K5/1P2Q3/k7 w - - 0 1", "b2b4", "b4");
    ASSERT_EQ(solution.Key.Defences.size(), 2U);
    const problems::DefenceNode* capture = LineOf(solution, "c4b3");
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(capture->Algebraic, "cxb3");
    EXPECT_EQ(Answer(*capture), "Qb2#");
    EXPECT_EQ(FirstThreat(solution), "Qb2#");
}

TEST(MateCases, ADoubleStepKeyRefutedOnlyByEnPassant) {
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
    EXPECT_EQ(JudgeFen(fen).Verdict, MateVerdict::NoKey);
}

TEST(MateCases, AMateInOneUndoneByEnPassantAndAWaitingKey) {
    // 1. e4+? would mate but for 1... dxe3 en passant, Black's one reply. The
    // key waits: 1. Be5! and after the one move 1... d3 the pawn steps
    // 2. e4# with no capture left.
    const std::string fen = "8/8/8/3k1K2/3p1B2/8/4P3/2R5 w - - 0 1";
    const Board board = FromFen(fen);
    EXPECT_FALSE(Mates(board, FromUci("e2e4")));
    EXPECT_EQ(Legal(After(board, FromUci("e2e4"))).size(), 1U);
    const problems::Solution solution = ExpectSound(fen, "f4e5", "Be5");
    EXPECT_TRUE(solution.Threats.empty());
    ASSERT_EQ(solution.Key.Defences.size(), 1U);
    EXPECT_EQ(solution.Key.Defences[0].Algebraic, "d3");
    EXPECT_EQ(Answer(solution.Key.Defences[0]), "e4#");

    // The core after 1. e4+: in check, not mated while the square behind
    // the pawn may be taken, mated on the same squares without it.
    std::string error;
    rules::Position core;
    ASSERT_TRUE(rules::ParseFen("8/8/8/3k1K2/3pPB2/8/8/2R5 b - e3", core, error)) << error;
    EXPECT_TRUE(core.InCheck());
    EXPECT_TRUE(core.HasLegalMove());
    EXPECT_FALSE(core.IsMate());
    const rules::MoveList moves = core.LegalMoves();
    ASSERT_EQ(moves.Count(), 1);
    EXPECT_EQ(FromMove(moves[1]), FromUci("d4e3"));
    core.SetEnPassantSquare(rules::NoSquare);
    EXPECT_TRUE(core.IsMate());
}

TEST(MateCases, ABlackDoubleStepMetByMateEnPassant) {
    // 1. c8=Q! threatens Qxb7#; 1... b5 2. axb6# en passant is the only mate,
    // 1... b6 2. axb6#, 1... Ka6 2. Qa8#.
    const problems::Solution solution = ExpectSound("8/kpP5/8/P7/1R6/8/1K6/8 w - - 0 1", "c7c8q", "c8=Q");
    const problems::DefenceNode* step = LineOf(solution, "b7b5");
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->Algebraic, "b5");
    EXPECT_EQ(step->Duals, 0);
    EXPECT_EQ(FromMove(step->Continuation[0].Move), FromUci("a5b6"));
    EXPECT_EQ(Answer(*step), "axb6#");
    EXPECT_EQ(FirstThreat(solution), "Qxb7#");
}

TEST(MateCases, AnUnderpromotionKey) {
    // 1. e8=N! guards g7 and threatens Rh5#, against either king move; a queen
    // or a rook on e8 mates only later.
    const std::string fen = "8/4PB1k/8/6R1/8/8/8/5K2 w - - 0 1";
    const problems::Solution solution = ExpectSound(fen, "e7e8n", "e8=N");
    EXPECT_EQ(FirstThreat(solution), "Rh5#");
    EXPECT_EQ(solution.Key.Defences.size(), 2U);
    // Asked for a key by a knight the search finds it; by a queen it finds none.
    const Judged byKnight = JudgeFen(fen, rules::Knight);
    EXPECT_EQ(byKnight.Verdict, MateVerdict::Sound);
    EXPECT_EQ(FromMove(byKnight.Key), FromUci("e7e8n"));
    EXPECT_EQ(JudgeFen(fen, rules::Queen).Verdict, MateVerdict::NoKey);
}

TEST(MateCases, AStalemateIsNoKey) {
    // A knight cannot mate: 1. Ng5 leaves Black no move at all, and that
    // stalemate must not pass for a key.
    const std::string fen = "7k/5K2/8/8/8/5N2/8/8 w - - 0 1";
    const Board board = FromFen(fen);
    const Board afterStep = After(board, FromUci("f3g5"));
    EXPECT_TRUE(Legal(afterStep).empty());
    EXPECT_FALSE(InCheck(afterStep, -1));
    EXPECT_TRUE(Keys(board).empty());
    EXPECT_EQ(JudgeFen(fen).Verdict, MateVerdict::StalematingKey);
}

TEST(MateCases, AZugzwangKeyBesideTwoStalemates) {
    // 1. Qb2! threatens nothing: the king's one step 1... Ka5 allows 2. Rxa7#.
    // 1. Qb4 and 1. Qc5 stalemate and are no second key.
    const std::string fen = "8/p2R4/k7/8/3Q3K/8/8/8 w - - 0 1";
    const problems::Solution solution = ExpectSound(fen, "d4b2", "Qb2");
    EXPECT_TRUE(solution.Threats.empty());
    EXPECT_EQ(FirstThreat(solution), "");
    ASSERT_EQ(solution.Key.Defences.size(), 1U);
    EXPECT_EQ(Answer(solution.Key.Defences[0]), "Rxa7#");
    const Board board = FromFen(fen);
    for (const char* stalemate : {"d4b4", "d4c5"}) EXPECT_TRUE(Legal(After(board, FromUci(stalemate))).empty());
}

TEST(MateCases, TwoKeysAreRefused) {
    // 1. Kb6 threatens Rf8#, 1. Kc7 threatens Ra2#: each forces mate.
    const std::string fen = "k7/8/2K5/2p4N/8/8/5R2/8 w - - 0 1";
    const std::vector<Plain> keys = Keys(FromFen(fen));
    EXPECT_TRUE(SameMoves(keys, {FromUci("c6b6"), FromUci("c6c7")}));
    EXPECT_EQ(JudgeFen(fen).Verdict, MateVerdict::SeveralKeys);
    // Both are king moves: asked for a king's key the search finds two; asked
    // for a rook's, none.
    EXPECT_EQ(JudgeFen(fen, rules::King).Verdict, MateVerdict::SeveralKeys);
    EXPECT_EQ(JudgeFen(fen, rules::Rook).Verdict, MateVerdict::NoKey);
}

// Three-movers, each checked with Stockfish 15.1 in the same way ("go mate
// 3" finds the key; "go mate 3 searchmoves" over the other first moves and
// "go mate 2" find nothing within 5 million nodes): the solver's verdict and
// tree, held against the slow solver.
problems::Solution ExpectSoundThreeMover(const std::string& fen, const std::string& key, const std::string& keySan) {
    SCOPED_TRACE(fen);
    const Board board = FromFen(fen);
    EXPECT_FALSE(MatesIn(board, 2));
    const std::vector<Plain> keys = KeysIn(board, 3);
    EXPECT_EQ(keys.size(), 1U);
    if (!keys.empty()) {
        EXPECT_EQ(keys[0], FromUci(key));
    }
    const Judged judged = JudgeFen(fen, problems::AnyKeyKind, 3);
    EXPECT_EQ(judged.Verdict, MateVerdict::Sound);
    EXPECT_EQ(FromMove(judged.Key), FromUci(key));
    problems::MateSolver solver;
    const problems::Solution solution = solver.Solve(ToCells(board), 3, judged.Key);
    EXPECT_EQ(solution.Key.Algebraic, keySan);
    EXPECT_EQ(solution.Key.Defences.size(), Legal(After(board, FromUci(key))).size());
    return solution;
}

TEST(MateCases, AQuietThreeMoverKeyWithAShortThreat) {
    // 1. Kb4! threatens 2. Qe4#: a king's quiet move, the threat a mate in one.
    const problems::Solution solution = ExpectSoundThreeMover("8/8/8/3N1B2/3k4/K7/6Q1/8 w - - 0 1", "a3b4", "Kb4");
    EXPECT_FALSE(solution.Key.Checks);
    ASSERT_FALSE(solution.Threats.empty());
    EXPECT_EQ(solution.Threats[0].Algebraic, "Qe4#");
}

TEST(MateCases, AQuietUnderpromotionThreeMover) {
    // 1. f8=N! checks nothing and threatens 2. Kb6, a mate in two.
    const std::string fen = "8/4pPB1/P2kp3/KR6/4P3/1N6/2b5/8 w - - 0 1";
    const problems::Solution solution = ExpectSoundThreeMover(fen, "f7f8n", "f8=N");
    EXPECT_FALSE(solution.Key.Checks);
    ASSERT_FALSE(solution.Threats.empty());
    EXPECT_EQ(solution.Threats[0].Algebraic, "Kb6");
    EXPECT_EQ(JudgeFen(fen, rules::Queen, 3).Verdict, MateVerdict::NoKey);
}

TEST(MateCases, AThreeMoverWhoseOneDefenceIsEnPassant) {
    // 1. f4+! exf3 (en passant, the one reply) 2. Rh4 and 3. Bh2#.
    const problems::Solution solution =
        ExpectSoundThreeMover("4N3/3b4/4p3/4k1KR/2P1p3/8/5P2/6B1 w - - 0 1", "f2f4", "f4+");
    ASSERT_EQ(solution.Key.Defences.size(), 1U);
    const problems::DefenceNode& capture = solution.Key.Defences[0];
    EXPECT_EQ(capture.Algebraic, "exf3");
    EXPECT_EQ(capture.MovesToMate, 2);
    ASSERT_EQ(capture.Continuation.size(), 1U);
    EXPECT_EQ(FromMove(capture.Continuation[0].Move), FromUci("h5h4"));
}

TEST(MateCases, ACookedThreeMoverAndAMateInTwoAreRefused) {
    // 1. Qb5+ and 1. Qb2+ both mate in three.
    const std::string cooked = "5R2/1kb2p2/4B3/4N3/7p/7P/4Q3/1K6 w - - 0 1";
    EXPECT_TRUE(SameMoves(KeysIn(FromFen(cooked), 3), {FromUci("e2b5"), FromUci("e2b2")}));
    EXPECT_FALSE(MatesIn(FromFen(cooked), 2));
    EXPECT_EQ(JudgeFen(cooked, problems::AnyKeyKind, 3).Verdict, MateVerdict::SeveralKeys);
    // The sound two-mover 1. Qc6! is no three-mover.
    EXPECT_EQ(JudgeFen("3k4/6K1/6Q1/4N3/8/p7/5p2/8 w - - 0 1", problems::AnyKeyKind, 3).Verdict,
              MateVerdict::ShorterMate);
}

}  // namespace
}  // namespace problems
