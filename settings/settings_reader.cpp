// The two readers of the settings file: the trainer's and the editor's.
#include "files/open_stream.h"
#include "settings/settings_line_reader.h"
#include "settings/settings_streams.h"
#include "text/utf8_text.h"

namespace settings {
namespace {

// Opens, reads and closes the file in one go; no handle is kept.
Settings ReadSettingsFile(const std::string& path) {
    const files::OpenStream stream(OpenSettingsForReading(path));
    return ReadSettings(stream.get());
}

}  // namespace

Settings ReadSettings(std::FILE* stream) {
    LineReader lines(stream);
    Settings values;
    for (int line = 1; line <= NumericLines; ++line) values.Number(line) = lines.ReadNumberLine();
    // A line longer than the longest name matches none, whatever follows.
    values.FirstMovePieceName = text::DecodedUtf8(lines.ReadTextLine(LongestPieceNameBytes + 1));
    return values;
}

void TrainerSettings::SettingsReader(const std::string& path) { Adopt(ReadSettingsFile(path)); }

void LoadSettings(Settings& values, const std::string& path) { values = ReadSettingsFile(path); }

}  // namespace settings
