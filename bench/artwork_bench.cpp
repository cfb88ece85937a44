// Time to draw one piece with the shared artwork, onto a small image (the
// square pictures) and onto a PDF page (printed sheets).
#include <benchmark/benchmark.h>
#include <cairo-pdf.h>

#include "artwork/piece_artwork.h"
#include "artwork/piece_set.h"

namespace {

constexpr rules::PieceCode Codes[] = {2, 3, 4, 5, 9, 100, -2, -3, -4, -5, -9, -100};
constexpr int CodeCount = sizeof Codes / sizeof Codes[0];

void DrawOntoImage(benchmark::State& state) {
    const int edge = static_cast<int>(state.range(0));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, edge, edge);
    cairo_t* cr = cairo_create(surface);
    int next = 0;
    for (auto _ : state) {
        artwork::DrawPiece(cr, Codes[next], 0, 0, edge);
        next = (next + 1) % CodeCount;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(DrawOntoImage)->Arg(40)->Arg(70);

cairo_status_t Discard(void*, const unsigned char*, unsigned int) { return CAIRO_STATUS_SUCCESS; }

void DrawOntoPdfPage(benchmark::State& state) {
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Discard, nullptr, 595, 842);
    cairo_t* cr = cairo_create(surface);
    int next = 0;
    for (auto _ : state) {
        artwork::DrawPiece(cr, Codes[next], 100, 100, 20);
        next = (next + 1) % CodeCount;
        if (next == 0) cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
}
BENCHMARK(DrawOntoPdfPage);

void DrawFromPieceSetOntoImage(benchmark::State& state) {
    const artwork::PieceSet set;
    const int edge = static_cast<int>(state.range(0));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, edge, edge);
    cairo_t* cr = cairo_create(surface);
    int next = 0;
    for (auto _ : state) {
        set.Draw(cr, Codes[next], 0, 0, edge);
        next = (next + 1) % CodeCount;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(DrawFromPieceSetOntoImage)->Arg(40)->Arg(70);

void DrawFromPieceSetOntoPdfPage(benchmark::State& state) {
    const artwork::PieceSet set;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Discard, nullptr, 595, 842);
    cairo_t* cr = cairo_create(surface);
    int next = 0;
    for (auto _ : state) {
        set.Draw(cr, Codes[next], 100, 100, 20);
        next = (next + 1) % CodeCount;
        if (next == 0) cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
}
BENCHMARK(DrawFromPieceSetOntoPdfPage);

}  // namespace

BENCHMARK_MAIN();
