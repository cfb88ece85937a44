// Helpers of the tests that run the built vindolar-sheets: running it, and
// reading its PGN and its moves back with the rules core.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rules/position.h"

namespace sheets {

struct RunResult {
    int Status = -1;  // the exit status; -1 when it did not end by itself in time
    std::string Out;
    std::string Err;
};

// Runs the program with `arguments` in `directory` and waits for its end.
// `environment` changes the program's environment only: "NAME=VALUE" sets a
// variable, "NAME" alone removes it.
RunResult RunSheets(const std::vector<std::string>& arguments, const std::string& directory,
                    const std::vector<std::string>& environment = {});

// Writes the example settings file (queen mates) or one with the given
// fourteen lines into `path`.
void WriteExampleSettings(const std::string& path);
void WriteSettings(const std::string& path, const std::string& lines);

struct PgnGame {
    std::vector<std::pair<std::string, std::string>> Tags;  // in file order, values unescaped
    std::string Movetext;
};
// Reads games as written: tag lines, an empty line, one movetext line, and an
// empty line between games. Throws on anything else.
std::vector<PgnGame> ReadPgn(const std::string& text);

// The position of a FEN, White to move.
std::unique_ptr<rules::Position> WhiteToMove(const std::string& fen);

// The legal moves that a move in standard algebraic notation names, read
// without the notation's writer: piece letter, the from-square's file and
// rank where given, "x" only on captures, the target and "=X".
std::vector<rules::Move> EntriesNamedBy(const rules::Position& position, const std::string& san);

// True when the from-square's part of `san` is no more than needed: every
// shorter form (without it, or with only its file or only its rank) would
// name more than one legal move.
bool FromSquarePartIsMinimal(const rules::Position& position, const std::string& san);

std::vector<std::string> Lines(const std::string& text);

}  // namespace sheets
