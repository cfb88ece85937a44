// What the window shows: its size, place and title, every control's place,
// size and text, the checkerboard of the first screen, the picture of every
// piece on either shade, the frame of a clicked square and the status count.
#include "tests/support/window_geometry.h"
#include "tests/trainer/trainer_fixture.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <filesystem>
#include <fstream>

#include "problems/generation_run.h"
#include "tests/support/waiting.h"
#include "trainer/tile_names.h"
#include "trainer/window_layout.h"

namespace trainer {
namespace {

using namespace trainer;

struct Box {
    int X, Y, Width, Height;
    bool operator==(const Box& other) const {
        return X == other.X && Y == other.Y && Width == other.Width && Height == other.Height;
    }
};
std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.X << ", " << box.Y << ") " << box.Width << " x " << box.Height;
}

std::string ButtonText(GtkWidget* button) { return gtk_label_get_text(GTK_LABEL(gtk_bin_get_child(GTK_BIN(button)))); }

// True when the whole text of a label is drawn inside its control.
bool TextFits(GtkWidget* label, GtkWidget* control) {
    int width = 0;
    int height = 0;
    pango_layout_get_pixel_size(gtk_label_get_layout(GTK_LABEL(label)), &width, &height);
    GtkAllocation area;
    gtk_widget_get_allocation(control, &area);
    return width <= area.width && height <= area.height;
}

class WindowLayoutTest : public TrainerWindowTest, public ::testing::WithParamInterface<int> {
  protected:
    std::string Settings() const override { return ExampleSettings(GetParam()); }

    Box Where(GtkWidget* widget) const {
        GtkAllocation area;
        gtk_widget_get_allocation(widget, &area);
        int x = 0;
        int y = 0;
        gtk_widget_translate_coordinates(widget, Program->Window.Toplevel(), 0, 0, &x, &y);
        return {x, y, area.width, area.height};
    }
    Box Where(int control) const { return Where(Program->Window.Control(control)); }
    Window XWindow() const { return GDK_WINDOW_XID(gtk_widget_get_window(Program->Window.Toplevel())); }
};

TEST_P(WindowLayoutTest, WindowIsFixedCentredAndTitled) {
    int width = 0;
    int height = 0;
    Input->SizeOf(XWindow(), width, height);
    EXPECT_EQ(width, WindowWidth);
    EXPECT_EQ(height, WindowHeight);
    const ScreenPoint origin = Input->OriginOf(XWindow());
    Display* display = Input->Connection;
    EXPECT_EQ(origin.X, (DisplayWidth(display, DefaultScreen(display)) - WindowWidth) / 2);
    EXPECT_EQ(origin.Y, (DisplayHeight(display, DefaultScreen(display)) - WindowHeight) / 2);
    EXPECT_EQ(Input->FindWindow("Мат в 1 ход", getpid()), XWindow());

    // Not resizable: the window manager is told the least and the largest
    // size are both the window's size.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(display, XWindow(), &hints, &supplied));
    ASSERT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, WindowWidth);
    EXPECT_EQ(hints.max_width, WindowWidth);
    EXPECT_EQ(hints.min_height, WindowHeight);
    EXPECT_EQ(hints.max_height, WindowHeight);

    // Minimise and close are offered, maximise is not.
    constexpr unsigned long Minimise = 8, Maximise = 16, Close = 32;
    unsigned long functions = 0;
    unsigned long decorations = 0;
    ASSERT_TRUE(Input->MotifHints(XWindow(), functions, decorations));
    EXPECT_TRUE(functions & Minimise);
    EXPECT_TRUE(functions & Close);
    EXPECT_FALSE(functions & Maximise);
}

TEST_P(WindowLayoutTest, ControlsStandWhereTheyBelongWithTheirTexts) {
    const int cell = GetParam();
    ASSERT_EQ(CellSize(), cell);
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            const int control = (file - 1) * 8 + row;
            EXPECT_EQ(Where(control), (Box{file * cell, row * cell, cell, cell})) << "square control " << control;
        }
    }
    EXPECT_EQ(Where(MoveTableControl), (Box{800, 10, 190, 640}));
    EXPECT_EQ(Where(CommitButtonControl), (Box{900, 660, 70, 25}));
    EXPECT_EQ(Where(SaveImageButtonControl), (Box{cell, 660, 170, 25}));
    EXPECT_EQ(Where(OptionsButtonControl), (Box{800, 660, 70, 25}));
    EXPECT_EQ(Where(StatusLabelControl), (Box{40, 10, 200, 25}));

    EXPECT_EQ(ButtonText(Program->Window.Control(CommitButtonControl)), "Сходить!");
    EXPECT_EQ(ButtonText(Program->Window.Control(SaveImageButtonControl)), "Сохранить изображение");
    EXPECT_EQ(ButtonText(Program->Window.Control(OptionsButtonControl)), "Опции");
    GtkWidget* status = Program->Window.Control(StatusLabelControl);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(status)), "Сгенерировано  0  позиций");

    GtkTreeView* table = GTK_TREE_VIEW(Program->Window.MoveTableView());
    ASSERT_EQ(gtk_tree_view_get_columns(table) != nullptr, true);
    EXPECT_TRUE(gtk_tree_view_get_headers_visible(table));
    EXPECT_STREQ(gtk_tree_view_column_get_title(gtk_tree_view_get_column(table, 0)), "№");
    EXPECT_STREQ(gtk_tree_view_column_get_title(gtk_tree_view_get_column(table, 1)), "MOVE");
    EXPECT_EQ(gtk_tree_view_column_get_width(gtk_tree_view_get_column(table, 0)), 50);
    EXPECT_EQ(gtk_tree_view_column_get_width(gtk_tree_view_get_column(table, 1)), 90);
    EXPECT_EQ(gtk_tree_view_get_grid_lines(table), GTK_TREE_VIEW_GRID_LINES_BOTH);
    EXPECT_EQ(gtk_tree_selection_get_mode(gtk_tree_view_get_selection(table)), GTK_SELECTION_SINGLE);
    EXPECT_TRUE(TableRows().empty());

    // Every text is shown whole, the longest count included.
    for (int control : {CommitButtonControl, SaveImageButtonControl, OptionsButtonControl}) {
        GtkWidget* button = Program->Window.Control(control);
        EXPECT_TRUE(TextFits(gtk_bin_get_child(GTK_BIN(button)), button)) << ButtonText(button);
    }
    gtk_label_set_text(GTK_LABEL(status), problems::AttemptStatusText(problems::AttemptLimit).c_str());
    EXPECT_TRUE(TextFits(status, status));
}

TEST_P(WindowLayoutTest, FirstScreenIsAnEmptyCheckerboardWithA8AndH1Light) {
    const int cell = GetParam();
    GdkPixbuf* light = Program->Tiles.Picture(1);
    GdkPixbuf* dark = Program->Tiles.Picture(0);
    ASSERT_NE(light, nullptr);
    ASSERT_NE(dark, nullptr);
    EXPECT_EQ(TileNames[1], "W");
    EXPECT_EQ(TileNames[0], "B");
    auto squareShows = [&](GdkPixbuf* screen, int file, int row) {
        GdkPixbuf* expected = (file + row) % 2 == 0 ? light : dark;
        return SamePixels(screen, file * cell, row * cell, expected, 0, 0, cell, cell);
    };
    GdkPixbuf* screen = GrabWindowShowing(Program->Window.Toplevel(), [&](GdkPixbuf* shown) {
        for (int file = 1; file <= 8; ++file) {
            for (int row = 1; row <= 8; ++row) {
                if (!squareShows(shown, file, row)) return false;
            }
        }
        return true;
    });
    ASSERT_NE(screen, nullptr);
    for (int file = 1; file <= 8; ++file) {
        for (int row = 1; row <= 8; ++row) {
            EXPECT_TRUE(squareShows(screen, file, row)) << "square " << file << ", " << row;
        }
    }
    EXPECT_TRUE(SamePixels(screen, cell, cell, light, 0, 0, cell, cell)) << "a8 is light";
    EXPECT_TRUE(SamePixels(screen, 8 * cell, 8 * cell, light, 0, 0, cell, cell)) << "h1 is light";
    EXPECT_TRUE(SamePixels(screen, cell, 8 * cell, dark, 0, 0, cell, cell)) << "a1 is dark";
    g_object_unref(screen);
}

// GTK+ 2 and GTK 3 lay the window out alike, read from the running window:
// its size on the X server and the place and size of every control and of
// the move table's columns.
TEST_P(WindowLayoutTest, LaidOutAsByTheOtherToolkit) {
    support::WindowGeometry seen(Program->Window.Toplevel());
    int width = 0;
    int height = 0;
    Input->SizeOf(XWindow(), width, height);
    seen.Add("window", 0, 0, width, height);
    for (int control = FirstSquareControl; control < ControlNumberCount; ++control) {
        if (Program->Window.Control(control) != nullptr) {
            seen.Add("control-" + std::to_string(control), Program->Window.Control(control));
        }
    }
    GtkTreeView* table = GTK_TREE_VIEW(Program->Window.MoveTableView());
    seen.Add("move-table-view", GTK_WIDGET(table));
    for (int column = 0; column < 2; ++column) {
        seen.Add("column-" + std::to_string(column), 0, 0,
                 gtk_tree_view_column_get_width(gtk_tree_view_get_column(table, column)), 0);
    }
    ASSERT_EQ(seen.Lines().size(), 1u + 69u + 1u + 2u);
    const std::vector<std::string> other =
        support::RecordAndReadOther("trainer-" + std::to_string(GetParam()), seen.Lines());
    if (other.empty()) GTEST_SKIP() << "no build on the other toolkit named with -DMATE_OTHER_TOOLKIT_BUILD";
    EXPECT_EQ(seen.Lines(), other);
}

INSTANTIATE_TEST_SUITE_P(CellSizes, WindowLayoutTest, ::testing::Values(40, 50, 70));

// A settings file that gives no cell size: the board uses the least, 40.
class MissingCellSizeTest : public TrainerWindowTest {
  protected:
    std::string Settings() const override { return ""; }
};

TEST_F(MissingCellSizeTest, BoardUsesTheSmallestCellSize) {
    EXPECT_EQ(CellSize(), 40);
    GtkAllocation area;
    gtk_widget_get_allocation(Program->Window.Control(64), &area);
    EXPECT_EQ(area.width, 40);
}

// Which picture each square shows: for each piece code its picture number
// and file on a dark and on a light square.
struct PictureRule {
    rules::PieceCode Code;
    int Dark;
    const char* DarkFile;
    int Light;
    const char* LightFile;
};
constexpr PictureRule PictureRules[] = {
    {0, 0, "B", 1, "W"},         {-2, 2, "BPB", 3, "BPW"},   {2, 4, "WPB", 5, "WPW"},   {-3, 6, "BNB", 7, "BNW"},
    {3, 8, "WNB", 9, "WNW"},     {-4, 10, "BBB", 11, "BBW"}, {4, 12, "WBB", 13, "WBW"}, {-5, 14, "BRB", 15, "BRW"},
    {5, 16, "WRB", 17, "WRW"},   {-9, 18, "BQB", 19, "BQW"}, {9, 20, "WQB", 21, "WQW"}, {-100, 22, "BKB", 23, "BKW"},
    {100, 24, "WKB", 25, "WKW"},
};

class SquarePictureTest : public TrainerWindowTest {};

TEST_F(SquarePictureTest, EachCodeAndShadeShowsItsPicture) {
    const int cell = CellSize();
    // Every code on a dark square (a1, b8, ...) and on a light one.
    for (const PictureRule& rule : PictureRules) {
        EXPECT_EQ(TileNumberFor(rule.Code, DarkSquare), rule.Dark);
        EXPECT_EQ(TileNumberFor(rule.Code, LightSquare), rule.Light);
        EXPECT_EQ(TileNames[rule.Dark], rule.DarkFile);
        EXPECT_EQ(TileNames[rule.Light], rule.LightFile);
    }
    // Each code goes on two squares of different shades, one pass each (a
    // board holds one king of a colour).
    for (const int rowOffset : {0, 1}) {
        SCOPED_TRACE(rowOffset == 0 ? "first squares" : "second squares");
        Program->Rules.Clear();
        int index = 0;
        for (const PictureRule& rule : PictureRules) {
            const int file = index % 8 + 1;
            const int firstRow = index / 8 * 2 + 1;
            Program->Rules.Put(file, firstRow + rowOffset, rule.Code);
            ++index;
        }
        Program->Window.DrawBoard();
        // The picture each square should show, by its code and shade.
        auto expectedPicture = [&](const PictureRule& rule, int file, int row) {
            return Program->Tiles.Picture(SquareShade[file][row] == DarkSquare ? rule.Dark : rule.Light);
        };
        auto eachSquare = [&](const std::function<bool(const PictureRule&, int file, int row)>& check) {
            bool all = true;
            int square = 0;
            for (const PictureRule& rule : PictureRules) {
                const int file = square % 8 + 1;
                const int row = square / 8 * 2 + 1 + rowOffset;
                all = check(rule, file, row) && all;
                ++square;
            }
            return all;
        };
        GdkPixbuf* screen = GrabWindowShowing(Program->Window.Toplevel(), [&](GdkPixbuf* shown) {
            return eachSquare([&](const PictureRule& rule, int file, int row) {
                GdkPixbuf* picture = expectedPicture(rule, file, row);
                return picture != nullptr && SamePixels(shown, file * cell, row * cell, picture, 0, 0, cell, cell);
            });
        });
        eachSquare([&](const PictureRule& rule, int file, int row) {
            const int expected = SquareShade[file][row] == DarkSquare ? rule.Dark : rule.Light;
            GdkPixbuf* picture = Program->Tiles.Picture(expected);
            EXPECT_NE(picture, nullptr) << TileNames[expected];
            if (picture == nullptr) return false;
            EXPECT_EQ(Program->Window.SquarePicture(file, row), picture) << "code " << rule.Code;
            EXPECT_TRUE(SamePixels(screen, file * cell, row * cell, picture, 0, 0, cell, cell))
                << "code " << rule.Code << " shows " << TileNames[expected];
            return true;
        });
        g_object_unref(screen);
    }
}

TEST_F(SquarePictureTest, PicturesShowWhitePiecesLightAndBlackPiecesDark) {
    // The middle column of a piece's picture, above the foot, has white body
    // pixels for a white piece and dark ones for a black piece, on either shade.
    auto countPixels = [](GdkPixbuf* picture, bool light) {
        const int size = gdk_pixbuf_get_width(picture);
        const int channels = gdk_pixbuf_get_n_channels(picture);
        int count = 0;
        for (int y = size / 4; y < size * 3 / 4; ++y) {
            for (int x = size / 4; x < size * 3 / 4; ++x) {
                const guchar* p = gdk_pixbuf_get_pixels(picture) + y * gdk_pixbuf_get_rowstride(picture) + x * channels;
                const int brightness = (p[0] + p[1] + p[2]) / 3;
                if (light ? brightness > 245 : brightness < 40) ++count;
            }
        }
        return count;
    };
    for (const PictureRule& rule : PictureRules) {
        if (rule.Code == 0) {
            EXPECT_EQ(countPixels(Program->Tiles.Picture(rule.Dark), false), 0);
            EXPECT_EQ(countPixels(Program->Tiles.Picture(rule.Light), true), 0);
            continue;
        }
        for (int number : {rule.Dark, rule.Light}) {
            GdkPixbuf* picture = Program->Tiles.Picture(number);
            EXPECT_EQ(gdk_pixbuf_get_width(picture), CellSize());
            const int area = CellSize() * CellSize() / 4;
            if (rule.Code > 0) {
                EXPECT_GT(countPixels(picture, true), area / 50) << TileNames[number] << " has a white body";
            } else {
                EXPECT_GT(countPixels(picture, false), area / 5) << TileNames[number] << " has a dark body";
            }
        }
    }
}

TEST_F(SquarePictureTest, ClickedSquareGetsARedFrameUntilTheNextRepaint) {
    // A known position with h1 and a8 empty: without it the first pass would
    // make a random problem, whose pieces may stand there.
    ShowProblem("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    const int cell = CellSize();
    GdkPixbuf* emptyLight = Program->Tiles.Picture(1);
    auto isRed = [&](GdkPixbuf* screen, int x, int y) {
        const guchar* p = gdk_pixbuf_get_pixels(screen) + y * gdk_pixbuf_get_rowstride(screen) +
                          x * gdk_pixbuf_get_n_channels(screen);
        return p[0] == 255 && p[1] == 0 && p[2] == 0;
    };
    const int left = 8 * cell;
    const int right = 9 * cell - 1;
    // Two pixels deep along every edge of h1.
    auto frameShows = [&](GdkPixbuf* screen) {
        for (int along = left; along <= right; ++along) {
            for (int depth : {0, 1}) {
                if (!isRed(screen, along, left + depth) || !isRed(screen, along, right - depth) ||
                    !isRed(screen, left + depth, along) || !isRed(screen, right - depth, along)) {
                    return false;
                }
            }
        }
        return true;
    };
    auto pictureInside = [&](GdkPixbuf* screen) {
        return SamePixels(screen, left + 2, left + 2, emptyLight, 2, 2, cell - 4, cell - 4);
    };

    ClickSquare(8, 8);  // h1
    ASSERT_TRUE(RunPassesUntil([&] { return Program->Window.FramedSquare() != 0; }));
    GdkPixbuf* screen = GrabWindowShowing(Program->Window.Toplevel(),
                                          [&](GdkPixbuf* shown) { return frameShows(shown) && pictureInside(shown); });
    EXPECT_TRUE(frameShows(screen)) << "a red frame two pixels deep along h1's edges";
    EXPECT_TRUE(pictureInside(screen)) << "inside the frame the picture shows";
    EXPECT_FALSE(isRed(screen, left - 1, left - 1));
    g_object_unref(screen);

    ClickSquare(1, 1);  // a8: h1 loses its frame
    ASSERT_TRUE(RunPassesUntil([&] { return Program->Window.FramedSquare() == 1; }));
    auto plainH1 = [&](GdkPixbuf* shown) { return SamePixels(shown, left, left, emptyLight, 0, 0, cell, cell); };
    screen = GrabWindowShowing(Program->Window.Toplevel(), plainH1);
    EXPECT_TRUE(plainH1(screen));
    g_object_unref(screen);
}

// Settings with the two kings only: no position is ever a problem.
class AttemptLimitTest : public TrainerWindowTest {
  protected:
    std::string Settings() const override { return KingsOnlySettings(); }
};

TEST_F(AttemptLimitTest, LimitShowsExactCountThenStartsTheEditorAndEnds) {
    std::ofstream(WorkDir->Path + "/quessa") << "#!/bin/sh\npwd > quessa-started.txt\n";
    std::filesystem::permissions(WorkDir->Path + "/quessa", std::filesystem::perms::owner_all);
    constexpr int Limit = 700;
    Program->Run.Limit = Limit;
    std::string statusWhileShown;
    Dialogs.WhileMessageShown = [&](const ScriptedDialogs::Message&) {
        statusWhileShown = gtk_label_get_text(GTK_LABEL(Program->Window.Control(StatusLabelControl)));
    };
    EXPECT_FALSE(Program->RunPass()) << "the trainer ends at the limit";
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Title, "Изменить опции");
    EXPECT_EQ(Dialogs.Messages[0].Text, "Количество сгенерированных позиций больше 30000 !");
    EXPECT_EQ(statusWhileShown, "Сгенерировано  700  позиций");
    EXPECT_EQ(Program->Run.AttemptCount, Limit);
    // The editor was started from the working directory.
    const bool started =
        support::WaitUntil([&] { return std::filesystem::exists(WorkDir->Path + "/quessa-started.txt"); });
    EXPECT_TRUE(started);
}

}  // namespace
}  // namespace trainer
