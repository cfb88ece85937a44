// Decoding the bytes of a line as UTF-8.
#include "text/utf8_text.h"

#include <cstdint>

namespace text {
namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD

// What a lead byte asks of the bytes after it: how many continuation bytes
// follow, and the range the first of them must lie in (narrower than the
// usual 0x80..0xBF where that rules out overlong forms, surrogates and code
// points above U+10FFFF). Continuations == 0 marks a byte that cannot lead.
struct LeadByte {
    int Continuations;
    std::uint8_t FirstLowest;
    std::uint8_t FirstHighest;
};

constexpr std::uint8_t ContinuationLowest = 0x80;
constexpr std::uint8_t ContinuationHighest = 0xBF;

constexpr LeadByte Lead(std::uint8_t byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {1, ContinuationLowest, ContinuationHighest};
    if (byte == 0xE0) return {2, 0xA0, ContinuationHighest};
    if (byte == 0xED) return {2, ContinuationLowest, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {2, ContinuationLowest, ContinuationHighest};
    if (byte == 0xF0) return {3, 0x90, ContinuationHighest};
    if (byte >= 0xF1 && byte <= 0xF3) return {3, ContinuationLowest, ContinuationHighest};
    if (byte == 0xF4) return {3, ContinuationLowest, 0x8F};
    return {0, 0, 0};
}

constexpr bool IsAscii(std::uint8_t byte) { return byte < 0x80; }

// The sequence that starts at `at`: where it ends, and whether it is one
// valid character (otherwise it is the invalid part, up to the byte that
// broke it).
struct Sequence {
    std::size_t End;
    bool Valid;
};

Sequence SequenceAt(std::string_view bytes, std::size_t at) {
    const auto byte = static_cast<std::uint8_t>(bytes[at]);
    if (IsAscii(byte)) return {at + 1, true};
    const LeadByte lead = Lead(byte);
    std::size_t end = at + 1;
    int taken = 0;
    for (; taken < lead.Continuations && end < bytes.size(); ++taken, ++end) {
        const auto next = static_cast<std::uint8_t>(bytes[end]);
        const std::uint8_t lowest = taken == 0 ? lead.FirstLowest : ContinuationLowest;
        const std::uint8_t highest = taken == 0 ? lead.FirstHighest : ContinuationHighest;
        if (next < lowest || next > highest) break;
    }
    return {end, lead.Continuations > 0 && taken == lead.Continuations};
}

// The code point of a valid sequence.
char32_t CodePoint(std::string_view sequence) {
    const auto first = static_cast<std::uint8_t>(sequence[0]);
    if (sequence.size() == 1) return first;
    constexpr std::uint8_t LeadMasks[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t point = first & LeadMasks[sequence.size()];
    for (std::size_t index = 1; index < sequence.size(); ++index) {
        point = (point << 6) | (static_cast<std::uint8_t>(sequence[index]) & 0x3F);
    }
    return point;
}

constexpr bool IsControl(char32_t point) { return point < 0x20 || (point >= 0x7F && point <= 0x9F); }

constexpr char32_t LineSeparator = 0x2028;
constexpr char32_t ParagraphSeparator = 0x2029;

std::string Hexadecimal(unsigned value, int digits) {
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int place = digits - 1; place >= 0; --place, value >>= 4) {
        text[static_cast<std::size_t>(place)] = Digits[value & 0xF];
    }
    return text;
}

}  // namespace

std::string DecodedUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Sequence sequence = SequenceAt(bytes, at);
        if (sequence.Valid) {
            text.append(bytes.substr(at, sequence.End - at));
        } else {
            text.append(ReplacementCharacter);
        }
        at = sequence.End;
    }
    return text;
}

bool HasControlCharacter(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const Sequence sequence = SequenceAt(text, at);
        if (sequence.Valid && IsControl(CodePoint(text.substr(at, sequence.End - at)))) return true;
        at = sequence.End;
    }
    return false;
}

std::string ShownInLine(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const Sequence sequence = SequenceAt(bytes, at);
        const std::string_view part = bytes.substr(at, sequence.End - at);
        at = sequence.End;
        if (!sequence.Valid) {
            for (const char byte : part) shown += "\\x" + Hexadecimal(static_cast<std::uint8_t>(byte), 2);
            continue;
        }
        const char32_t point = CodePoint(part);
        if (point == '\n') {
            shown += "\\n";
        } else if (point == '\t') {
            shown += "\\t";
        } else if (point == '\r') {
            shown += "\\r";
        } else if (point == '\\') {
            shown += "\\\\";
        } else if (point < 0x80 && IsControl(point)) {
            shown += "\\x" + Hexadecimal(point, 2);
        } else if (IsControl(point) || point == LineSeparator || point == ParagraphSeparator) {
            shown += "\\u" + Hexadecimal(point, 4);
        } else {
            shown.append(part);
        }
    }
    return shown;
}

}  // namespace text
