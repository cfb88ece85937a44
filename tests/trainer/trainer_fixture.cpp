#include "tests/trainer/trainer_fixture.h"

#include <gdk/gdkx.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "rules/fen.h"
#include "tests/support/test_files.h"

namespace trainer {
namespace {

constexpr guint TickMilliseconds = 20;  // the loop's wait returns at least this often
constexpr auto PassDeadline = std::chrono::seconds(20);

std::string SettingsLines(const int (&numbers)[13], const std::string& pieceName) {
    std::string text;
    for (int number : numbers) text += std::to_string(number) + "\n";
    return text + pieceName + "\n";
}

gboolean KeepTicking(gpointer) { return TRUE; }

}  // namespace

std::string ExampleSettings(int cellSize) {
    return SettingsLines({2, 1, 1, 0, 1, 3, 0, 1, 1, 0, cellSize, 1, 4}, "ферзь");
}

std::string KingsOnlySettings() { return SettingsLines({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 0, 2}, "любая"); }

TempWorkDir::TempWorkDir(const std::string& settings) : Folder("trainer-test"), Path(Folder.Path.string()) {
    namespace fs = std::filesystem;
    fs::create_directory(Path + "/JPG");
    fs::create_directory(Path + "/Image");
    for (const fs::directory_entry& tile : fs::directory_iterator(TILE_SOURCE_DIR)) {
        fs::copy_file(tile.path(), Path + "/JPG/" + tile.path().filename().string());
    }
    support::WriteFileBytes(Path + "/set_figure.txt", settings);
}

void ScriptedDialogs::ShowMessage(const std::string& title, const std::string& text) {
    Messages.push_back({title, text});
    if (WhileMessageShown) WhileMessageShown(Messages.back());
}

std::string ScriptedDialogs::AskSavePath(const trainer::SaveDialogRequest& request) {
    SaveRequests.push_back(request);
    if (WhileSaveDialogShown) WhileSaveDialogShown();
    return SavePathAnswer;
}

bool ScriptedDialogs::Shown(const std::string& title, const std::string& text) const {
    for (const Message& message : Messages) {
        if (message.Title == title && message.Text == text) return true;
    }
    return false;
}

GdkPixbuf* GrabWindow(GtkWidget* window) {
    Settle();
    GdkWindow* surface = gtk_widget_get_window(window);
    const gint width = gdk_window_get_width(surface);
    const gint height = gdk_window_get_height(surface);
#if GTK_CHECK_VERSION(3, 0, 0)
    return gdk_pixbuf_get_from_window(surface, 0, 0, width, height);
#else
    return gdk_pixbuf_get_from_drawable(nullptr, surface, gdk_drawable_get_colormap(surface), 0, 0, 0, 0, width,
                                        height);
#endif
}

GdkPixbuf* GrabWindowShowing(GtkWidget* window, const std::function<bool(GdkPixbuf*)>& shows) {
    GdkPixbuf* screen = nullptr;
    SettleUntil([&] {
        if (screen != nullptr) g_object_unref(screen);
        screen = GrabWindow(window);
        return screen != nullptr && shows(screen);
    });
    return screen;
}

bool SamePixels(GdkPixbuf* first, int firstX, int firstY, GdkPixbuf* second, int secondX, int secondY, int width,
                int height) {
    const int firstChannels = gdk_pixbuf_get_n_channels(first);
    const int secondChannels = gdk_pixbuf_get_n_channels(second);
    for (int y = 0; y < height; ++y) {
        const guchar* a = gdk_pixbuf_get_pixels(first) + (firstY + y) * gdk_pixbuf_get_rowstride(first);
        const guchar* b = gdk_pixbuf_get_pixels(second) + (secondY + y) * gdk_pixbuf_get_rowstride(second);
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                if (a[(firstX + x) * firstChannels + c] != b[(secondX + x) * secondChannels + c]) return false;
            }
        }
    }
    return true;
}

void TrainerWindowTest::SetUp() {
    if (gdk_display_get_default() == nullptr) GTEST_SKIP() << support::NoDisplayReason;
    WorkDir = std::make_unique<TempWorkDir>(Settings());
    PrepareWorkDir();
    Program = std::make_unique<trainer::TrainerProgram>(Dialogs);
    Program->StartUp();
    Input = std::make_unique<XDriver>(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()));
    Tick = g_timeout_add(TickMilliseconds, KeepTicking, nullptr);
    const Window shown = GDK_WINDOW_XID(gtk_widget_get_window(Program->Window.Toplevel()));
    ASSERT_TRUE(SettleUntil([&] { return Input->IsOnScreen(shown); })) << "the X server shows the window";
}

void TrainerWindowTest::TearDown() {
    if (IsSkipped()) return;
    if (Tick != 0) g_source_remove(Tick);
    if (Program) Program->End();
    Program.reset();
    Settle();
    WorkDir.reset();
}

void TrainerWindowTest::ShowProblem(const std::string& fen) {
    std::string error;
    ASSERT_TRUE(rules::ParseFen(fen, Program->Rules, error)) << error;
    Program->Rules.SetSideToMove(rules::White);
    Program->Search.ProblemBoard = Program->Rules;
    Program->Judging.Outcome = problems::Verdict::Pending;
    Program->Judging.MoveMade = false;
    Program->Window.DrawBoard();
    Program->Judging.JudgeMove();
    Settle();
}

bool TrainerWindowTest::RunPassesUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + PassDeadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        if (!Program->RunPass()) {
            Ended = true;
            return done();
        }
    }
    return true;
}

ScreenPoint TrainerWindowTest::SquareCentre(int file, int row) const {
    gint x = 0;
    gint y = 0;
    gdk_window_get_origin(gtk_widget_get_window(Program->Window.Toplevel()), &x, &y);
    return {x + file * CellSize() + CellSize() / 2, y + row * CellSize() + CellSize() / 2};
}

ScreenPoint TrainerWindowTest::ControlCentre(int control) const {
    GtkWidget* widget = Program->Window.Control(control);
    GtkAllocation area;
    gtk_widget_get_allocation(widget, &area);
    gint x = 0;
    gint y = 0;
    gtk_widget_translate_coordinates(widget, Program->Window.Toplevel(), area.width / 2, area.height / 2, &x, &y);
    gint originX = 0;
    gint originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(Program->Window.Toplevel()), &originX, &originY);
    return {originX + x, originY + y};
}

ScreenPoint TrainerWindowTest::TableRowCentre(const std::string& moveText) const {
    GtkTreeView* view = GTK_TREE_VIEW(Program->Window.MoveTableView());
    GtkTreeModel* rows = gtk_tree_view_get_model(view);
    GtkTreeIter row;
    int index = 0;
    for (gboolean more = gtk_tree_model_get_iter_first(rows, &row); more; more = gtk_tree_model_iter_next(rows, &row)) {
        gchar* text = nullptr;
        gtk_tree_model_get(rows, &row, 1, &text, -1);
        const bool match = text != nullptr && moveText == text;
        g_free(text);
        if (match) break;
        ++index;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    gtk_tree_view_scroll_to_cell(view, path, nullptr, FALSE, 0, 0);
    Settle();
    GdkRectangle cell;
    gtk_tree_view_get_cell_area(view, path, gtk_tree_view_get_column(view, 1), &cell);
    gtk_tree_path_free(path);
    gint widgetX = 0;
    gint widgetY = 0;
    gtk_tree_view_convert_bin_window_to_widget_coords(view, cell.x + cell.width / 2, cell.y + cell.height / 2, &widgetX,
                                                      &widgetY);
    gint x = 0;
    gint y = 0;
    gtk_widget_translate_coordinates(GTK_WIDGET(view), Program->Window.Toplevel(), widgetX, widgetY, &x, &y);
    gint originX = 0;
    gint originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(Program->Window.Toplevel()), &originX, &originY);
    return {originX + x, originY + y};
}

void TrainerWindowTest::ClickSquare(int file, int row, unsigned button) {
    Input->Click(SquareCentre(file, row), button);
}

void TrainerWindowTest::PlayClick(int file, int row, unsigned button) {
    ClickSquare(file, row, button);
    Settle();
    EXPECT_TRUE(RunPassesUntil([&] { return Program->Events.Empty(); }));
}

void TrainerWindowTest::ClickControl(int control) { Input->Click(ControlCentre(control)); }

std::vector<std::pair<std::string, std::string>> TrainerWindowTest::TableRows() const {
    std::vector<std::pair<std::string, std::string>> result;
    GtkTreeModel* rows = gtk_tree_view_get_model(GTK_TREE_VIEW(Program->Window.MoveTableView()));
    GtkTreeIter row;
    for (gboolean more = gtk_tree_model_get_iter_first(rows, &row); more; more = gtk_tree_model_iter_next(rows, &row)) {
        gchar* number = nullptr;
        gchar* move = nullptr;
        gtk_tree_model_get(rows, &row, 0, &number, 1, &move, -1);
        result.emplace_back(number != nullptr ? number : "", move != nullptr ? move : "");
        g_free(number);
        g_free(move);
    }
    return result;
}

}  // namespace trainer
