// Turning the bytes of a line into UTF-8 text.
#pragma once

#include <string>
#include <string_view>

namespace text {

// The bytes as UTF-8 text: valid sequences stay as they are, and each
// maximal part of a sequence that is not valid UTF-8 (a stray continuation
// byte, a cut-off sequence, an overlong form, a surrogate, a code point above
// U+10FFFF) becomes U+FFFD, so the text can go wherever UTF-8 is required.
std::string DecodedUtf8(std::string_view bytes);

// Whether the valid UTF-8 text holds a control character: C0 (U+0000 to
// U+001F), DEL (U+007F) or C1 (U+0080 to U+009F, among them NEXT LINE and
// the terminal's one-character escape).
[[nodiscard]] bool HasControlCharacter(std::string_view text);

// The bytes (a file name, an argument) as they may be shown inside a one-line
// message: control characters, the line and paragraph separators
// (U+2028, U+2029) and the backslash are escaped ("\n", "\t", "\r",
// "\\", "\u0085", "\x1b"), and so is every byte that is not part of valid
// UTF-8 ("\xff"); the rest is kept as it is. Two different names never
// show alike.
[[nodiscard]] std::string ShownInLine(std::string_view bytes);

}  // namespace text
