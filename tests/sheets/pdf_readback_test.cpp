// The PDF of the built vindolar-sheets read back with poppler's tools:
// pdfinfo for the pages, pdftotext for the texts, pdffonts for the fonts and
// pdftoppm for the picture of a page, whose squares are compared with the
// shared piece artwork.
#include <cairo.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

#include "artwork/piece_artwork.h"
#include "rules/move_text.h"
#include "sheets/page_layout.h"
#include "sheets/pdf_sheet.h"
#include "tests/settings/scratch_directory.h"
#include "tests/sheets/sheets_run.h"

namespace sheets {
namespace {

using settings::ReadBytes;

// The standard output of a shell command.
std::string Output(const std::string& command) {
    std::string text;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
    ::pclose(pipe);
    return text;
}

std::string FenOf(const PgnGame& game) {
    for (const auto& [name, value] : game.Tags) {
        if (name == "FEN") return value;
    }
    return "";
}

int PageCount(const std::string& pdf) {
    for (const std::string& line : Lines(Output("pdfinfo " + pdf))) {
        if (line.rfind("Pages:", 0) == 0) return std::stoi(line.substr(6));
    }
    return -1;
}

class PdfReadBack : public settings::ScratchDirectoryTest {
  protected:
    PdfReadBack() { WriteExampleSettings("set_figure.txt"); }
    RunResult Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {}) {
        return RunSheets(arguments, Directory.Path.string(), environment);
    }
};

// A field of pdfinfo's report with ISO 8601 dates, such as "CreationDate".
std::string InfoField(const std::string& pdf, const std::string& field) {
    for (const std::string& line : Lines(Output("pdfinfo -isodates " + pdf))) {
        if (line.rfind(field + ":", 0) == 0) return line.substr(line.find_first_not_of(' ', field.size() + 1));
    }
    return "";
}

// Diagram pages for the count and the diagrams a page, then the answer key
// (215 answers a page: 43 rows in 5 columns).
TEST_F(PdfReadBack, PagesForTheCountAndTheDiagramsAPage) {
    struct Case {
        int Count;
        int PerPage;
        int Pages;
    };
    const Case cases[] = {{14, 4, 5}, {14, 6, 4}, {14, 9, 3}, {14, 12, 3}, {1, 6, 2}, {12, 6, 3}, {216, 12, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Count) + " problems, " + std::to_string(c.PerPage) + " a page");
        ASSERT_EQ(Run({"--count", std::to_string(c.Count), "--per-page", std::to_string(c.PerPage), "--seed", "4",
                       "--pdf", "sheet.pdf"})
                      .Status,
                  0);
        EXPECT_EQ(PageCount("sheet.pdf"), c.Pages);
    }
}

// The headings, the page numbers and every solution of the answer key as the
// trainer's move list writes it, taken from the PGN of the same run; and
// only embedded fonts.
TEST_F(PdfReadBack, TextsOfThePagesAndTheAnswerKey) {
    const std::string title = "Домашнее задание: 7 «Б»";
    ASSERT_EQ(
        Run({"--count", "40", "--seed", "17", "--title", title, "--pdf", "sheet.pdf", "--pgn", "sheet.pgn"}).Status, 0);
    ASSERT_EQ(PageCount("sheet.pdf"), 8);  // 7 pages of diagrams, one of answers

    // The diagram pages are numbered among themselves, and so is the key.
    const std::string first = Output("pdftotext -f 1 -l 1 sheet.pdf -");
    EXPECT_NE(first.find(title), std::string::npos) << first;
    EXPECT_NE(first.find("Белые начинают и дают мат в 1 ход"), std::string::npos) << first;
    EXPECT_NE(first.find("Страница 1 из 7"), std::string::npos) << first;
    EXPECT_EQ(first.find("Ответы"), std::string::npos);
    EXPECT_EQ(first.find("Фамилия"), std::string::npos);  // no name line unless asked for

    const std::string key = Output("pdftotext -layout -f 8 -l 8 sheet.pdf -");
    EXPECT_NE(key.find("Ответы"), std::string::npos) << key;
    EXPECT_NE(key.find(title), std::string::npos) << key;
    EXPECT_NE(key.find("Ответы, страница 1 из 1"), std::string::npos) << key;
    EXPECT_EQ(key.find("Страница 8"), std::string::npos) << key;
    const std::vector<PgnGame> games = ReadPgn(*ReadBytes("sheet.pgn"));
    ASSERT_EQ(games.size(), 40u);
    for (std::size_t index = 0; index < games.size(); ++index) {
        const std::string movetext = games[index].Movetext;
        const std::string san = movetext.substr(3, movetext.size() - 3 - 4);  // "1. " SAN " 1-0"
        const auto position = WhiteToMove(FenOf(games[index]));
        const std::vector<rules::Move> named = EntriesNamedBy(*position, san);
        ASSERT_EQ(named.size(), 1u) << san;
        const bool captures = position->At(named[0].ToFile, named[0].ToRow) != rules::NoPiece;
        const std::string answer = std::to_string(index + 1) + ". " +
                                   rules::MoveText(named[0], captures ? rules::CaptureSign : rules::MoveSign) + "#";
        EXPECT_NE(key.find(answer), std::string::npos) << answer << "\n" << key;
    }

    const std::vector<std::string> fonts = Lines(Output("pdffonts sheet.pdf"));
    ASSERT_GT(fonts.size(), 2u);  // two heading lines, then one line a font
    for (std::size_t line = 2; line < fonts.size(); ++line) {
        EXPECT_NE(fonts[line].find("DejaVuSans"), std::string::npos) << fonts[line];
        // Columns: name, type (one or two words), encoding, then emb sub uni.
        EXPECT_NE(fonts[line].find(" yes yes yes "), std::string::npos) << "not embedded: " << fonts[line];
    }
}

// Fine enough that poppler's and cairo's handling of the pieces' thin
// outlines differ little.
constexpr double PixelsPerInch = 288;
constexpr double Scale = PixelsPerInch / 72;
constexpr int Inset = 3;  // pixels of each square's edge left out: its border with the neighbours
constexpr rules::PieceCode Candidates[] = {0, 2, 3, 4, 5, 9, 100, -2, -3, -4, -5, -9, -100};

struct Picture {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> Surface{nullptr, cairo_surface_destroy};
    int Width() const { return cairo_image_surface_get_width(Surface.get()); }
    int Height() const { return cairo_image_surface_get_height(Surface.get()); }
    // Red, green, blue of a pixel, 0..255.
    std::array<int, 3> Pixel(int x, int y) const {
        const unsigned char* data = cairo_image_surface_get_data(Surface.get());
        const auto word =
            *reinterpret_cast<const std::uint32_t*>(data + y * cairo_image_surface_get_stride(Surface.get()) + 4 * x);
        return {static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>(word & 0xFF)};
    }
};

// One square as the artwork draws it, in the page's pixels: its background,
// then the piece, placed exactly where it stands on the page.
Picture DrawnSquare(rules::PieceCode code, bool dark, double x, double y, double edge, int left, int top, int size) {
    Picture picture;
    picture.Surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, size, size));
    cairo_t* cr = cairo_create(picture.Surface.get());
    cairo_translate(cr, -left, -top);
    cairo_scale(cr, Scale, Scale);
    const double grey = dark ? sheets::DarkSquareGrey : sheets::LightSquareGrey;
    cairo_set_source_rgb(cr, grey, grey, grey);
    cairo_rectangle(cr, x, y, edge, edge);
    cairo_fill(cr);
    artwork::DrawPiece(cr, code, x, y, edge);
    cairo_destroy(cr);
    cairo_surface_flush(picture.Surface.get());
    return picture;
}

// Mean difference per colour channel between the page's pixels and a drawn square.
double Difference(const Picture& page, const Picture& square, int left, int top, int size) {
    double sum = 0;
    int count = 0;
    for (int y = Inset; y < size - Inset; ++y) {
        for (int x = Inset; x < size - Inset; ++x) {
            const auto seen = page.Pixel(left + x, top + y);
            const auto drawn = square.Pixel(x, y);
            for (int channel = 0; channel < 3; ++channel) sum += std::abs(seen[channel] - drawn[channel]);
            count += 3;
        }
    }
    return sum / count;
}

// Every square of every diagram on a rendered page looks most like the
// artwork's drawing of the piece the FEN puts there (or of no piece), with
// a1 dark and White at the bottom.
// The same with the name line, which moves the diagrams down.
class RenderedSquares : public PdfReadBack, public ::testing::WithParamInterface<bool> {};

TEST_P(RenderedSquares, ShowThePiecesTheFenSays) {
    const bool nameLine = GetParam();
    WriteSettings("mixed.txt", "2\n1\n1\n1\n1\n3\n1\n1\n1\n0\n50\n1\n5\nлюбая\n");
    std::vector<std::string> arguments = {"--settings", "mixed.txt", "--count",   "6",     "--seed",
                                          "8",          "--pdf",     "sheet.pdf", "--epd", "sheet.epd"};
    if (nameLine) arguments.push_back("--name-line");
    ASSERT_EQ(Run(arguments).Status, 0);
    ASSERT_EQ(std::system(("pdftoppm -r " + std::to_string(static_cast<int>(PixelsPerInch)) +
                           " -f 1 -l 1 -singlefile -png sheet.pdf page")
                              .c_str()),
              0);
    Picture page;
    page.Surface.reset(cairo_image_surface_create_from_png("page.png"));
    ASSERT_EQ(cairo_surface_status(page.Surface.get()), CAIRO_STATUS_SUCCESS);
    // Drawn in the same format, so that pixels compare directly.
    Picture converted;
    converted.Surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.Width(), page.Height()));
    cairo_t* cr = cairo_create(converted.Surface.get());
    cairo_set_source_surface(cr, page.Surface.get(), 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(converted.Surface.get());

    const std::vector<std::string> lines = Lines(*ReadBytes("sheet.epd"));
    ASSERT_EQ(lines.size(), 6u);
    int pieces = 0;
    double worstMatch = 0;
    for (int slot = 0; slot < 6; ++slot) {
        const auto position = WhiteToMove(
            lines[static_cast<std::size_t>(slot)].substr(0, lines[static_cast<std::size_t>(slot)].find(" bm ")) +
            " 0 1");
        const sheets::DiagramPlace place = sheets::PlaceOfDiagram(6, slot, nameLine);
        const double edge = place.SquareEdge;
        for (int file = 1; file <= 8; ++file) {
            for (int row = 1; row <= 8; ++row) {
                const double x = place.BoardLeft + (file - 1) * edge;
                const double y = place.BoardTop + (row - 1) * edge;
                const int left = static_cast<int>(std::ceil(x * Scale));
                const int top = static_cast<int>(std::ceil(y * Scale));
                const int size = static_cast<int>(std::floor(edge * Scale)) - 1;
                const int rank = 9 - row;
                const bool dark = (file + rank) % 2 == 0;  // a1 is dark
                rules::PieceCode best = 1;
                double bestDifference = 1e9;
                double secondDifference = 1e9;
                for (const rules::PieceCode code : Candidates) {
                    const double difference =
                        Difference(converted, DrawnSquare(code, dark, x, y, edge, left, top, size), left, top, size);
                    if (difference < bestDifference) {
                        secondDifference = bestDifference;
                        bestDifference = difference;
                        best = code;
                    } else if (difference < secondDifference) {
                        secondDifference = difference;
                    }
                }
                const rules::PieceCode expected = position->At(file, row);
                EXPECT_EQ(best, expected) << "diagram " << slot + 1 << ", " << rules::SquareName(file, row);
                pieces += expected != 0;
                worstMatch = std::max(worstMatch, bestDifference);
                // Every other drawing is clearly further off.
                if (expected != 0) {
                    EXPECT_GT(secondDifference, 2.5 * bestDifference) << rules::SquareName(file, row);
                }
            }
        }
    }
    EXPECT_GE(pieces, 6 * 3);
    // Out of 255: the same drawing, up to how the two renderers smooth thin outlines.
    EXPECT_LT(worstMatch, 12.0);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTheNameLine, RenderedSquares, ::testing::Bool());

// The text of page `page`, its lines joined by blanks.
std::string PageText(const std::string& pdf, int page) {
    std::string text =
        Output("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + pdf + " -");
    for (char& c : text) {
        if (c == '\n') c = ' ';
    }
    return text;
}

struct WordBox {
    double Left, Top, Right, Bottom;
    std::string Text;
};

double Attribute(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(name + "=\"");
    return at == std::string::npos ? -1 : std::stod(line.substr(at + name.size() + 2));
}

// The words of one page with their boxes, as pdftotext -bbox gives them
// (the font's ascent to its descent).
std::vector<WordBox> Words(const std::string& pdf, int page) {
    std::vector<WordBox> words;
    const std::string numbers = " -f " + std::to_string(page) + " -l " + std::to_string(page) + " ";
    for (const std::string& line : Lines(Output("pdftotext -bbox" + numbers + pdf + " -"))) {
        const std::size_t open = line.find("<word ");
        if (open == std::string::npos) continue;
        const std::size_t text = line.find('>', open) + 1;
        words.push_back({Attribute(line, "xMin"), Attribute(line, "yMin"), Attribute(line, "xMax"),
                         Attribute(line, "yMax"), line.substr(text, line.find("</word>") - text)});
    }
    return words;
}

const std::string LongTitle =
    "Домашнее задание для 3-го класса шахматного кружка «Белая ладья», группа начинающих, декабрь 2026";
// 100 characters of the widest letters, with blanks to break at, and without.
const std::string WidestTitle = [] {
    std::string title;
    for (int word = 0; word < 8; ++word) title += std::string(word > 0 ? " " : "") + "ШЩЖЮШЩЖЮШЩЖ";
    return title + "ШЩЖЮ";
}();
const std::string UnbrokenTitle = [] {
    std::string title;
    for (int letter = 0; letter < 100; ++letter) title += "Ш";
    return title;
}();

// Long titles on every page of the worksheet and of its key: whole in the
// page's text, every word inside the margins, no word on another, and the
// heading above the line under it; on every page the variant's label.
TEST_F(PdfReadBack, LongTitlesFitEveryPage) {
    constexpr double Tolerance = 0.5;
    for (const std::string& title : {LongTitle, WidestTitle, UnbrokenTitle}) {
        for (const int perPage : {4, 6, 9, 12}) {
            SCOPED_TRACE(title + ", " + std::to_string(perPage) + " a page");
            ASSERT_EQ(Run({"--count", "14", "--per-page", std::to_string(perPage), "--seed", "11", "--title", title,
                           "--name-line", "--pdf", "sheet.pdf"})
                          .Status,
                      0);
            const int pages = PageCount("sheet.pdf");
            ASSERT_EQ(pages, (14 + perPage - 1) / perPage + 1);
            for (int page = 1; page <= pages; ++page) {
                SCOPED_TRACE("page " + std::to_string(page));
                const std::string text = PageText("sheet.pdf", page);
                // A title without blanks may be broken anywhere: compare without them.
                std::string letters;
                for (const char c : text) {
                    if (c != ' ') letters += c;
                }
                std::string titleLetters;
                for (const char c : title) {
                    if (c != ' ') titleLetters += c;
                }
                if (title != UnbrokenTitle) {
                    EXPECT_NE(text.find(title), std::string::npos) << text;
                } else {
                    EXPECT_NE(letters.find(titleLetters), std::string::npos) << text;
                }
                EXPECT_NE(text.find("Вариант 11"), std::string::npos) << text;
                EXPECT_EQ(text.find("Ответы") != std::string::npos, page == pages) << text;

                const std::vector<WordBox> words = Words("sheet.pdf", page);
                ASSERT_GT(words.size(), 10u);
                for (std::size_t one = 0; one < words.size(); ++one) {
                    const WordBox& a = words[one];
                    EXPECT_GE(a.Left, sheets::PageMargin - Tolerance) << a.Text;
                    EXPECT_LE(a.Right, sheets::PageWidth - sheets::PageMargin + Tolerance) << a.Text;
                    if (a.Top < sheets::HeaderRule) {
                        EXPECT_LE(a.Bottom, sheets::HeaderRule) << a.Text;
                    }
                    for (std::size_t other = one + 1; other < words.size(); ++other) {
                        const WordBox& b = words[other];
                        const bool overlap = std::min(a.Right, b.Right) - std::max(a.Left, b.Left) > Tolerance &&
                                             std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top) > Tolerance;
                        EXPECT_FALSE(overlap) << a.Text << " on " << b.Text;
                    }
                }
            }
        }
    }
}

// --key: the worksheet without the key and the key as a document of its
// own, each numbered among its own pages and both with the set's label; the
// name line on every diagram page. Another seed gives another label.
TEST_F(PdfReadBack, TheKeyApartAndTheVariantOnEveryPage) {
    ASSERT_EQ(Run({"--count", "230", "--per-page", "12", "--seed", "5", "--name-line", "--pdf", "pupils.pdf", "--key",
                   "key.pdf", "--pgn", "set.pgn"})
                  .Status,
              0);
    ASSERT_EQ(PageCount("pupils.pdf"), 20);  // 230 diagrams, 12 a page
    ASSERT_EQ(PageCount("key.pdf"), 2);      // 215 answers a page
    for (int page = 1; page <= 20; ++page) {
        const std::string text = PageText("pupils.pdf", page);
        EXPECT_EQ(text.find("Ответы"), std::string::npos) << text;
        EXPECT_NE(text.find("Страница " + std::to_string(page) + " из 20"), std::string::npos) << text;
        EXPECT_NE(text.find("Вариант 5"), std::string::npos) << text;
        for (const char* label : {"Фамилия, имя", "Класс", "Дата"}) EXPECT_NE(text.find(label), std::string::npos);
    }
    std::string keys;
    for (int page = 1; page <= 2; ++page) {
        const std::string text = PageText("key.pdf", page);
        EXPECT_NE(text.find("Ответы "), std::string::npos) << text;
        EXPECT_NE(text.find("Мат в 1 ход"), std::string::npos) << text;
        EXPECT_NE(text.find("Ответы, страница " + std::to_string(page) + " из 2"), std::string::npos) << text;
        EXPECT_NE(text.find("Вариант 5"), std::string::npos) << text;
        EXPECT_EQ(text.find("Фамилия"), std::string::npos) << text;
        EXPECT_EQ(text.find("Белые начинают"), std::string::npos) << text;
        keys += text;
    }
    // Every solution of the set is in the key, the last one on its second page.
    const std::vector<PgnGame> games = ReadPgn(*ReadBytes("set.pgn"));
    ASSERT_EQ(games.size(), 230u);
    for (const std::size_t index : {std::size_t{0}, std::size_t{214}, std::size_t{215}, std::size_t{229}}) {
        const std::string& movetext = games[index].Movetext;
        const auto position = WhiteToMove(FenOf(games[index]));
        const std::vector<rules::Move> named = EntriesNamedBy(*position, movetext.substr(3, movetext.size() - 3 - 4));
        ASSERT_EQ(named.size(), 1u);
        const bool captures = position->At(named[0].ToFile, named[0].ToRow) != rules::NoPiece;
        const std::string answer = std::to_string(index + 1) + ". " +
                                   rules::MoveText(named[0], captures ? rules::CaptureSign : rules::MoveSign) + "#";
        EXPECT_NE((index < 215 ? PageText("key.pdf", 1) : PageText("key.pdf", 2)).find(answer), std::string::npos)
            << answer;
    }

    // Only the key: the same pages.
    ASSERT_EQ(Run({"--count", "230", "--seed", "5", "--key", "alone.pdf"}).Status, 0);
    EXPECT_EQ(PageText("alone.pdf", 1), PageText("key.pdf", 1));
    // Two seeds, two labels: the first pages of neighbours' sheets differ.
    ASSERT_EQ(Run({"--count", "6", "--seed", "1", "--pdf", "one.pdf"}).Status, 0);
    ASSERT_EQ(Run({"--count", "6", "--seed", "2", "--pdf", "two.pdf"}).Status, 0);
    EXPECT_NE(PageText("one.pdf", 1).find("Вариант 1 "), std::string::npos);
    EXPECT_NE(PageText("two.pdf", 1).find("Вариант 2 "), std::string::npos);
    EXPECT_NE(PageText("two.pdf", 2).find("Вариант 2 "), std::string::npos);
}

// SOURCE_DATE_EPOCH dates both PDFs, made a second apart, byte for byte
// alike; without it they carry the time of the run, and a value that is no
// plain count of seconds is refused before anything is written.
TEST_F(PdfReadBack, SourceDateEpochDatesTheDocuments) {
    const std::vector<std::string> arguments = {"--count", "8", "--seed", "3", "--pdf", "a.pdf", "--key", "k.pdf"};
    ASSERT_EQ(Run(arguments, {"SOURCE_DATE_EPOCH=1700000000"}).Status, 0);
    for (const char* pdf : {"a.pdf", "k.pdf"}) {
        EXPECT_EQ(InfoField(pdf, "CreationDate"), "2023-11-14T22:13:20Z") << pdf;
        EXPECT_EQ(InfoField(pdf, "ModDate"), "2023-11-14T22:13:20Z") << pdf;
    }
    const auto first = ReadBytes("a.pdf");
    ::sleep(1);
    ASSERT_EQ(Run(arguments, {"SOURCE_DATE_EPOCH=1700000000"}).Status, 0);
    EXPECT_EQ(ReadBytes("a.pdf"), first);

    ASSERT_EQ(Run({"--count", "2", "--seed", "3", "--pdf", "now.pdf"}, {"SOURCE_DATE_EPOCH"}).Status, 0);
    const std::string year = InfoField("now.pdf", "CreationDate").substr(0, 4);
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    EXPECT_EQ(year, std::to_string(parts.tm_year + 1900));

    for (const char* bad : {"", "-1", "+5", " 7", "7 ", "1.5", "1e9", "0x10", "253402300800", "99999999999999999999"}) {
        SCOPED_TRACE(std::string("«") + bad + "»");
        const RunResult run =
            Run({"--count", "2", "--pdf", "bad.pdf", "--pgn", "bad.pgn"}, {std::string("SOURCE_DATE_EPOCH=") + bad});
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err.rfind("vindolar-sheets: SOURCE_DATE_EPOCH: ", 0), 0u) << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1);
        EXPECT_FALSE(ReadBytes("bad.pdf").has_value());
        EXPECT_FALSE(ReadBytes("bad.pgn").has_value());
    }
    EXPECT_EQ(Run({"--count", "2", "--seed", "3", "--pdf", "zero.pdf"}, {"SOURCE_DATE_EPOCH=0"}).Status, 0);
    EXPECT_EQ(InfoField("zero.pdf", "CreationDate"), "1970-01-01T00:00:00Z");
}

}  // namespace
}  // namespace sheets
