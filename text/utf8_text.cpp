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

}  // namespace

std::string DecodedUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<std::uint8_t>(bytes[at]);
        if (IsAscii(byte)) {
            text.push_back(bytes[at++]);
            continue;
        }
        const LeadByte lead = Lead(byte);
        std::size_t end = at + 1;
        int taken = 0;
        for (; taken < lead.Continuations && end < bytes.size(); ++taken, ++end) {
            const auto next = static_cast<std::uint8_t>(bytes[end]);
            const std::uint8_t lowest = taken == 0 ? lead.FirstLowest : ContinuationLowest;
            const std::uint8_t highest = taken == 0 ? lead.FirstHighest : ContinuationHighest;
            if (next < lowest || next > highest) break;
        }
        if (lead.Continuations > 0 && taken == lead.Continuations) {
            text.append(bytes.substr(at, end - at));
        } else {
            text.append(ReplacementCharacter);  // the invalid part, up to the byte that broke it
        }
        at = end;
    }
    return text;
}

}  // namespace text
