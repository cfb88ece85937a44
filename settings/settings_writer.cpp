// Writing the settings file: fourteen lines, each followed by one line feed.
#include <charconv>

#include "files/safe_write.h"
#include "settings/settings_streams.h"

namespace settings {
namespace {

constexpr char LineEnd = '\n';
constexpr std::size_t LongestNumberText = 11;  // "-2147483648"

bool WriteLine(std::FILE* stream, std::string_view text) {
    const bool textWritten = text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    return textWritten && std::fputc(LineEnd, stream) != EOF;
}

// Decimal, a "-" only for negative values, no leading zeros, no blanks.
bool WriteNumberLine(std::FILE* stream, std::int32_t value) {
    char text[LongestNumberText];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return WriteLine(stream, std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

}  // namespace

bool WriteSettings(std::FILE* stream, const Settings& values) {
    bool written = true;
    for (int line = 1; line <= NumericLines; ++line) written = WriteNumberLine(stream, values.Number(line)) && written;
    // Only one of the seven names, or nothing, so that the file keeps its
    // fourteen lines whatever the text holds.
    const std::optional<std::size_t> found = FindPieceName(values.FirstMovePieceName);
    const std::string_view name = found ? PieceNames[*found].Name : std::string_view();
    return WriteLine(stream, name) && written;
}

bool WriteSettingsFile(const Settings& values, const std::string& path) {
    // The old file stays as it was until the new lines are all on disk.
    return files::ReplaceFileContents(path, [&values](std::FILE* stream) { return WriteSettings(stream, values); });
}

}  // namespace settings
