// libFuzzer target: the settings reader over arbitrary bytes. Besides the
// sanitizers' checks it stops on any broken promise of the reader: values in
// use outside the editor's ranges, derived values that do not follow from
// them, a name that is not clean UTF-8 text of one line, or a file written
// from the values that does not read back the same.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings.h"
#include "settings/settings_streams.h"
#include "text/utf8_text.h"

namespace {

using namespace settings;

void Require(bool promise) {
    if (!promise) std::abort();
}

Settings ReadFromBytes(const void* bytes, std::size_t size) {
    // A stream over no bytes cannot be made; no stream reads as empty lines.
    std::FILE* stream = size > 0 ? ::fmemopen(const_cast<void*>(bytes), size, "rb") : nullptr;
    Settings values = ReadSettings(stream);
    if (stream != nullptr) std::fclose(stream);
    return values;
}

void CheckTrainerValues(const TrainerSettings& trainer) {
    for (int line = 1; line <= NumericLines; ++line) {
        const ValueRange range = EditorRanges[static_cast<std::size_t>(line)];
        const std::int32_t read = trainer.AsRead.Number(line);
        const std::int32_t used = trainer.InUse.Number(line);
        Require(used >= range.Lowest && used <= range.Highest);
        Require(read < range.Lowest || read > range.Highest || used == read);
    }
    Require(trainer.KingSpan == 7 - 2 * trainer.InUse.KingEdgeDistance);
    const std::string& name = trainer.AsRead.FirstMovePieceName;
    Require(name == trainer.InUse.FirstMovePieceName);
    Require(text::DecodedUtf8(name) == name);
    Require(name.find_first_of(std::string("\n\r\0", 3)) == std::string::npos);
    const auto found = FindPieceName(name);
    Require(trainer.FirstMovePiece == (found ? PieceNames[*found].Kind : 0));
}

void CheckRoundTrip(const Settings& values) {
    char* written = nullptr;
    std::size_t size = 0;
    std::FILE* stream = ::open_memstream(&written, &size);
    Require(stream != nullptr);
    Require(WriteSettings(stream, values));
    std::fclose(stream);
    const Settings back = ReadFromBytes(written, size);
    std::free(written);
    for (int line = 1; line <= NumericLines; ++line) Require(back.Number(line) == values.Number(line));
    Require(back.FirstMovePieceName == (FindPieceName(values.FirstMovePieceName) ? values.FirstMovePieceName : ""));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Settings read = ReadFromBytes(data, size);
    TrainerSettings trainer;
    trainer.Adopt(read);
    CheckTrainerValues(trainer);
    CheckRoundTrip(read);
    return 0;
}
