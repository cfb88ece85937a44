// Thinning an accepted problem: every piece but the kings whose absence keeps
// exactly one mate by the same piece kind is taken off.
#include "problems/mate_search.h"

namespace problems {

void MateSearch::ReduceProblem(std::int32_t firstMovePiece) {
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            const rules::PieceCode piece = Rules.At(file, row);
            if (piece == rules::NoPiece || piece == rules::King || piece == -rules::King) continue;
            Rules.Put(file, row, rules::NoPiece);
            // White is to move: the Black king must not stand attacked.
            if (Rules.IsBlackKingAttacked()) {
                Rules.Put(file, row, piece);
                continue;
            }
            MateInOneTest();
            if (!IsProblem(firstMovePiece)) Rules.Put(file, row, piece);
        }
    }
    MateInOneTest();
}

}  // namespace problems
