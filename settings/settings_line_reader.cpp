// Reading one line of the settings file and turning it into a number.
#include "settings/settings_line_reader.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
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

// The number of a line, taken one byte at a time: blanks, a sign, digits,
// and then nothing more counts.
class NumberScan {
  public:
    // False once the rest of the line no longer counts.
    bool Take(char c) {
        switch (Stage) {
            case Part::Blanks:
                if (IsBlank(c)) return true;
                Stage = Part::Digits;
                if (c == '-' || c == '+') {
                    Negative = c == '-';
                    return true;
                }
                [[fallthrough]];
            case Part::Digits:
                if (!IsDigit(c)) {
                    Stage = Part::Rest;
                } else if (Magnitude <= LargestMagnitude) {
                    Magnitude = Magnitude * DecimalBase + (c - '0');
                }
                return Stage == Part::Digits;
            case Part::Rest: break;
        }
        return false;
    }

    bool TakeAll(const char* bytes, std::size_t count) {
        for (std::size_t at = 0; at < count; ++at) {
            if (!Take(bytes[at])) return false;
        }
        return true;
    }

    std::int32_t Value() const {
        if (Negative) {
            return Magnitude >= LargestMagnitude ? std::numeric_limits<std::int32_t>::min()
                                                 : static_cast<std::int32_t>(-Magnitude);
        }
        return Magnitude > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                                    : static_cast<std::int32_t>(Magnitude);
    }

  private:
    enum class Part { Blanks, Digits, Rest };
    Part Stage = Part::Blanks;
    bool Negative = false;
    std::int64_t Magnitude = 0;
};

// The length of the run of bytes from `from` that holds no line terminator.
std::size_t LineBytesAt(const unsigned char* from, std::size_t left) {
    std::size_t length = left;
    for (const int terminator : {LineFeed, CarriageReturn, Nul}) {
        const void* found = std::memchr(from, terminator, length);
        if (found != nullptr) length = static_cast<std::size_t>(static_cast<const unsigned char*>(found) - from);
    }
    return length;
}

}  // namespace

int LineReader::NextByte() {
    if (At == Filled) {
        if (Stream == nullptr || Ended) return EOF;
        Filled = std::fread(Buffer.data(), 1, Buffer.size(), Stream);
        At = 0;
        if (Filled == 0) {
            Ended = true;  // end of the stream, or a read error: all further lines are empty
            return EOF;
        }
    }
    return Buffer[At++];
}

template <typename Take>
void LineReader::ReadLineBytes(Take take) {
    bool wanted = true;
    for (;;) {
        if (At == Filled) {
            if (NextByte() == EOF) return;
            PutBack();
        }
        const unsigned char* from = Buffer.data() + At;
        const std::size_t length = LineBytesAt(from, Filled - At);
        if (wanted && length > 0) wanted = take(reinterpret_cast<const char*>(from), length);
        At += length;
        if (At == Filled) continue;  // the line goes on in the next part of the stream
        if (NextByte() == CarriageReturn) {
            const int next = NextByte();
            if (next != EOF && next != LineFeed)
                PutBack();  // the byte after a bare carriage return starts the next line
        }
        return;
    }
}

std::int32_t LineReader::ReadNumberLine() {
    NumberScan number;
    ReadLineBytes([&number](const char* bytes, std::size_t count) { return number.TakeAll(bytes, count); });
    return number.Value();
}

std::string LineReader::ReadTextLine(std::size_t keep) {
    std::string line;
    ReadLineBytes([&line, keep](const char* bytes, std::size_t count) {
        line.append(bytes, std::min(count, keep - line.size()));
        return line.size() < keep;
    });
    return line;
}

std::int32_t NumberFromLine(std::string_view line) {
    NumberScan number;
    number.TakeAll(line.data(), line.size());
    return number.Value();
}

}  // namespace settings
