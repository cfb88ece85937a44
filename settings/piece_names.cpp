// Finding a piece name among the seven.
#include "settings/settings.h"

namespace settings {

std::optional<std::size_t> FindPieceName(std::string_view name) {
    for (std::size_t index = 0; index < PieceNames.size(); ++index) {
        if (PieceNames[index].Name == name) return index;
    }
    return std::nullopt;
}

}  // namespace settings
