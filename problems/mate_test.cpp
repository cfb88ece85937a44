// The mate-in-one test: every legal White move is played on the board, and it
// is a mate when the Black king then stands attacked and Black has no legal
// reply. The board and White's move list are put back afterwards.
#include "problems/mate_test.h"

#include "rules/directions.h"
#include "rules/play_move.h"
#include "rules/square_attacks.h"

namespace problems {
namespace {

using chess::Black;
using chess::FirstSquare;
using chess::LastSquare;
using chess::NoPiece;
using chess::Pawn;
using chess::White;

// A White pawn's double step leaves row 7 (rank 2) for row 5 (rank 4), over
// row 6; a Black pawn beside the landing square could take it en passant,
// landing on the square passed over.
constexpr int DoubleStepFromRow = 7;
constexpr int DoubleStepToRow = 5;
constexpr int PassedOverRow = 6;

// The squares, by file and row distance from the Black king, that lie on one
// of his eight lines or a knight's jump away: the only squares where a White
// move can start or end when it gives check to a king that was not attacked
// before (a piece arriving there may attack him, a piece leaving there may
// open a line to him).
constexpr int LongestDistance = LastSquare - FirstSquare;
constexpr int DistanceSpan = 2 * LongestDistance + 1;
constexpr std::array<std::array<bool, DistanceSpan>, DistanceSpan> MakeCheckSquares() {
    std::array<std::array<bool, DistanceSpan>, DistanceSpan> table{};
    for (const chess::Step line : chess::Directions) {
        for (int distance = 1; distance <= LongestDistance; ++distance) {
            table[line.file * distance + LongestDistance][line.row * distance + LongestDistance] = true;
        }
    }
    for (const chess::Step jump : chess::KnightJumps) {
        table[jump.file + LongestDistance][jump.row + LongestDistance] = true;
    }
    table[LongestDistance][LongestDistance] = true;  // the king's own square
    return table;
}
constexpr auto CheckSquares = MakeCheckSquares();

}  // namespace

void MateSearch::MateInOneTest() {
    Rules.SideToMove = White;
    MateCount = 0;
    EnPassantAnswer = 0;
    Rules.GenerateLegalMoves();
    SaveTestedPosition();
    Rules.IsBlackKingAttacked();
    const bool blackKingSafe = Rules.InCheck == 0 && chess::IsOnBoard(Rules.BlackKingFile, Rules.BlackKingRow) &&
                               Rules.Board[Rules.BlackKingFile][Rules.BlackKingRow] == -chess::King;
    for (int candidate = 1; candidate <= SavedMoveCount; ++candidate) {
        if (blackKingSafe && !CanGiveCheck(candidate)) continue;
        TryCandidate(candidate, blackKingSafe);
    }
    RestoreTestedPosition();
}

// With the Black king not attacked in the tested position, a candidate that
// neither starts nor ends on a square of CheckSquares leaves him not attacked:
// trying it would change nothing.
bool MateSearch::CanGiveCheck(int candidate) const {
    const int kingFile = Rules.BlackKingFile;
    const int kingRow = Rules.BlackKingRow;
    const auto reaches = [&](int file, int row) {
        return CheckSquares[file - kingFile + LongestDistance][row - kingRow + LongestDistance];
    };
    return reaches(SavedMoveList.FromFile[candidate], SavedMoveList.FromRow[candidate]) ||
           reaches(SavedMoveList.ToFile[candidate], SavedMoveList.ToRow[candidate]);
}

bool MateSearch::IsProblem(std::int32_t firstMovePiece) const {
    return MateCount == 1 && MatePiece == firstMovePiece && EnPassantAnswer == 0;
}

bool MateSearch::OneMateAnsweredEnPassant() const { return MateCount == 1 && EnPassantAnswer == 1; }

void MateSearch::SaveTestedPosition() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            BoardBackup[file][row] = Rules.Board[file][row];
            ProblemBoard[file][row] = Rules.Board[file][row];
        }
    }
    SavedMoveCount = Rules.MoveCount;
    Rules.MoveList.CopyEntriesTo(SavedMoveList, SavedMoveCount);
}

void MateSearch::RestoreTestedPosition() {
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) Rules.Board[file][row] = BoardBackup[file][row];
    }
    Rules.MoveCount = SavedMoveCount;
    SavedMoveList.CopyEntriesTo(Rules.MoveList, SavedMoveCount);
}

// Plays one of White's legal moves, counts it when it mates and takes it back.
// Only a checking move is looked at further: a move that leaves Black without
// a move but not in check (stalemate) is no mate.
void MateSearch::TryCandidate(int candidate, bool blackKingWasSafe) {
    const chess::Move move = SavedMoveList.Entry(candidate);
    const chess::PieceCode captured = chess::PlayMove(Rules.Board, move);

    bool check = false;
    if (blackKingWasSafe) {
        check = MoveGivesCheck(move);
    } else {
        Rules.IsBlackKingAttacked();
        check = Rules.InCheck == 1;
    }
    if (check) {
        Rules.SideToMove = Black;
        if (!BlackHasLegalReply()) {
            Rules.IsBlackKingAttacked();  // the replies tried have overwritten InCheck
            if (Rules.InCheck == 1) {
                ++MateCount;
                MatingMoves[MateCount] = candidate;
                MatePiece = SavedMoveList.PlacedPiece[candidate];
                if (BlackTakesEnPassant(candidate)) EnPassantAnswer = 1;
            }
        }
    }
    chess::TakeBackMove(Rules.Board, move, captured);
}

// With `move` played and the Black king not attacked before it, on his
// recorded square: is he attacked now? A move changes only two squares, so
// only two things can attack him that did not: the moved piece from its new
// square, and a slider behind the from-square on a line that the move opened.
// The answer is the attack test's.
bool MateSearch::MoveGivesCheck(const chess::Move& move) const {
    const int kingFile = Rules.BlackKingFile;
    const int kingRow = Rules.BlackKingRow;
    const auto& board = Rules.Board;
    // The first piece from the king toward (file, row), when that square lies
    // on one of his lines: a White slider of that line's kind attacks him.
    const auto lineAttacks = [&](int file, int row) {
        const int fileDistance = file - kingFile;
        const int rowDistance = row - kingRow;
        const int files = fileDistance < 0 ? -fileDistance : fileDistance;
        const int rows = rowDistance < 0 ? -rowDistance : rowDistance;
        const bool straight = files == 0 || rows == 0;
        if (!straight && files != rows) return false;
        const int fileStep = (fileDistance > 0) - (fileDistance < 0);
        const int rowStep = (rowDistance > 0) - (rowDistance < 0);
        for (int f = kingFile + fileStep, r = kingRow + rowStep; chess::IsOnBoard(f, r); f += fileStep, r += rowStep) {
            const chess::PieceCode code = board[f][r];
            if (code == NoPiece) continue;
            return code == chess::Queen || code == (straight ? chess::Rook : chess::Bishop);
        }
        return false;
    };
    const int fileDistance = move.ToFile - kingFile;
    const int rowDistance = move.ToRow - kingRow;
    const int files = fileDistance < 0 ? -fileDistance : fileDistance;
    const int rows = rowDistance < 0 ? -rowDistance : rowDistance;
    switch (move.PlacedPiece) {
        case chess::Knight:
            if ((files == 1 && rows == 2) || (files == 2 && rows == 1)) return true;
            break;
        case Pawn:
            // A White pawn attacks the two squares diagonally toward row 1.
            if (files == 1 && rowDistance == 1) return true;
            break;
        case chess::King:
            if (files <= 1 && rows <= 1) return true;
            break;
        default:
            if (lineAttacks(move.ToFile, move.ToRow)) return true;
            break;
    }
    return lineAttacks(move.FromFile, move.FromRow);
}

// With a checking candidate on the board: does Black have a legal reply? The
// answer is the one the legal-move filter would give for Black's generated
// moves (some reply leaves the Black king not attacked), but the king's own
// steps are tried first and one safe step ends the search, since a king in
// check most often escapes by stepping away.
bool MateSearch::BlackHasLegalReply() {
    const int kingFile = Rules.BlackKingFile;
    const int kingRow = Rules.BlackKingRow;
    // The king's steps, as the generator makes them: onto a square of the
    // board that is empty or holds a White piece.
    const chess::Attackers attackers = chess::AttackersOf<Black>(Rules.Board);
    for (int toFile = kingFile - 1; toFile <= kingFile + 1; ++toFile) {
        for (int toRow = kingRow - 1; toRow <= kingRow + 1; ++toRow) {
            if (!chess::IsOnBoard(toFile, toRow) || Rules.Board[toFile][toRow] < NoPiece) continue;
            if (KingStepIsSafe(attackers, {kingFile, kingRow, toFile, toRow, -chess::King, -chess::King})) return true;
        }
    }
    // The other replies, all at once by the legal-move filter, the king's
    // steps left out since they were tried above.
    Rules.GenerateBlackMoves();
    int replies = 0;
    for (int reply = 1; reply <= Rules.MoveCount; ++reply) {
        if (Rules.MoveList.MovedPiece[reply] != -chess::King) Rules.MoveList.MoveEntry(reply, ++replies);
    }
    Rules.MoveCount = replies;
    Rules.FilterLegalMoves();
    return Rules.MoveCount > 0;
}

// Whether the Black king may step as `step` says: the White pieces that
// `attackers` describes, found once for all his steps, do not attack him
// on his new square.
bool MateSearch::KingStepIsSafe(const chess::Attackers& attackers, const chess::Move& step) {
    return !chess::KingAttackedOn<Black>(attackers, step.ToFile, step.ToRow);
}

// With a mating candidate on the board: is it a pawn double step that a
// Black pawn beside the landing square can take en passant, the capture
// leaving the Black king not attacked? This is the one place where the
// search knows en passant.
bool MateSearch::BlackTakesEnPassant(int candidate) {
    if (SavedMoveList.MovedPiece[candidate] != Pawn || SavedMoveList.FromRow[candidate] != DoubleStepFromRow ||
        SavedMoveList.ToRow[candidate] != DoubleStepToRow) {
        return false;
    }
    const int pawnFile = SavedMoveList.ToFile[candidate];
    bool escapes = false;
    for (const int takerFile : {pawnFile - 1, pawnFile + 1}) {
        if (takerFile < FirstSquare || takerFile > LastSquare) continue;
        if (Rules.Board[takerFile][DoubleStepToRow] != -Pawn) continue;
        // Take en passant: the Black pawn steps onto the square passed over,
        // and the White pawn beside its old square goes.
        const chess::Move capture{takerFile, DoubleStepToRow, pawnFile, PassedOverRow, -Pawn, -Pawn};
        const chess::PieceCode passedOver = chess::PlayMove(Rules.Board, capture);  // empty: the pawn passed it
        Rules.Board[pawnFile][DoubleStepToRow] = NoPiece;
        Rules.IsBlackKingAttacked();
        if (Rules.InCheck == 0) escapes = true;
        Rules.Board[pawnFile][DoubleStepToRow] = Pawn;
        chess::TakeBackMove(Rules.Board, capture, passedOver);
    }
    return escapes;
}

}  // namespace problems
