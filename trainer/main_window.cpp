#include "trainer/main_window.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "problems/generation_run.h"
#include "rules/move_text.h"
#include "program_start/start_program.h"
#include "trainer/dialogs.h"
#include "trainer/tile_pictures.h"
#include "window_events/event_queue.h"
#include "window_events/toolkit.h"

namespace trainer {
namespace {

using window_events::ClickKind;

enum MouseButton : guint {
    LeftButton = 1,
    RightButton = 3,
};

enum MoveTableColumn : int {
    NumberColumn = 0,
    MoveColumn = 1,
    MoveTableColumns = 2,
};

bool InsideSquare(double x, double y, int cellSize) { return x >= 0 && y >= 0 && x < cellSize && y < cellSize; }

// The text of a label is made smaller, in half points, until `sample` fits
// `width` pixels, but never below this size.
constexpr int SmallestFontPoints = 6;
constexpr int DestroyedWindowStatus = 0;  // the trainer's status on every way out

// The largest font size, in Pango units, at which `sample` in `label`'s font
// fits `width` pixels.
int FittingFontSize(GtkWidget* label, const char* sample, int width) {
    PangoFontDescription* font = window_events::WidgetFont(label);
    PangoLayout* layout = gtk_widget_create_pango_layout(label, sample);
    int size = pango_font_description_get_size(font);
    for (; size > SmallestFontPoints * PANGO_SCALE; size -= PANGO_SCALE / 2) {
        pango_font_description_set_size(font, size);
        pango_layout_set_font_description(layout, font);
        int textWidth = 0;
        int textHeight = 0;
        pango_layout_get_pixel_size(layout, &textWidth, &textHeight);
        if (textWidth <= width) break;
    }
    g_object_unref(layout);
    pango_font_description_free(font);
    return size;
}

void SetFontSize(GtkWidget* label, int size) {
    PangoFontDescription* font = window_events::WidgetFont(label);
    pango_font_description_set_size(font, size);
    window_events::SetWidgetFont(label, font);
    pango_font_description_free(font);
}

#if GTK_CHECK_VERSION(3, 0, 0)
// The width a push button leaves for its text: its border and padding taken
// off on both sides.
int ButtonTextWidth(GtkWidget* button, int buttonWidth) {
    GtkStyleContext* style = gtk_widget_get_style_context(button);
    const GtkStateFlags state = gtk_style_context_get_state(style);
    GtkBorder padding{};
    GtkBorder border{};
    gtk_style_context_get_padding(style, state, &padding);
    gtk_style_context_get_border(style, state, &border);
    return buttonWidth - padding.left - padding.right - border.left - border.right;
}
#else
// The width a push button leaves for its text: its frame, focus line and
// padding taken off on both sides.
int ButtonTextWidth(GtkWidget* button, int buttonWidth) {
    gint focusLineWidth = 0;
    gint focusPadding = 0;
    GtkBorder* innerBorder = nullptr;
    gtk_widget_style_get(button, "focus-line-width", &focusLineWidth, "focus-padding", &focusPadding, "inner-border",
                         &innerBorder, static_cast<const char*>(nullptr));
    const int inner = innerBorder != nullptr ? innerBorder->left + innerBorder->right : 2;
    if (innerBorder != nullptr) gtk_border_free(innerBorder);
    const int frame = 2 * (gtk_widget_get_style(button)->xthickness + focusLineWidth + focusPadding);
    return buttonWidth - frame - inner;
}
#endif

// The longest text the status label shows.
constexpr std::int32_t LargestShownCount = problems::AttemptLimit;

#if GTK_CHECK_VERSION(3, 0, 0)
// The move table's sunken frame is two pixels wide, as on GTK+ 2, and its
// grid lines are drawn in a grey that shows on white: GTK 3's theme draws
// them barely lighter than the rows.
constexpr const char* MoveTableStyle =
    "scrolledwindow.frame { border-width: 2px; }\n"
    "treeview.view { border-left-color: #9a9996; border-top-color: #9a9996; }\n";
#endif

// A client-area coordinate, or -1 when it lies outside the client area.
int ClientCoordinate(int value, int extent) { return value >= 0 && value < extent ? value : -1; }

}  // namespace

MainWindow::MainWindow(const rules::Position& rules, const TilePictures& tiles, window_events::EventQueue& events,
                       Dialogs& dialogs)
    : Rules(rules), Tiles(tiles), Events(events), Boxes(dialogs) {
    for (int number = 0; number < ControlNumberCount; ++number) Links[number] = {this, number};
}

MainWindow::~MainWindow() { Close(); }

void MainWindow::Open(int cellSize) {
    Cell = cellSize;
#if GTK_CHECK_VERSION(3, 0, 0)
    window_events::AddStyleSheet(window_events::ButtonStyle);
    // The move table's sunken frame is two pixels wide, as on GTK+ 2.
    window_events::AddStyleSheet(MoveTableStyle);
#endif
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(Window), WindowTitle);
    gtk_window_set_resizable(GTK_WINDOW(Window), FALSE);
    gtk_window_set_position(GTK_WINDOW(Window), GTK_WIN_POS_CENTER);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnCloseRequest), this);
    g_signal_connect(Window, "destroy-event", G_CALLBACK(OnWindowDestroyed), this);

    Layout = gtk_fixed_new();
    gtk_widget_set_size_request(Layout, WindowWidth, WindowHeight);
    gtk_container_add(GTK_CONTAINER(Window), Layout);

    // Minimise and close in the title bar, no maximise.
    gtk_widget_realize(Window);
    gdk_window_set_functions(gtk_widget_get_window(Window),
                             static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_MINIMIZE | GDK_FUNC_CLOSE));

    CreateControls();
    gtk_widget_show_all(Window);
}

void MainWindow::Close() {
    if (Window == nullptr) return;
    gtk_widget_destroy(Window);
    Window = nullptr;
    Layout = nullptr;
    TableView = nullptr;
    Controls.fill(nullptr);
    SquareImages.fill(nullptr);
}

void MainWindow::CreateControls() {
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) CreateSquare(file, row);
    }
    CreateMoveTable();
    CreateButton(CommitButtonControl, CommitButtonPlace, CommitText);
    CreateButton(SaveImageButtonControl, SaveImageButtonPlace(Cell), SaveImageText);
    CreateButton(OptionsButtonControl, OptionsButtonPlace, OptionsText);

    GtkWidget* status = gtk_label_new(nullptr);
    window_events::SetLabelAlignment(status, 0.0f, 0.5f);
    SetFontSize(status, FittingFontSize(status, problems::AttemptStatusText(LargestShownCount).c_str(),
                                        StatusLabelPlace.Width));
    Place(status, StatusLabelPlace);
    Controls[StatusLabelControl] = status;
    SetStatusCount(0);
}

void MainWindow::Place(GtkWidget* widget, const Placement& place) {
    gtk_widget_set_size_request(widget, place.Width, place.Height);
    gtk_fixed_put(GTK_FIXED(Layout), widget, place.X, place.Y);
}

void MainWindow::CreateSquare(int file, int row) {
    const int number = SquareControlNumber(file, row);
    GtkWidget* square = gtk_event_box_new();
    gtk_widget_add_events(square, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    // An empty square's picture; the board is empty when the controls are made.
    GtkWidget* image = gtk_image_new_from_pixbuf(Tiles.PictureFor(rules::NoPiece, SquareShade[file][row]));
    gtk_container_add(GTK_CONTAINER(square), image);
    Place(square, SquarePlacement(file, row, Cell));
    g_signal_connect(square, "button-press-event", G_CALLBACK(OnSquarePress), &Links[number]);
    g_signal_connect(square, "button-release-event", G_CALLBACK(OnSquareRelease), &Links[number]);
#if GTK_CHECK_VERSION(3, 0, 0)
    g_signal_connect_after(image, "draw", G_CALLBACK(OnSquareDrawn), &Links[number]);
#else
    g_signal_connect_after(image, "expose-event", G_CALLBACK(OnSquareExposed), &Links[number]);
#endif
    Controls[number] = square;
    SquareImages[number] = image;
}

void MainWindow::CreateMoveTable() {
    GtkListStore* rows = gtk_list_store_new(MoveTableColumns, G_TYPE_STRING, G_TYPE_STRING);
    TableView = gtk_tree_view_new_with_model(GTK_TREE_MODEL(rows));
    g_object_unref(rows);
    struct ColumnSpec {
        const char* Header;
        int Width;
    };
    const ColumnSpec columns[MoveTableColumns] = {{NumberHeader, NumberColumnWidth}, {MoveHeader, MoveColumnWidth}};
    for (int index = 0; index < MoveTableColumns; ++index) {
        GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
            columns[index].Header, gtk_cell_renderer_text_new(), "text", index, static_cast<const char*>(nullptr));
        gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
        gtk_tree_view_column_set_fixed_width(column, columns[index].Width);
        gtk_tree_view_append_column(GTK_TREE_VIEW(TableView), column);
    }
    // An empty last column takes up the width the two do not use; without
    // it the toolkit stretches "MOVE" to the table's edge.
    GtkTreeViewColumn* filler = gtk_tree_view_column_new();
    gtk_tree_view_column_set_expand(filler, TRUE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(TableView), filler);
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(TableView), TRUE);
    gtk_tree_view_set_grid_lines(GTK_TREE_VIEW(TableView), GTK_TREE_VIEW_GRID_LINES_BOTH);
    gtk_tree_selection_set_mode(gtk_tree_view_get_selection(GTK_TREE_VIEW(TableView)), GTK_SELECTION_SINGLE);

    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
#if GTK_CHECK_VERSION(3, 0, 0)
    // The scroll bar stands beside the rows all the time, as on GTK+ 2, rather
    // than over them only while the pointer moves.
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller), FALSE);
#endif
    gtk_container_add(GTK_CONTAINER(scroller), TableView);
    Place(scroller, MoveTablePlace);
    Controls[MoveTableControl] = scroller;
}

GtkWidget* MainWindow::CreateButton(int number, const Placement& place, const char* text, int fontSize) {
    GtkWidget* button = gtk_button_new_with_label(text);
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(button));
    SetFontSize(label, fontSize > 0 ? fontSize : FittingFontSize(label, text, ButtonTextWidth(button, place.Width)));
    Place(button, place);
    g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), &Links[number]);
    Controls[number] = button;
    return button;
}

void MainWindow::SetStatusCount(std::int32_t attempts) {
    gtk_label_set_text(GTK_LABEL(Controls[StatusLabelControl]), problems::AttemptStatusText(attempts).c_str());
}

void MainWindow::ShowAttemptCount(std::int32_t attempts) {
    const AttemptCountThrottle::Clock::time_point now = AttemptCountThrottle::Clock::now();
    if (!CountPaints.Due(attempts, now)) return;
    SetStatusCount(attempts);
    window_events::EventQueue::DoPendingWork();
    CountPaints.Painted(attempts, now);
}

void MainWindow::FlushAttemptCount() {
    if (!CountPaints.Behind() || Window == nullptr) return;
    SetStatusCount(CountPaints.LatestCount());
    CountPaints.Painted(CountPaints.LatestCount(), AttemptCountThrottle::Clock::now());
}

void MainWindow::DrawBoard() {
    FlushAttemptCount();
    Framed = 0;
    for (int file = rules::FirstSquare; file <= rules::LastSquare; ++file) {
        for (int row = rules::FirstSquare; row <= rules::LastSquare; ++row) {
            GtkWidget* image = SquareImages[SquareControlNumber(file, row)];
            GdkPixbuf* picture = Tiles.PictureFor(Rules.At(file, row), SquareShade[file][row]);
            if (picture != nullptr) {
                gtk_image_set_from_pixbuf(GTK_IMAGE(image), picture);
            } else {
                gtk_image_clear(GTK_IMAGE(image));
            }
        }
    }
}

void MainWindow::FillMoveTable(const rules::MoveList& moves) {
    GtkListStore* rows = GTK_LIST_STORE(gtk_tree_view_get_model(GTK_TREE_VIEW(TableView)));
    gtk_list_store_clear(rows);
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        const std::string number = std::to_string(entry);
        const std::string move = rules::MoveText(moves[entry]);
        gtk_list_store_insert_with_values(rows, nullptr, -1, NumberColumn, number.c_str(), MoveColumn, move.c_str(),
                                          -1);
    }
}

void MainWindow::ShowMessage(const std::string& title, const std::string& text) {
    FlushAttemptCount();
    Boxes.ShowMessage(title, text);
}

void MainWindow::GiveUp() {
    FlushAttemptCount();
    program_start::StartProgram(program_start::EditorProgram);
}

void MainWindow::HighlightSquare(int file, int row) {
    Framed = SquareControlNumber(file, row);
    gtk_widget_queue_draw(Controls[Framed]);
}

void MainWindow::PointerPosition(int& x, int& y) const {
    int pointerX = -1;
    int pointerY = -1;
    if (Window != nullptr && gtk_widget_get_window(Window) != nullptr) {
#if GTK_CHECK_VERSION(3, 0, 0)
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(Window)));
        gdk_window_get_device_position(gtk_widget_get_window(Window), pointer, &pointerX, &pointerY, nullptr);
#else
        gdk_window_get_pointer(gtk_widget_get_window(Window), &pointerX, &pointerY, nullptr);
#endif
    }
    x = ClientCoordinate(pointerX, WindowWidth);
    y = ClientCoordinate(pointerY, WindowHeight);
}

int MainWindow::SelectedRowNumber() const {
    GtkTreeModel* rows = nullptr;
    GtkTreeIter row;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(TableView)), &rows, &row)) return 0;
    gchar* number = nullptr;
    gtk_tree_model_get(rows, &row, NumberColumn, &number, -1);
    const int value = number != nullptr ? static_cast<int>(std::strtol(number, nullptr, 10)) : 0;
    g_free(number);
    return value;
}

void MainWindow::ShowPromotionButtons() {
    // The four texts share one size: the largest at which every one fits.
    GtkWidget* sample = gtk_button_new_with_label(PromotionChoices[0].Text);
    g_object_ref_sink(sample);
    int shared = 0;
    for (const PromotionChoice& choice : PromotionChoices) {
        const int size = FittingFontSize(gtk_bin_get_child(GTK_BIN(sample)), choice.Text,
                                         ButtonTextWidth(sample, choice.Place.Width));
        shared = shared == 0 ? size : std::min(shared, size);
    }
    g_object_unref(sample);
    for (const PromotionChoice& choice : PromotionChoices) {
        gtk_widget_show(CreateButton(choice.Control, choice.Place, choice.Text, shared));
    }
}

void MainWindow::RemovePromotionButtons() {
    for (const PromotionChoice& choice : PromotionChoices) {
        if (Controls[choice.Control] == nullptr) continue;
        gtk_widget_destroy(Controls[choice.Control]);
        Controls[choice.Control] = nullptr;
    }
}

GtkWidget* MainWindow::Control(int number) const {
    if (number < 0 || number >= ControlNumberCount) return nullptr;
    return Controls[number];
}

GdkPixbuf* MainWindow::SquarePicture(int file, int row) const {
    GtkWidget* image = SquareImages[SquareControlNumber(file, row)];
    if (image == nullptr || gtk_image_get_storage_type(GTK_IMAGE(image)) != GTK_IMAGE_PIXBUF) return nullptr;
    return gtk_image_get_pixbuf(GTK_IMAGE(image));
}

gboolean MainWindow::OnSquarePress(GtkWidget*, GdkEventButton* event, gpointer link) {
    const ControlLink& square = *static_cast<ControlLink*>(link);
    MainWindow& window = *square.Window;
    if (event->type == GDK_2BUTTON_PRESS) {
        // The second press of a double click; its release is no plain click.
        if (event->button == LeftButton) window.Events.PostControlEvent(square.Number, ClickKind::DoubleClick);
        window.PressedSquare = 0;
    } else if (event->type == GDK_BUTTON_PRESS && (event->button == LeftButton || event->button == RightButton)) {
        window.PressedSquare = square.Number;
        window.PressedButton = static_cast<int>(event->button);
    }
    return TRUE;
}

gboolean MainWindow::OnSquareRelease(GtkWidget*, GdkEventButton* event, gpointer link) {
    const ControlLink& square = *static_cast<ControlLink*>(link);
    MainWindow& window = *square.Window;
    // The press grabbed the pointer for this square, so its release comes
    // here wherever it happens; only one over the same square is a click.
    const bool click = window.PressedSquare == square.Number &&
                       static_cast<int>(event->button) == window.PressedButton &&
                       InsideSquare(event->x, event->y, window.Cell);
    window.PressedSquare = 0;
    if (click) {
        window.Events.PostControlEvent(square.Number,
                                       event->button == LeftButton ? ClickKind::LeftClick : ClickKind::RightClick);
    }
    return TRUE;
}

void MainWindow::PaintFrame(cairo_t* cr, int x, int y) const {
    cairo_set_source_rgb(cr, FrameColour.Red / 255.0, FrameColour.Green / 255.0, FrameColour.Blue / 255.0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, x, y, Cell, Cell);
    cairo_rectangle(cr, x + FrameWidth, y + FrameWidth, Cell - 2 * FrameWidth, Cell - 2 * FrameWidth);
    cairo_fill(cr);
}

#if GTK_CHECK_VERSION(3, 0, 0)
// GTK 3 hands the painting a context whose origin is the picture's corner.
gboolean MainWindow::OnSquareDrawn(GtkWidget*, cairo_t* cr, gpointer link) {
    const ControlLink& square = *static_cast<ControlLink*>(link);
    if (square.Window->Framed == square.Number) square.Window->PaintFrame(cr, 0, 0);
    return FALSE;
}
#else
gboolean MainWindow::OnSquareExposed(GtkWidget* image, GdkEventExpose*, gpointer link) {
    const ControlLink& square = *static_cast<ControlLink*>(link);
    if (square.Window->Framed != square.Number) return FALSE;
    GtkAllocation area;
    gtk_widget_get_allocation(image, &area);
    cairo_t* cr = gdk_cairo_create(gtk_widget_get_window(image));
    square.Window->PaintFrame(cr, area.x, area.y);
    cairo_destroy(cr);
    return FALSE;
}
#endif

void MainWindow::OnButtonClicked(GtkButton*, gpointer link) {
    const ControlLink& button = *static_cast<ControlLink*>(link);
    button.Window->Events.PostControlEvent(button.Number, ClickKind::LeftClick);
}

// Another X client destroyed the window itself (no close request came
// first). This may happen anywhere the toolkit runs: in a generation run, in
// the promotion choice (which waits for a click on the window), under a
// message box. The trainer keeps nothing that could be lost, so it ends at
// once with status 0 rather than going on without a window.
gboolean MainWindow::OnWindowDestroyed(GtkWidget*, GdkEvent*, gpointer) { ::_exit(DestroyedWindowStatus); }

gboolean MainWindow::OnCloseRequest(GtkWidget*, GdkEvent*, gpointer self) {
    static_cast<MainWindow*>(self)->Events.PostCloseRequest();
    return TRUE;  // the event loop decides; the window stays until the program ends
}

}  // namespace trainer
