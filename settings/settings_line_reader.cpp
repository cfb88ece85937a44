// Reading one line of the settings file and turning it into a number.
#include "settings/settings_line_reader.h"

#include <limits>

namespace settings {
namespace {

constexpr int LineFeed = '\n';
constexpr int CarriageReturn = '\r';
constexpr int Nul = '\0';

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The magnitude is collected in 64 bits and stops growing once it passes the
// largest magnitude a 32-bit value can take (that of the lowest value), so
// neither a long run of digits nor the sign can overflow.
constexpr std::int64_t LargestMagnitude = -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min());
constexpr std::int64_t DecimalBase = 10;

}  // namespace

std::string LineReader::ReadLine() {
    std::string line;
    if (Stream == nullptr) return line;
    for (;;) {
        const int byte = std::getc(Stream);
        if (byte == EOF) {
            Stream = nullptr;  // end of the stream, or a read error: all further lines are empty
            return line;
        }
        if (byte == LineFeed || byte == Nul) return line;
        if (byte == CarriageReturn) {
            const int next = std::getc(Stream);
            if (next == EOF) {
                Stream = nullptr;
            } else if (next != LineFeed) {
                std::ungetc(next, Stream);  // the byte after a bare carriage return starts the next line
            }
            return line;
        }
        line.push_back(static_cast<char>(byte));
    }
}

std::int32_t NumberFromLine(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) ++at;
    bool negative = false;
    if (at < line.size() && (line[at] == '-' || line[at] == '+')) {
        negative = line[at] == '-';
        ++at;
    }
    std::int64_t magnitude = 0;
    for (; at < line.size() && IsDigit(line[at]); ++at) {
        if (magnitude <= LargestMagnitude) magnitude = magnitude * DecimalBase + (line[at] - '0');
    }
    if (negative) {
        return magnitude >= LargestMagnitude ? std::numeric_limits<std::int32_t>::min()
                                             : static_cast<std::int32_t>(-magnitude);
    }
    return magnitude > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                                : static_cast<std::int32_t>(magnitude);
}

}  // namespace settings
