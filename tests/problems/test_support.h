// Helpers shared by the problem tests: setting up positions by piece lists,
// and a check of mate-in-one facts written straight against the rules core.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "problems/trainer_rules.h"
#include "rules/position.h"
#include "settings/settings.h"

namespace problems::testing {

// Empties the 64 squares and places the pieces of a list such as
// "Kg1 Qd1 Pe2 ke8 pd4": a letter (K Q R B N P, upper case for White, lower
// case for Black) followed by a square name.
void SetUpPieces(rules::Position& position, std::string_view pieces);

// The square holding `code` on the board, as "e4"; "" when none does.
std::string SquareOf(const rules::Position& position, rules::PieceCode code);

// What a chess player would say about White's move in a position: counted by
// playing each legal White move on a copy of the position and listing
// Black's legal replies in full, without the mate test of the generator.
struct MateFacts {
    int Mates = 0;
    rules::PieceCode LastMatingPiece = 0;  // the piece on the target square after the last mate
    bool CheckTakenEnPassant = false;      // a checking double step that Black can take en passant
    bool MateTakenEnPassant = false;       // a mating double step that Black can take en passant
};
MateFacts CountMatesDirectly(const rules::Position& position);

// Number of legal moves of one side in the position.
int LegalMoveCount(const rules::Position& position, int side);
// True when the king of `side` is attacked in the position.
bool KingAttacked(const rules::Position& position, int side);

// Settings with the given counts (White pawns, knights, bishops, rooks,
// queens, then the same for Black), king distance, pawn rank limit and
// first-move piece, brought together as the settings reader would.
settings::TrainerSettings MakeSettings(const int (&counts)[10], int kingEdgeDistance, int pawnRankLimit,
                                       int firstMovePiece);

}  // namespace problems::testing

#include <memory>

#include "problems/generation_run.h"
#include "problems/headless_view.h"

namespace problems::testing {

// The generator's parts, created once as the trainer's start-up does, with a
// headless view and a fixed seed.
struct Generator {
    Generator(const settings::TrainerSettings& config, std::uint64_t seed)
        : Config(config), Search(*Rules), Builder(*Rules, Config, seed), Run(*Rules, Search, Builder, Config, View) {}

    settings::TrainerSettings Config;
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(problems::TrainerEnPassant);
    MateSearch Search;
    PositionBuilder Builder;
    HeadlessView View;
    GenerationRun Run;
};

}  // namespace problems::testing
