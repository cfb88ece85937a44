// The trainer's settings: the values in use and the two derived values.
#include "settings/settings.h"

namespace settings {
namespace {

// The width, minus one, of the band of files and ranks the black king may
// stand on, by its least distance from the edge (0..3): 7 - 2 * distance.
constexpr std::array<std::int32_t, 4> KingSpanByDistance = {7, 5, 3, 1};
constexpr int KingEdgeDistanceLine = 12;
static_assert(KingSpanByDistance.size() == static_cast<std::size_t>(EditorRanges[KingEdgeDistanceLine].Highest) + 1 &&
                  EditorRanges[KingEdgeDistanceLine].Lowest == 0,
              "one span for every distance the editor allows");

}  // namespace

void TrainerSettings::Adopt(const Settings& asRead) {
    AsRead = asRead;
    InUse = LimitedToEditorRanges(asRead);
    KingSpan = KingSpanByDistance[static_cast<std::size_t>(InUse.KingEdgeDistance)];
    const std::optional<std::size_t> name = FindPieceName(InUse.FirstMovePieceName);
    FirstMovePiece = name ? PieceNames[*name].Kind : AnyPieceKind;
}

}  // namespace settings
