// The trainer's rules of chess: the game's rules without en passant. A
// trainer's position never records a double step, so no capture en passant
// is ever generated, judged or counted in it; the mate-in-one test instead
// refuses a mate by a double step that the other side could take en passant.
// Every position the trainer, its generator and its tools play on is made
// with this rule.
#pragma once

#include "rules/position.h"

namespace problems {

inline constexpr rules::EnPassantRule TrainerEnPassant = rules::EnPassantRule::NotPlayed;

}  // namespace problems
