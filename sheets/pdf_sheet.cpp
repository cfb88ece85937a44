// Drawing the worksheet's pages.
#include "sheets/pdf_sheet.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>

#include "rules/move_text.h"
#include "sheets/page_layout.h"

namespace sheets {
namespace {

constexpr double RuleWidth = 0.6;
constexpr double FrameWidth = 0.9;
constexpr double AnswerRuleWidth = 0.4;
constexpr double AnswerNumberWidth = 30.0;  // room for "1000." before each solution
constexpr double SmallestTitleFont = 8.0;
constexpr double AnswerBlankShare = 0.55;  // of the board's width

cairo_status_t AppendToString(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

class PageWriter {
  public:
    PageWriter(cairo_t* cr, const artwork::PieceSet& pieces) : Cr(cr), Pieces(pieces) {}

    void Font(double size, bool bold) {
        cairo_select_font_face(Cr, LayoutFontFamily, CAIRO_FONT_SLANT_NORMAL,
                               bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(Cr, size);
    }
    double Width(const std::string& text) {
        cairo_text_extents_t extents;
        cairo_text_extents(Cr, text.c_str(), &extents);
        return extents.x_advance;
    }
    void Text(const std::string& text, double x, double baseline) {
        cairo_move_to(Cr, x, baseline);
        cairo_show_text(Cr, text.c_str());
    }
    void Centred(const std::string& text, double centre, double baseline) {
        Text(text, centre - Width(text) / 2, baseline);
    }
    void RightAligned(const std::string& text, double right, double baseline) {
        Text(text, right - Width(text), baseline);
    }

    // A heading line in bold, made smaller when it would not fit across the page.
    void Heading(const std::string& text, double size, double baseline) {
        Font(size, true);
        const double room = PageWidth - 2 * PageMargin;
        const double width = Width(text);
        if (width > room) Font(std::max(SmallestTitleFont, size * room / width), true);
        Centred(text, PageWidth / 2, baseline);
    }

    void Header(const std::string& heading, const std::string& below) {
        cairo_set_source_rgb(Cr, 0, 0, 0);
        Heading(heading, TitleFontSize, TitleBaseline);
        Font(SubtitleFontSize, false);
        Centred(below, PageWidth / 2, SubtitleBaseline);
        cairo_set_line_width(Cr, RuleWidth);
        cairo_move_to(Cr, PageMargin, HeaderRule);
        cairo_line_to(Cr, PageWidth - PageMargin, HeaderRule);
        cairo_stroke(Cr);
    }

    void Footer(int page, int pages) {
        Font(FooterFontSize, false);
        Centred(PageNumberText(page, pages), PageWidth / 2, FooterBaseline);
    }

    void Diagram(const problems::SeriesProblem& problem, int number, const DiagramPlace& place) {
        const double edge = place.SquareEdge;
        const double left = place.BoardLeft;
        const double top = place.BoardTop;
        cairo_set_source_rgb(Cr, 0, 0, 0);
        Font(place.NumberFontSize, true);
        Text(std::to_string(number), left, place.NumberBaseline);

        // Light squares, then every dark square in one path: a1 is dark.
        cairo_set_source_rgb(Cr, LightSquareGrey, LightSquareGrey, LightSquareGrey);
        cairo_rectangle(Cr, left, top, 8 * edge, 8 * edge);
        cairo_fill(Cr);
        cairo_set_source_rgb(Cr, DarkSquareGrey, DarkSquareGrey, DarkSquareGrey);
        for (int file = chess::FirstSquare; file <= chess::LastSquare; ++file) {
            for (int row = chess::FirstSquare; row <= chess::LastSquare; ++row) {
                if ((file + row) % 2 == 1)
                    cairo_rectangle(Cr, left + (file - 1) * edge, top + (row - 1) * edge, edge, edge);
            }
        }
        cairo_fill(Cr);
        for (int file = chess::FirstSquare; file <= chess::LastSquare; ++file) {
            for (int row = chess::FirstSquare; row <= chess::LastSquare; ++row) {
                const chess::PieceCode code = problem.Board[file][row];
                if (code != chess::NoPiece) {
                    Pieces.Draw(Cr, code, left + (file - 1) * edge, top + (row - 1) * edge, edge);
                }
            }
        }
        cairo_set_source_rgb(Cr, 0, 0, 0);
        cairo_set_line_width(Cr, FrameWidth);
        cairo_rectangle(Cr, left, top, 8 * edge, 8 * edge);
        cairo_stroke(Cr);

        // Rank digits left of the board, file letters under it; White at the bottom.
        Font(place.LabelFontSize, false);
        const double raise = 0.36 * place.LabelFontSize;  // from a row's middle to the digits' baseline
        for (int index = chess::FirstSquare; index <= chess::LastSquare; ++index) {
            RightAligned(std::string(chess::RankDigits[index]), place.RankLabelsRight,
                         top + (index - 0.5) * edge + raise);
            Centred(std::string(chess::FileLetters[index]), left + (index - 0.5) * edge, place.FileLabelsBaseline);
        }

        // The blank for a pupil's answer, right of the number.
        const double right = left + 8 * edge;
        const double blankStart = right - AnswerBlankShare * 8 * edge;
        RightAligned(AnswerPrompt, blankStart - 0.2 * edge, place.NumberBaseline);
        cairo_set_line_width(Cr, AnswerRuleWidth);
        cairo_move_to(Cr, blankStart, place.NumberBaseline + 1);
        cairo_line_to(Cr, right, place.NumberBaseline + 1);
        cairo_stroke(Cr);
    }

    // Entries first .. first + count - 1 of the key, column by column.
    void Answers(const std::vector<problems::SeriesProblem>& problems, int first, int count, int columns) {
        const int rowsMost = AnswersPerPage(columns) / columns;
        const int rows = std::min(rowsMost, (count + columns - 1) / columns);
        const double columnWidth = (PageWidth - 2 * PageMargin) / columns;
        for (int index = 0; index < count; ++index) {
            const double x = PageMargin + (index / rows) * columnWidth;
            const double baseline = ContentTop + AnswerFontSize + (index % rows) * AnswerLineHeight;
            Font(AnswerFontSize, true);
            RightAligned(std::to_string(first + index + 1) + ".", x + AnswerNumberWidth, baseline);
            Font(AnswerFontSize, false);
            Text(AnswerText(problems[static_cast<std::size_t>(first + index)]), x + AnswerNumberWidth + 4, baseline);
        }
    }

  private:
    cairo_t* Cr;
    const artwork::PieceSet& Pieces;
};

}  // namespace

std::string PageNumberText(int page, int pages) {
    return "Страница " + std::to_string(page) + " из " + std::to_string(pages);
}

std::string AnswerText(const problems::SeriesProblem& problem) {
    if (problem.Moves != 2) return problem.SolutionText + "#";
    const problems::TwoMoverSolution& solution = problem.TwoMover;
    std::string text = "1. " + problem.SolutionText + (solution.KeyChecks ? "+!" : "!");
    if (!solution.Threats.empty()) {
        text += " (угроза 2. " + problems::TrainerNotation(solution.Threats.front()) + "#)";
    }
    return text;
}

bool WritePdf(const std::vector<problems::SeriesProblem>& problems, const std::string& title, int perPage,
              const artwork::PieceSet& pieces, std::string& pdf, std::string& error) {
    pdf.clear();
    const int count = static_cast<int>(problems.size());
    const bool twoMovers = !problems.empty() && problems.front().Moves == 2;
    const int columns = twoMovers ? TwoMoverAnswerColumns : AnswerColumns;
    const int pages = PageCount(count, perPage, columns);
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(AppendToString, &pdf, PageWidth, PageHeight);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "vindolar-sheets");
    cairo_t* cr = cairo_create(surface);
    PageWriter writer(cr, pieces);

    int page = 0;
    for (int first = 0; first < count; first += perPage) {
        writer.Header(title, twoMovers ? TwoMoverTaskLine : TaskLine);
        for (int slot = 0; slot < perPage && first + slot < count; ++slot) {
            writer.Diagram(problems[static_cast<std::size_t>(first + slot)], first + slot + 1,
                           PlaceOfDiagram(perPage, slot));
        }
        writer.Footer(++page, pages);
        cairo_show_page(cr);
    }
    for (int first = 0; first < count; first += AnswersPerPage(columns)) {
        writer.Header(AnswersHeading, title);
        writer.Answers(problems, first, std::min(AnswersPerPage(columns), count - first), columns);
        writer.Footer(++page, pages);
        cairo_show_page(cr);
    }

    const cairo_status_t drawing = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t finishing = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    const cairo_status_t status = drawing != CAIRO_STATUS_SUCCESS ? drawing : finishing;
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("PDF не построен: ") + cairo_status_to_string(status);
        pdf.clear();
        return false;
    }
    return true;
}

}  // namespace sheets
