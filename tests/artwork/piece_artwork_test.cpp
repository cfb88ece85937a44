// The piece pictures as a chess player sees them and as a program that
// prints them needs them: every piece drawn, white ones light with dark
// outlines and black ones dark, nothing outside its square, the caller's
// drawing state untouched, and vectors, not pixels, on a PDF page.
#include "artwork/piece_artwork.h"
#include "artwork/piece_set.h"

#include <cairo-pdf.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace artwork {
namespace {

constexpr std::array<rules::PieceCode, 6> Kinds = {rules::Pawn, rules::Knight, rules::Bishop,
                                                   rules::Rook, rules::Queen,  rules::King};

using Drawer = std::function<void(cairo_t*, rules::PieceCode, double x, double y, double edge)>;

// A square picture drawn on a plain grey background, pixels read back as
// brightness 0..255.
class Picture {
  public:
    static constexpr double Background = 0.5;

    Picture(rules::PieceCode code, int edge, int margin = 0, const Drawer& draw = artwork::DrawPiece)
        : Edge(edge), Margin(margin) {
        const int size = edge + 2 * margin;
        Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size);
        cairo_t* cr = cairo_create(Surface);
        cairo_set_source_rgb(cr, Background, Background, Background);
        cairo_paint(cr);
        draw(cr, code, margin, margin, edge);
        Status = cairo_status(cr);
        cairo_destroy(cr);
        cairo_surface_flush(Surface);
    }
    ~Picture() { cairo_surface_destroy(Surface); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int Size() const { return Edge + 2 * Margin; }
    // (x, y) in pixels of the whole surface.
    int Brightness(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(Surface);
        const auto pixel =
            reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(Surface))[x];
        return static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 3;
    }
    bool IsBackground(int x, int y) const { return Brightness(x, y) == static_cast<int>(Background * 255 + 0.5); }
    // Pixels inside the square, by kind.
    int CountInside(bool (*wanted)(int brightness)) const {
        int count = 0;
        for (int y = Margin; y < Margin + Edge; ++y) {
            for (int x = Margin; x < Margin + Edge; ++x) count += wanted(Brightness(x, y)) ? 1 : 0;
        }
        return count;
    }
    int Changed() const {
        int count = 0;
        for (int y = 0; y < Size(); ++y) {
            for (int x = 0; x < Size(); ++x) count += IsBackground(x, y) ? 0 : 1;
        }
        return count;
    }
    // How many pixels differ from another picture of the same size by more
    // than `tolerance` in brightness.
    int CountDiffering(const Picture& other, int tolerance) const {
        int count = 0;
        for (int y = 0; y < Size(); ++y) {
            for (int x = 0; x < Size(); ++x) count += std::abs(Brightness(x, y) - other.Brightness(x, y)) > tolerance;
        }
        return count;
    }
    bool SameAs(const Picture& other) const {
        for (int y = 0; y < Size(); ++y) {
            for (int x = 0; x < Size(); ++x) {
                if (Brightness(x, y) != other.Brightness(x, y)) return false;
            }
        }
        return true;
    }
    cairo_status_t Status;

  private:
    int Edge;
    int Margin;
    cairo_surface_t* Surface;
};

bool IsLight(int brightness) { return brightness > 230; }
bool IsDark(int brightness) { return brightness < 40; }

TEST(PieceArtworkTest, WhitePiecesAreLightWithDarkOutlinesAndBlackPiecesDark) {
    for (int edge : {40, 70}) {
        const int area = edge * edge;
        for (rules::PieceCode kind : Kinds) {
            const Picture white(kind, edge);
            const Picture black(-kind, edge);
            EXPECT_EQ(white.Status, CAIRO_STATUS_SUCCESS);
            // A white piece: a light body inside a dark outline; a black
            // piece: dark, its light details the lesser part. Side by side
            // the white one has far more light and far less dark.
            const int whiteLight = white.CountInside(IsLight);
            const int whiteDark = white.CountInside(IsDark);
            const int blackLight = black.CountInside(IsLight);
            const int blackDark = black.CountInside(IsDark);
            EXPECT_GT(whiteLight, area / 20) << "white " << kind << " has a light body at " << edge;
            EXPECT_GT(whiteDark, area / 40) << "white " << kind << " has an outline at " << edge;
            EXPECT_GT(blackDark, area / 10) << "black " << kind << " has a dark body at " << edge;
            EXPECT_GT(blackDark, 2 * blackLight) << "black " << kind << " reads as black at " << edge;
            EXPECT_GT(whiteLight, 3 * blackLight) << kind << " at " << edge;
            EXPECT_GT(2 * blackDark, 3 * whiteDark) << kind << " at " << edge;
        }
    }
}

TEST(PieceArtworkTest, KindsAndColoursDifferFromEachOther) {
    constexpr int Edge = 40;
    std::vector<rules::PieceCode> codes;
    for (rules::PieceCode kind : Kinds) {
        codes.push_back(kind);
        codes.push_back(-kind);
    }
    for (std::size_t a = 0; a < codes.size(); ++a) {
        for (std::size_t b = a + 1; b < codes.size(); ++b) {
            EXPECT_FALSE(Picture(codes[a], Edge).SameAs(Picture(codes[b], Edge)))
                << codes[a] << " and " << codes[b] << " look the same";
        }
    }
    // The two bishops differ over their whole height, head included: in the
    // upper half as much as in the lower.
    const Picture white(rules::Bishop, Edge);
    const Picture black(-rules::Bishop, Edge);
    auto differing = [&](int fromRow, int toRow) {
        int count = 0;
        for (int y = fromRow; y < toRow; ++y) {
            for (int x = 0; x < Edge; ++x) count += std::abs(white.Brightness(x, y) - black.Brightness(x, y)) > 100;
        }
        return count;
    };
    EXPECT_GT(differing(0, Edge / 2), Edge * Edge / 40) << "the bishops' heads differ";
    EXPECT_GT(differing(Edge / 2, Edge), Edge * Edge / 40);
}

TEST(PieceArtworkTest, DrawsOnlyInsideItsSquareAndNothingForNoPiece) {
    constexpr int Edge = 50;
    constexpr int Margin = 20;
    for (rules::PieceCode kind : Kinds) {
        for (rules::PieceCode code : {kind, -kind}) {
            const Picture picture(code, Edge, Margin);
            int outside = 0;
            for (int y = 0; y < picture.Size(); ++y) {
                for (int x = 0; x < picture.Size(); ++x) {
                    const bool inSquare = x >= Margin && x < Margin + Edge && y >= Margin && y < Margin + Edge;
                    if (!inSquare && !picture.IsBackground(x, y)) ++outside;
                }
            }
            EXPECT_EQ(outside, 0) << "code " << code;
            EXPECT_GT(picture.Changed(), 0) << "code " << code;
        }
    }
    // An empty square, and codes that are no piece, leave the background.
    for (rules::PieceCode code : {0, 1, -1, 6, 99, -101, 1000}) {
        EXPECT_EQ(Picture(code, Edge, Margin).Changed(), 0) << "code " << code;
    }
    EXPECT_EQ(Picture(rules::King, 0, Margin).Changed(), 0) << "a square of no size";
}

void ExpectStateKept(const Drawer& draw) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
    cairo_t* cr = cairo_create(surface);
    cairo_translate(cr, 3, 4);
    cairo_set_source_rgb(cr, 0.25, 0.5, 0.75);
    cairo_set_line_width(cr, 7);
    cairo_move_to(cr, 11, 12);
    cairo_matrix_t before;
    cairo_get_matrix(cr, &before);

    draw(cr, -rules::Queen, 10, 10, 60);

    cairo_matrix_t after;
    cairo_get_matrix(cr, &after);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&before), sizeof before),
              std::string(reinterpret_cast<const char*>(&after), sizeof after));
    double red = 0, green = 0, blue = 0, alpha = 0;
    EXPECT_EQ(cairo_pattern_get_rgba(cairo_get_source(cr), &red, &green, &blue, &alpha), CAIRO_STATUS_SUCCESS);
    EXPECT_DOUBLE_EQ(red, 0.25);
    EXPECT_DOUBLE_EQ(green, 0.5);
    EXPECT_DOUBLE_EQ(blue, 0.75);
    EXPECT_DOUBLE_EQ(cairo_get_line_width(cr), 7);
    double x = 0, y = 0;
    ASSERT_TRUE(cairo_has_current_point(cr)) << "the caller's path is kept";
    cairo_get_current_point(cr, &x, &y);
    EXPECT_DOUBLE_EQ(x, 11);
    EXPECT_DOUBLE_EQ(y, 12);
    EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

// Collects what cairo writes into a PDF.
cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string PdfOfPieces(const std::vector<rules::PieceCode>& codes, const Drawer& draw = artwork::DrawPiece) {
    std::string pdf;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(AppendBytes, &pdf, 400, 100);
    cairo_pdf_surface_restrict_to_version(surface, CAIRO_PDF_VERSION_1_4);
    cairo_t* cr = cairo_create(surface);
    double x = 0;
    for (rules::PieceCode code : codes) {
        draw(cr, code, x, 10, 30);
        x += 30;
    }
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
    return pdf;
}

TEST(PieceArtworkTest, PdfPagesGetVectorsNotPictures) {
    std::vector<rules::PieceCode> all;
    for (rules::PieceCode kind : Kinds) {
        all.push_back(kind);
        all.push_back(-kind);
    }
    const artwork::PieceSet set;
    const Drawer fromSet = [&](cairo_t* cr, rules::PieceCode code, double x, double y, double edge) {
        set.Draw(cr, code, x, y, edge);
    };
    for (const Drawer& draw : {Drawer(artwork::DrawPiece), fromSet}) {
        const std::string pdf = PdfOfPieces(all, draw);
        ASSERT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
        EXPECT_EQ(pdf.find("/Subtype /Image"), std::string::npos) << "no raster picture in the page";
        EXPECT_EQ(pdf.find("/Subtype/Image"), std::string::npos);
        // The pieces add drawing to the page: more than an empty page holds.
        EXPECT_GT(pdf.size(), PdfOfPieces({}).size() + 2000);
    }
}

TEST(PieceArtworkTest, LeavesTheCallersStateAsItWas) {
    ExpectStateKept(artwork::DrawPiece);
    const artwork::PieceSet set;
    ExpectStateKept(
        [&](cairo_t* cr, rules::PieceCode code, double x, double y, double edge) { set.Draw(cr, code, x, y, edge); });
}

TEST(PieceArtworkTest, PieceSetDrawsWhatDrawPieceDraws) {
    const artwork::PieceSet set;
    const Drawer fromSet = [&](cairo_t* cr, rules::PieceCode code, double x, double y, double edge) {
        set.Draw(cr, code, x, y, edge);
    };
    for (int edge : {40, 70}) {
        for (rules::PieceCode kind : Kinds) {
            for (rules::PieceCode code : {kind, -kind}) {
                const Picture direct(code, edge, 5);
                const Picture kept(code, edge, 5, fromSet);
                // The same shapes: antialiasing may shade edge pixels a little
                // differently, but no pixel turns from light to dark or back.
                EXPECT_EQ(direct.CountDiffering(kept, 64), 0) << "code " << code << " at " << edge;
                EXPECT_LE(direct.CountDiffering(kept, 32), edge * edge / 16) << "code " << code << " at " << edge;
                EXPECT_GT(kept.Changed(), 0);
            }
        }
        for (rules::PieceCode code : {0, 7, -1000}) EXPECT_EQ(Picture(code, edge, 5, fromSet).Changed(), 0);
    }
}

}  // namespace
}  // namespace artwork
