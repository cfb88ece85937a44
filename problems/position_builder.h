// The random position builder.
#pragma once

#include <cstdint>
#include <random>

#include "rules/position.h"
#include "settings/settings.h"

namespace problems {

struct PositionBuilder {
    // Seeded once from the wall clock.
    PositionBuilder(rules::Position& rules, const settings::TrainerSettings& settings);
    // A fixed seed, for tests and tools.
    PositionBuilder(rules::Position& rules, const settings::TrainerSettings& settings, std::uint64_t seed);

    rules::Position& Rules;
    const settings::TrainerSettings& Config;

    // True when the last BuildRandomPosition stopped because the pieces of a
    // kind could not all find a free square in their allowed area.
    bool PlacementFailed = false;

    // A uniformly drawn integer from 0 to n inclusive (n at least 0).
    std::int32_t RandomUpTo(std::int32_t n);
    // Empties the 64 squares; the border ring is not touched.
    void ClearBoard();
    // Whether some placement of the kings leaves a free square in its area
    // for every piece the settings ask for. When not, every
    // BuildRandomPosition fails, however often it is tried.
    [[nodiscard]] bool PiecesCanFit() const;
    // Places the kings, then every configured piece. True when the position
    // may be tested: every piece found a free square in its area and neither
    // king stands attacked.
    [[nodiscard]] bool BuildRandomPosition();

  private:
    void PlaceKings();
    bool PlaceKind(int kind);

    std::mt19937_64 Random;
    int OccupiedSquares = 0;  // squares taken so far in the position being built
};

}  // namespace problems
