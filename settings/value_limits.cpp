// Bringing read values into the ranges the editor allows.
//
// This is the one place where the trainer's values are limited. The editor
// never writes a value outside its ranges, but the file may be missing, empty
// or edited by hand, and the trainer's builder, window and click arithmetic
// are only sound within them: a cell size of 0 would give an empty board and
// a division by zero in the click arithmetic, more pieces than free squares
// could keep the builder from ever finishing, a pawn rank below 2 leaves the
// pawns no rank, and a king distance above 3 leaves the king no square. The
// editor brings values into the same ranges when it shows them, so a file it
// saves matches what the trainer used.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "settings/settings.h"

namespace settings {

std::int32_t LimitedToEditorRange(int line, std::int32_t value) {
    if (line < 1 || line > NumericLines) {
        throw std::out_of_range("settings line " + std::to_string(line) + " has no range");
    }
    const ValueRange range = EditorRanges[static_cast<std::size_t>(line)];
    return std::clamp(value, range.Lowest, range.Highest);
}

Settings LimitedToEditorRanges(const Settings& values) {
    Settings limited = values;
    for (int line = 1; line <= NumericLines; ++line) {
        limited.Number(line) = LimitedToEditorRange(line, values.Number(line));
    }
    return limited;
}

}  // namespace settings
