// Helpers shared by the rules tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/fen.h"
#include "rules/move_text.h"
#include "rules/position.h"

namespace chess {

// Sets up `position` from a FEN that the test knows to be well formed.
inline void Load(Position& position, const std::string& fen) {
    std::string error;
    ASSERT_TRUE(ParseFen(fen, position, error)) << fen << ": " << error;
}

// The texts of entries 1..MoveCount, in list order.
inline std::vector<std::string> MoveTexts(const Position& position) {
    std::vector<std::string> texts;
    for (int entry = 1; entry <= position.MoveCount; ++entry) texts.push_back(MoveText(position.MoveList, entry));
    return texts;
}

// The texts of the entries whose piece leaves (file, row), in list order.
inline std::vector<std::string> MoveTextsFrom(const Position& position, int file, int row) {
    std::vector<std::string> texts;
    for (int entry = 1; entry <= position.MoveCount; ++entry) {
        if (position.MoveList.FromFile[entry] == file && position.MoveList.FromRow[entry] == row) {
            texts.push_back(MoveText(position.MoveList, entry));
        }
    }
    return texts;
}

using Texts = std::vector<std::string>;

}  // namespace chess
