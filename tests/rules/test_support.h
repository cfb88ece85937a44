// Helpers shared by the rules tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/move_text.h"
#include "rules/position.h"

namespace rules {

// Sets up `position` from a FEN that the test knows to be well formed.
inline void Load(Position& position, const std::string& fen) {
    std::string error;
    ASSERT_TRUE(ParseFen(fen, position, error)) << fen << ": " << error;
}

inline Position Loaded(const std::string& fen) {
    Position position;
    Load(position, fen);
    return position;
}

// The texts of the list's entries, in list order.
inline std::vector<std::string> MoveTexts(const MoveList& moves) {
    std::vector<std::string> texts;
    for (int entry = 1; entry <= moves.Count(); ++entry) texts.push_back(MoveText(moves[entry]));
    return texts;
}

// The texts of the entries whose piece leaves (file, row), in list order.
inline std::vector<std::string> MoveTextsFrom(const MoveList& moves, int file, int row) {
    std::vector<std::string> texts;
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        if (moves[entry].FromFile == file && moves[entry].FromRow == row) texts.push_back(MoveText(moves[entry]));
    }
    return texts;
}

using Texts = std::vector<std::string>;

}  // namespace rules
