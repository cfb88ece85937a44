// Drawing the worksheet's pages.
#include "sheets/pdf_sheet.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cassert>
#include <iterator>

#include "rules/move_text.h"
#include "sheets/page_layout.h"
#include "sheets/problem_order.h"
#include "sheets/sheet_options.h"

namespace sheets {
namespace {

constexpr double RuleWidth = 0.6;
constexpr double FrameWidth = 0.9;
constexpr double AnswerRuleWidth = 0.4;
constexpr double AnswerNumberGap = 4.0;    // from the problem's number to its lines
constexpr double AnswerColumnGap = 6.0;    // kept free at the right of each column of answers
constexpr double WrappedLineIndent = 8.0;  // the rest of a line too long for its column, set further in
constexpr double AnswerBlankShare = 0.55;  // of the board's width

// A title that needs two lines is set no larger than this on the diagram
// pages and, under "Ответы", on the key's pages: two lines must fit above the
// line under the heading.
constexpr double TwoLineTitleFontSize = 15.0;
constexpr double TwoLineKeyTitleFontSize = 10.5;
constexpr double LineSpacing = 1.2;     // from one baseline to the next, in font sizes
constexpr double MeasureSafety = 0.99;  // sizes from scaled widths are kept a little short of the room
constexpr double HeadingRoom = PageWidth - 2 * PageMargin;

// The name line's blanks share what the labels leave, left to right.
constexpr double NameBlankShares[] = {0.5, 0.2, 0.3};
constexpr double NameLabelGap = 4.0;   // from a label to its blank
constexpr double NameGroupGap = 16.0;  // from a blank to the next label

// A text set in one or two lines at one size.
struct FittedText {
    std::vector<std::string> Lines;
    double Size = 0;
};

// The places where a text may be broken into two lines: after each blank,
// or, in a text without one, between any two characters.
std::vector<std::size_t> BreakPlaces(const std::string& text) {
    std::vector<std::size_t> places;
    for (std::size_t at = 1; at < text.size(); ++at) {
        if (text[at] == ' ') places.push_back(at);
    }
    if (!places.empty()) return places;
    for (std::size_t at = 1; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) places.push_back(at);
    }
    return places;
}

// "2.", "1…": a number of White's or Black's move.
bool IsMoveNumber(const std::string& word) {
    const std::size_t digits = word.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string::npos) return false;
    const std::string mark = word.substr(digits);
    return mark == "." || mark == BlackMoveMark;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

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

    // `text` across the page at `size`; when it is too wide, in one line made
    // smaller, or in two lines at no more than `twoLineSize`, whichever is
    // larger: a title a little too long keeps one line.
    FittedText Fit(const std::string& text, bool bold, double size, double twoLineSize) {
        Font(size, bold);
        const double width = Width(text);
        if (width <= HeadingRoom) return {{text}, size};
        FittedText fitted{{text}, size * HeadingRoom / width * MeasureSafety};
        if (fitted.Size >= twoLineSize) return fitted;
        // The most even break: its wider line is the narrowest.
        FittedText even;
        double narrowest = 0;
        for (const std::size_t at : BreakPlaces(text)) {
            const std::string first = Trimmed(text.substr(0, at));
            const std::string second = Trimmed(text.substr(at));
            if (first.empty() || second.empty()) continue;
            const double wider = std::max(Width(first), Width(second));
            if (even.Lines.empty() || wider < narrowest) {
                even.Lines = {first, second};
                narrowest = wider;
            }
        }
        if (even.Lines.empty()) return fitted;
        even.Size = std::min(twoLineSize, size * HeadingRoom / narrowest * MeasureSafety);
        return even.Size > fitted.Size ? even : fitted;
    }

    void Lines(const FittedText& text, bool bold, double lastBaseline) {
        Font(text.Size, bold);
        double baseline = lastBaseline - LineSpacing * text.Size * static_cast<double>(text.Lines.size() - 1);
        for (const std::string& line : text.Lines) {
            Centred(line, PageWidth / 2, baseline);
            baseline += LineSpacing * text.Size;
        }
    }

    void HeaderRuleLine() {
        cairo_set_line_width(Cr, RuleWidth);
        cairo_move_to(Cr, PageMargin, HeaderRule);
        cairo_line_to(Cr, PageWidth - PageMargin, HeaderRule);
        cairo_stroke(Cr);
    }

    // A diagram page's head: the title in bold, the task under it.
    void WorksheetHeader(const std::string& title, const std::string& task) {
        cairo_set_source_rgb(Cr, 0, 0, 0);
        const FittedText fitted = Fit(title, true, TitleFontSize, TwoLineTitleFontSize);
        // Two lines end just above the task line.
        const double lastBaseline =
            fitted.Lines.size() == 1 ? TitleBaseline : SubtitleBaseline - SubtitleFontSize - 0.5 * fitted.Size;
        Lines(fitted, true, lastBaseline);
        Font(SubtitleFontSize, false);
        Centred(task, PageWidth / 2, SubtitleBaseline);
        HeaderRuleLine();
    }

    // A key page's head: "Ответы" in bold, the title under it.
    void KeyHeader(const std::string& title) {
        cairo_set_source_rgb(Cr, 0, 0, 0);
        Font(TitleFontSize, true);
        Centred(AnswersHeading, PageWidth / 2, TitleBaseline);
        const FittedText fitted = Fit(title, false, SubtitleFontSize, TwoLineKeyTitleFontSize);
        // Two lines end just above the line under the heading.
        const double lastBaseline = fitted.Lines.size() == 1 ? SubtitleBaseline : HeaderRule - 3.0 - 0.4 * fitted.Size;
        Lines(fitted, false, lastBaseline);
        HeaderRuleLine();
    }

    // Labels with a blank to write on after each, across the page.
    void NameLine() {
        Font(NameLineFontSize, false);
        double labels = 0;
        for (const char* label : NameLineLabels) labels += Width(label);
        const double blanks = HeadingRoom - labels - std::size(NameLineLabels) * NameLabelGap -
                              (std::size(NameLineLabels) - 1) * NameGroupGap;
        double x = PageMargin;
        cairo_set_line_width(Cr, AnswerRuleWidth);
        for (std::size_t index = 0; index < std::size(NameLineLabels); ++index) {
            Text(NameLineLabels[index], x, NameLineBaseline);
            x += Width(NameLineLabels[index]) + NameLabelGap;
            const double blank = blanks * NameBlankShares[index];
            cairo_move_to(Cr, x, NameLineBaseline + 1);
            cairo_line_to(Cr, x + blank, NameLineBaseline + 1);
            cairo_stroke(Cr);
            x += blank + NameGroupGap;
        }
    }

    void Footer(const std::string& number, const std::string& variant) {
        Font(FooterFontSize, false);
        Centred(number, PageWidth / 2, FooterBaseline);
        if (variant.empty()) return;
        Font(VariantFontSize, false);
        RightAligned(variant, PageWidth - PageMargin, FooterBaseline);
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
        for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
            for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
                if ((file + row) % 2 == 1)
                    cairo_rectangle(Cr, left + (file - 1) * edge, top + (row - 1) * edge, edge, edge);
            }
        }
        cairo_fill(Cr);
        for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
            for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
                const rules::PieceCode code = problem.Board[file][row];
                if (code != rules::NoPiece) {
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
        for (int index = rules::FirstSquare; index <= rules::LastSquare; ++index) {
            RightAligned(std::string(rules::RankDigits[index]), place.RankLabelsRight,
                         top + (index - 0.5) * edge + raise);
            Centred(std::string(rules::FileLetters[index]), left + (index - 0.5) * edge, place.FileLabelsBaseline);
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

    // A line of the key broken at blanks into pieces no wider than `room`
    // (the rest `indent` narrower), at the font set.
    std::vector<std::string> Wrapped(const std::string& line, double room, double indent) {
        std::vector<std::string> pieces;
        std::string piece;
        std::size_t at = 0;
        while (at < line.size()) {
            // A move number ("2.", "1…") keeps to the move after it.
            std::size_t end = at;
            do {
                end = line.find(' ', end + 1);
                if (end == std::string::npos) end = line.size();
            } while (end < line.size() && IsMoveNumber(Trimmed(line.substr(at, end - at))));
            const std::string word = line.substr(at, end - at);  // with its leading blank, but for the first
            const double width = room - (pieces.empty() ? 0 : indent);
            if (!piece.empty() && Width(piece + word) > width) {
                pieces.push_back(piece);
                piece = Trimmed(word);
            } else {
                piece += word;
            }
            at = end;
        }
        if (!piece.empty()) pieces.push_back(piece);
        return pieces;
    }

    // The key's pages: every problem's number and lines, column by column.
    void AnswerPages(const std::vector<problems::SeriesProblem>& problems, const PdfContent& content) {
        const int moves = problems.empty() ? 1 : problems.front().Tree.Moves;
        const AnswerStyle style = AnswerStyleFor(moves);
        const double columnWidth = HeadingRoom / style.Columns;
        const double room = columnWidth - style.NumberWidth - AnswerNumberGap - AnswerColumnGap;
        // Each entry's lines as they are set: a piece of a broken line is indented.
        std::vector<std::vector<std::pair<std::string, bool>>> entries;
        std::vector<int> heights;
        Font(style.FontSize, false);
        for (const problems::SeriesProblem& problem : problems) {
            std::vector<std::pair<std::string, bool>> lines;
            std::vector<std::string> answer = AnswerLines(problem);
            answer.front() += DifficultyNote(problem);  // the estimate after the key
            for (const std::string& line : answer) {
                const std::vector<std::string> pieces =
                    style.BreaksLines ? Wrapped(line, room, WrappedLineIndent) : std::vector<std::string>{line};
                for (std::size_t piece = 0; piece < pieces.size(); ++piece)
                    lines.emplace_back(pieces[piece], piece > 0);
            }
            heights.push_back(static_cast<int>(lines.size()));
            entries.push_back(std::move(lines));
        }
        const std::vector<LinePlace> places = PlaceAnswerLines(heights, style.Columns, AnswerRows(style));
        const int pages = places.empty() ? 0 : places.back().Page + 1;
        std::size_t place = 0;
        std::size_t entry = 0;
        std::size_t line = 0;  // within the entry
        for (int page = 0; page < pages; ++page) {
            KeyHeader(content.Title);
            for (; place < places.size() && places[place].Page == page; ++place) {
                const double x = PageMargin + places[place].Column * columnWidth;
                const double baseline = ContentTop + style.FontSize + places[place].Row * style.LineHeight;
                const double textLeft = x + style.NumberWidth + AnswerNumberGap;
                if (line == 0) {
                    Font(style.FontSize, true);
                    RightAligned(AnswerNumberText(static_cast<int>(entry) + 1, moves), x + style.NumberWidth, baseline);
                }
                const auto& [text, wrapped] = entries[entry][line];
                // A line still wider than its column (a word by itself) is set smaller to fit.
                Font(style.FontSize, false);
                const double left = textLeft + (wrapped ? WrappedLineIndent : 0);
                const double width = Width(text);
                const double fits = room - (wrapped ? WrappedLineIndent : 0);
                if (width > fits) Font(style.FontSize * fits / width, false);
                Text(text, left, baseline);
                if (++line == entries[entry].size()) {
                    line = 0;
                    ++entry;
                }
            }
            Footer(AnswerPageNumberText(page + 1, pages), content.Variant);
            cairo_show_page(Cr);
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

std::string AnswerPageNumberText(int page, int pages) {
    return std::string(AnswersHeading) + ", страница " + std::to_string(page) + " из " + std::to_string(pages);
}

std::string VariantText(std::uint64_t seed) { return std::string(VariantWord) + " " + std::to_string(seed); }

std::string TaskLine(int moves) { return "Белые начинают и дают мат в " + MovesPhrase(moves); }

std::string AnswerNumberText(int number, int moves) {
    return moves <= 1 ? std::to_string(number) + "." : "№ " + std::to_string(number);
}

namespace {

// A move as the sheets write it: ":" between the squares of a capture.
std::string SheetMoveText(const rules::Move& move, bool captures) {
    return rules::MoveText(move, captures ? rules::CaptureSign : rules::MoveSign);
}
// White's move with "#" after a mate, "+" after a check.
std::string SheetMoveText(const problems::WhiteNode& move) {
    return SheetMoveText(move.Move, move.Captures) + (move.Mates ? "#" : move.Checks ? "+" : "");
}
std::string SheetMoveText(const problems::DefenceNode& move) {
    return SheetMoveText(move.Move, move.Captures) + (move.Checks ? "+" : "");
}

// Black's reply to `move` that puts the mate off longest, the first in the
// order of Black's moves among those; null after a mate.
const problems::DefenceNode* MostStubborn(const problems::WhiteNode& move) {
    const problems::DefenceNode* stubborn = nullptr;
    for (const problems::DefenceNode& defence : move.Defences) {
        if (defence.Continuation.empty()) continue;
        if (stubborn == nullptr || defence.MovesToMate > stubborn->MovesToMate) stubborn = &defence;
    }
    return stubborn;
}

// "1… Крd6-e6 2. Сg5-e7+ Крe6-f5 3. Фb7-f7#": a defence to the key and the
// play after it down to the mate, along Black's most stubborn replies.
std::string VariationText(const problems::DefenceNode& defence) {
    std::string text = std::string("1") + BlackMoveMark + " " + SheetMoveText(defence);
    const problems::DefenceNode* line = &defence;
    for (int move = 2; line != nullptr && !line->Continuation.empty(); ++move) {
        const problems::WhiteNode& answer = line->Continuation.front();
        text += " " + std::to_string(move) + ". " + SheetMoveText(answer);
        line = MostStubborn(answer);
        if (line != nullptr) text += " " + SheetMoveText(*line);
    }
    return text;
}

}  // namespace

std::vector<std::string> AnswerLines(const problems::SeriesProblem& problem) {
    const problems::Solution& solution = problem.Tree;
    // A mate in one is its own key: no move number, no "!".
    if (solution.Moves <= 1) return {SheetMoveText(solution.Key)};
    std::string key = "1. " + SheetMoveText(solution.Key) + "!";
    for (std::size_t threat = 0; threat < solution.Threats.size(); ++threat) {
        key += (threat == 0 ? " (угроза 2. " : ", 2. ") + SheetMoveText(solution.Threats[threat]);
    }
    if (!solution.Threats.empty()) key += ")";
    std::vector<std::string> lines = {key};
    for (const problems::DefenceNode& defence : solution.Key.Defences) {
        if (!defence.Continuation.empty()) lines.push_back(VariationText(defence));
    }
    return lines;
}

namespace {

// Whether the pages' font in `weight` has a picture for `character`. Cairo
// sets it without falling back on another font: a character it lacks
// becomes glyph 0, the empty box.
bool FontDraws(cairo_t* cr, cairo_font_weight_t weight, const std::string& character) {
    cairo_select_font_face(cr, LayoutFontFamily, CAIRO_FONT_SLANT_NORMAL, weight);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    const bool made = cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(cr), 0, 0, character.c_str(),
                                                       static_cast<int>(character.size()), &glyphs, &count, nullptr,
                                                       nullptr, nullptr) == CAIRO_STATUS_SUCCESS;
    const bool drawn = made && count > 0 && glyphs[0].index != 0;
    cairo_glyph_free(glyphs);
    return drawn;
}

}  // namespace

std::string FirstUndrawableCharacter(const std::string& text) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    std::string missing;
    for (std::size_t at = 0; at < text.size() && missing.empty();) {
        std::size_t next = at + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        const std::string character = text.substr(at, next - at);
        // The title stands in bold on the diagram pages and in the normal weight on the key's.
        const bool drawn = character == " " || (FontDraws(cr, CAIRO_FONT_WEIGHT_NORMAL, character) &&
                                                FontDraws(cr, CAIRO_FONT_WEIGHT_BOLD, character));
        if (!drawn) missing = character;
        at = next;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return missing;
}

bool WritePdf(const std::vector<problems::SeriesProblem>& problems, const PdfContent& content,
              const artwork::PieceSet& pieces, std::string& pdf, std::string& error) {
    assert(content.Worksheet || content.AnswerKey);
    pdf.clear();
    const int count = static_cast<int>(problems.size());
    const int perPage = content.PerPage;
    const int moves = problems.empty() ? 1 : problems.front().Tree.Moves;
    cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(AppendToString, &pdf, PageWidth, PageHeight);
    const std::string documentTitle =
        content.Worksheet ? content.Title : std::string(AnswersHeading) + ": " + content.Title;
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, documentTitle.c_str());
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "vindolar-sheets");
    if (!content.Date.empty()) {
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATE_DATE, content.Date.c_str());
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_MOD_DATE, content.Date.c_str());
    }
    cairo_t* cr = cairo_create(surface);
    PageWriter writer(cr, pieces);

    if (content.Worksheet) {
        const int pages = DiagramPages(count, perPage);
        int page = 0;
        for (int first = 0; first < count; first += perPage) {
            writer.WorksheetHeader(content.Title, TaskLine(moves));
            if (content.NameLine) writer.NameLine();
            for (int slot = 0; slot < perPage && first + slot < count; ++slot) {
                writer.Diagram(problems[static_cast<std::size_t>(first + slot)], first + slot + 1,
                               PlaceOfDiagram(perPage, slot, content.NameLine));
            }
            writer.Footer(PageNumberText(++page, pages), content.Variant);
            cairo_show_page(cr);
        }
    }
    if (content.AnswerKey) writer.AnswerPages(problems, content);

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
