// vindolar-sheets from its command line to its written outputs.
#pragma once

#include "artwork/piece_set.h"

namespace sheets {

// The exit statuses.
enum ExitStatus : int {
    Success = 0,
    TooFewProblems = 1,  // the settings gave too few problems within the attempt budget
    Failure = 2,         // a bad option, an unreadable settings file or an output that cannot be written
};

struct SheetProgram {
    artwork::PieceSet Pieces;  // the piece pictures, read once for every diagram

    // Reads the options and the settings, draws the problems and writes the
    // outputs asked for; one line on standard error for every failure.
    int Run(int argc, const char* const* argv);
};

}  // namespace sheets
