// Reading "set_figure.txt" one line at a time, and turning a line into a
// number.
#pragma once

#include <array>
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
//
// A line is read as a stream of bytes and only what its use needs is kept,
// so a line of a gigabyte costs no more memory than a short one.
class LineReader {
  public:
    explicit LineReader(std::FILE* stream) : Stream(stream) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line's value as NumberFromLine gives it.
    std::int32_t ReadNumberLine();
    // The first `keep` bytes of the next line, exactly as stored; the rest of
    // the line is read and dropped.
    std::string ReadTextLine(std::size_t keep);

  private:
    // Hands the bytes of the next line, a run at a time, to `take` (bytes,
    // count) while it returns true, and reads past the rest.
    template <typename Take>
    void ReadLineBytes(Take take);
    // The next byte of the stream, or EOF at its end or on a read error.
    int NextByte();
    // Puts back the byte NextByte has just returned.
    void PutBack() { --At; }

    static constexpr std::size_t BufferSize = 64 * 1024;

    std::FILE* Stream;  // may be null: every line is then empty
    bool Ended = false;
    std::size_t At = 0;      // next unread byte in Buffer
    std::size_t Filled = 0;  // bytes in Buffer
    std::array<unsigned char, BufferSize> Buffer{};
};

// The value of a numeric line: leading blanks and tabs are skipped, an
// optional "-" or "+" is taken, then the decimal digits up to the first
// character that is not one; the rest of the line is ignored. No digits give
// 0. Digits beyond the signed 32-bit range give the nearest limit.
std::int32_t NumberFromLine(std::string_view line);

}  // namespace settings
