// Writes the program's icon: the white knight of the square pictures on its
// light square, with rounded corners, as one PNG file of the given edge.
//   make-icon SIZE FILE
#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "tools/make_icon/icon_drawing.h"

namespace {

constexpr int SmallestEdge = 16;
constexpr int LargestEdge = 512;

// The edge as a whole number within SmallestEdge..LargestEdge, or 0.
int ParseEdge(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long edge = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || edge < SmallestEdge || edge > LargestEdge) return 0;
    return static_cast<int>(edge);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-icon SIZE FILE\n");
        return 2;
    }
    const int edge = ParseEdge(argv[1]);
    if (edge == 0) {
        std::fprintf(stderr, "make-icon: SIZE must be a number from %d to %d, not \"%s\"\n", SmallestEdge, LargestEdge,
                     argv[1]);
        return 2;
    }
    const bool written = make_icon::WriteIcon(edge, argv[2]);
    // Hand back cairo's caches, so a leak checker sees nothing left over.
    cairo_debug_reset_static_data();
    if (!written) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
