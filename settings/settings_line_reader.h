// Reading "set_figure.txt" one line at a time, and turning a line into a
// number.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace settings {

// Reads lines from an open stream. A line ends at a line feed, a carriage
// return (one directly followed by a line feed ends the line together with
// it), a NUL byte or the end of the stream; the terminator is not part of
// the line and a line may be of any length. At the end of the stream, and
// when there is no stream at all, every further line is empty.
class LineReader {
  public:
    explicit LineReader(std::FILE* stream) : Stream(stream) {}

    // The next line's bytes, exactly as stored.
    std::string ReadLine();

  private:
    std::FILE* Stream;  // may be null: every line is then empty
};

// The value of a numeric line: leading blanks and tabs are skipped, an
// optional "-" or "+" is taken, then the decimal digits up to the first
// character that is not one; the rest of the line is ignored. No digits give
// 0. Digits beyond the signed 32-bit range give the nearest limit.
std::int32_t NumberFromLine(std::string_view line);

}  // namespace settings
