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

}  // namespace text
