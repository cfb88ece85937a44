// A stdio stream that closes itself when its owner goes.
#pragma once

#include <cstdio>
#include <memory>

namespace files {

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};

// Closed at the end of its owner's life; a close that fails then (only
// possible for a stream written to) goes unreported, so a stream whose
// writes matter is closed by hand with its result checked.
using OpenStream = std::unique_ptr<std::FILE, CloseStream>;

}  // namespace files
