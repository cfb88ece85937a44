// The editor window as a person sees it: title, size, place on the screen,
// window-manager hints, and every control's place, size and text, also
// after the window has been resized.
#include <memory>
#include <string>
#include <vector>

#include "tests/editor/editor_fixture.h"
#include "tests/support/window_geometry.h"
#include "window_events/toolkit.h"

namespace editor {
namespace {

struct ExpectedLabel {
    int Number;
    ClientPlace Place;
    std::string Text;
};
const std::vector<ExpectedLabel> ExpectedLabels = {
    {0, {30, 20, 120, 20}, "Белых пешек"},
    {1, {30, 60, 120, 20}, "Белых коней"},
    {2, {30, 100, 120, 20}, "Белых слонов"},
    {3, {30, 140, 120, 20}, "Белых ладей"},
    {4, {30, 180, 120, 20}, "Белых ферзей"},
    {5, {300, 20, 120, 20}, "Черных пешек"},
    {6, {300, 60, 120, 20}, "Черных коней"},
    {7, {300, 100, 120, 20}, "Черных слонов"},
    {8, {300, 140, 120, 20}, "Черных ладей"},
    {9, {300, 180, 120, 20}, "Черных ферзей"},
    {23, {40, 290, 120, 20}, "Размер клетки"},
    {24, {300, 290, 220, 20}, "Черный король от края доски"},
    {25, {300, 330, 220, 20}, "Белые пешки не далее"},
    {26, {40, 330, 120, 20}, "Первый ход"},
};

struct ExpectedBox {
    int Number;
    int Left;
    int Top;
};
const std::vector<ExpectedBox> ExpectedBoxes = {
    {10, 170, 20},  {11, 170, 60},  {12, 170, 100}, {13, 170, 140}, {14, 170, 180}, {15, 440, 20},  {16, 440, 60},
    {17, 440, 100}, {18, 440, 140}, {19, 440, 180}, {20, 170, 290}, {21, 540, 290}, {22, 540, 330},
};
constexpr int BoxWidth = 50;
constexpr int BoxHeight = 25;

const ClientPlace ExpectedPieceList = {170, 330, 70, 25};
const ClientPlace ExpectedSaveButton = {40, 480, 170, 30};
const std::vector<std::string> ExpectedPieceNames = {"пешка", "конь", "слон", "ладья", "ферзь", "король", "любая"};

// _MOTIF_WM_HINTS bits.
constexpr unsigned long FunctionResize = 2, FunctionMove = 4, FunctionMinimize = 8, FunctionMaximize = 16,
                        FunctionClose = 32;
constexpr unsigned long DecorBorder = 2, DecorResizeHandles = 4, DecorTitle = 8, DecorMenu = 16, DecorMinimize = 32,
                        DecorMaximize = 64;

std::string LabelText(GtkWidget* label) { return gtk_label_get_text(GTK_LABEL(label)); }

// The font a widget draws in now, freed with the pointer.
using Font = std::unique_ptr<PangoFontDescription, decltype(&pango_font_description_free)>;
Font FontOf(GtkWidget* widget) { return Font(window_events::WidgetFont(widget), &pango_font_description_free); }

std::string FontFamilyOf(GtkWidget* widget) {
    const Font font = FontOf(widget);
    const char* family = pango_font_description_get_family(font.get());
    return family != nullptr ? family : "";
}

class EditorLayoutTest : public EditorWindowTest {
  protected:
    // Every control stands where the layout puts it, with its size.
    void ExpectEveryControlInPlace() {
        for (std::size_t i = 0; i < ExpectedLabels.size(); ++i) {
            EXPECT_EQ(PlaceOf(Editor.Window.Labels[i]), ExpectedLabels[i].Place)
                << "label " << ExpectedLabels[i].Number;
        }
        for (const ExpectedBox& expected : ExpectedBoxes) {
            editor::SpinBox& box = Box(expected.Number);
            EXPECT_EQ(PlaceOf(box.Frame), (ClientPlace{expected.Left, expected.Top, BoxWidth, BoxHeight}))
                << "spin box " << expected.Number;
        }
        EXPECT_EQ(PlaceOf(Editor.Window.PieceList), ExpectedPieceList);
        EXPECT_EQ(PlaceOf(Editor.Window.SaveButton), ExpectedSaveButton);
    }

    void ResizeTo(int width, int height) {
        Driver.Resize(WindowId(), width, height);
        SettleUntil([&] {
            const ClientPlace client = PlaceOf(Editor.Window.Window);
            return client.Width == width && client.Height == height;
        });
        ASSERT_EQ(PlaceOf(Editor.Window.Window).Width, width);
        ASSERT_EQ(PlaceOf(Editor.Window.Window).Height, height);
    }
};

TEST_F(EditorLayoutTest, WindowHasItsTitleSizePlaceAndDecorations) {
    StartWithoutFile();
    EXPECT_EQ(Driver.TitleOf(WindowId()), "New window ( 0 )");
    EXPECT_TRUE(gtk_window_get_resizable(GTK_WINDOW(Editor.Window.Window)));

    const ClientPlace client = PlaceOf(Editor.Window.Window);
    EXPECT_EQ(client.Width, 800);
    EXPECT_EQ(client.Height, 600);
    const int screen = DefaultScreen(Driver.Connection);
    const ScreenPoint origin = Driver.OriginOf(WindowId());
    EXPECT_EQ(origin.X, (DisplayWidth(Driver.Connection, screen) - 800) / 2);
    EXPECT_EQ(origin.Y, (DisplayHeight(Driver.Connection, screen) - 600) / 2);

    unsigned long functions = 0;
    unsigned long decorations = 0;
    ASSERT_TRUE(Driver.MotifHints(WindowId(), functions, decorations));
    EXPECT_EQ(functions, FunctionResize | FunctionMove | FunctionClose);
    EXPECT_EQ(functions & (FunctionMinimize | FunctionMaximize), 0u);
    EXPECT_EQ(decorations, DecorBorder | DecorResizeHandles | DecorTitle | DecorMenu);
    EXPECT_EQ(decorations & (DecorMinimize | DecorMaximize), 0u);
}

TEST_F(EditorLayoutTest, ControlsStandInPlaceWithTheirTexts) {
    StartWithoutFile();
    ExpectEveryControlInPlace();

    for (std::size_t i = 0; i < ExpectedLabels.size(); ++i) {
        GtkWidget* label = Editor.Window.Labels[i];
        EXPECT_EQ(LabelText(label), ExpectedLabels[i].Text) << "label " << ExpectedLabels[i].Number;
        EXPECT_TRUE(gtk_widget_get_visible(label));
        float xAlign = -1;
        float yAlign = -1;
        window_events::GetLabelAlignment(label, xAlign, yAlign);
        EXPECT_FLOAT_EQ(xAlign, 0.0f) << "label " << ExpectedLabels[i].Number << " is left-aligned";
        EXPECT_FLOAT_EQ(yAlign, 0.5f) << "label " << ExpectedLabels[i].Number << " is vertically centred";
    }

    GtkWidget* buttonLabel = gtk_bin_get_child(GTK_BIN(Editor.Window.SaveButton));
    ASSERT_TRUE(GTK_IS_LABEL(buttonLabel));
    EXPECT_EQ(LabelText(buttonLabel), "Сохранить");

    // The arrows sit at the right of the field, the up arrow above the down arrow.
    for (const ExpectedBox& expected : ExpectedBoxes) {
        editor::SpinBox& box = Box(expected.Number);
        const ClientPlace field = PlaceOf(box.Field);
        const ClientPlace up = PlaceOf(box.UpArrow);
        const ClientPlace down = PlaceOf(box.DownArrow);
        EXPECT_EQ(field.Left, expected.Left);
        EXPECT_EQ(up.Left, field.Left + field.Width);
        EXPECT_EQ(down.Left, up.Left);
        EXPECT_EQ(up.Left + up.Width, expected.Left + BoxWidth);
        EXPECT_EQ(up.Top, expected.Top);
        EXPECT_EQ(down.Top, up.Top + up.Height);
        EXPECT_EQ(down.Top + down.Height, expected.Top + BoxHeight);
    }
}

TEST_F(EditorLayoutTest, LabelsAloneUseTheLabelFont) {
    StartWithoutFile();
    for (GtkWidget* label : Editor.Window.Labels) {
        const Font held = FontOf(label);
        const PangoFontDescription* font = held.get();
        EXPECT_EQ(FontFamilyOf(label), "Arial Black");
        EXPECT_EQ(pango_font_description_get_size(font), 10 * PANGO_SCALE);
        EXPECT_FALSE(pango_font_description_get_size_is_absolute(font));
        EXPECT_EQ(pango_font_description_get_weight(font), PANGO_WEIGHT_NORMAL);
        EXPECT_EQ(pango_font_description_get_style(font), PANGO_STYLE_NORMAL);
        // Some font, the family itself or its substitute, is there to draw with.
        PangoFont* loaded = pango_context_load_font(gtk_widget_get_pango_context(label), font);
        EXPECT_NE(loaded, nullptr);
        if (loaded != nullptr) {
            g_object_unref(loaded);
        }
    }
    EXPECT_NE(FontFamilyOf(Box(10).Field), "Arial Black");
    EXPECT_NE(FontFamilyOf(Editor.Window.PieceList), "Arial Black");
    EXPECT_NE(FontFamilyOf(gtk_bin_get_child(GTK_BIN(Editor.Window.SaveButton))), "Arial Black");
}

TEST_F(EditorLayoutTest, PieceListHoldsTheSevenNamesAndTakesNoTypedText) {
    StartWithoutFile();
    GtkWidget* list = Editor.Window.PieceList;
    EXPECT_FALSE(GTK_IS_ENTRY(gtk_bin_get_child(GTK_BIN(list))));
    EXPECT_FALSE(gtk_combo_box_get_has_entry(GTK_COMBO_BOX(list)));

    GtkTreeModel* model = gtk_combo_box_get_model(GTK_COMBO_BOX(list));
    std::vector<std::string> names;
    GtkTreeIter row;
    for (gboolean more = gtk_tree_model_get_iter_first(model, &row); more;
         more = gtk_tree_model_iter_next(model, &row)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &row, 0, &text, -1);
        names.emplace_back(text != nullptr ? text : "");
        g_free(text);
    }
    EXPECT_EQ(names, ExpectedPieceNames);
}

// The first widget of `type` inside `widget`, searched depth first, or nullptr.
GtkWidget* FindInside(GtkWidget* widget, GType type) {
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, type)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    // The toolkit's own parts too: GTK 3 keeps a list's cell view in them.
    struct Search {
        GType Type;
        GtkWidget* Found;
    } search = {type, nullptr};
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            auto& wanted = *static_cast<Search*>(data);
            if (wanted.Found == nullptr) wanted.Found = FindInside(child, wanted.Type);
        },
        &search);
    return search.Found;
}

TEST_F(EditorLayoutTest, PieceListShowsEveryNameWholeInTheDefaultFont) {
    StartWithoutFile();
    GtkWidget* list = Editor.Window.PieceList;
    GtkWidget* shown = FindInside(list, GTK_TYPE_CELL_VIEW);
    ASSERT_NE(shown, nullptr) << "the closed list shows its choice in a cell view";
    GtkAllocation area;
    gtk_widget_get_allocation(shown, &area);

    // The text keeps the toolkit's default font: the one a plain new label gets.
    GtkWidget* plain = gtk_label_new(nullptr);
    g_object_ref_sink(plain);
    const Font defaultFont = FontOf(plain);
    const Font shownFont = FontOf(shown);
    gchar* shownName = pango_font_description_to_string(shownFont.get());
    EXPECT_TRUE(pango_font_description_equal(shownFont.get(), defaultFont.get())) << shownName;
    g_free(shownName);

    // What a name needs: its text in that font and the renderer's padding on both sides.
    GList* renderers = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(list));
    ASSERT_NE(renderers, nullptr);
    guint padding = 0;
    g_object_get(renderers->data, "xpad", &padding, static_cast<const char*>(nullptr));
    g_list_free(renderers);
    int widest = 0;
    std::string widestName;
    for (const std::string& name : ExpectedPieceNames) {
        PangoLayout* layout = gtk_widget_create_pango_layout(shown, name.c_str());
        int width = 0;
        int height = 0;
        pango_layout_get_pixel_size(layout, &width, &height);
        g_object_unref(layout);
        const int needed = width + 2 * static_cast<int>(padding);
        EXPECT_LE(needed, area.width) << "\"" << name << "\" needs " << needed << " pixels, the list shows "
                                      << area.width;
        EXPECT_LE(height, area.height) << name;
        if (needed > widest) {
            widest = needed;
            widestName = name;
        }
    }
    EXPECT_EQ(widestName, "король") << "the widest name is the one measured against the text area";
    EXPECT_EQ(PlaceOf(list), ExpectedPieceList) << "the list keeps its size";
    g_object_unref(plain);
}

TEST_F(EditorLayoutTest, ResizingMovesNoControl) {
    StartWithoutFile();
    ResizeTo(1000, 750);
    ExpectEveryControlInPlace();
    ResizeTo(620, 540);
    ExpectEveryControlInPlace();

    // The controls still work where they stand: the save button still saves.
    ClickOn(Editor.Window.SaveButton);
    EXPECT_EQ(Editor.RunEventLoop(), editor::LoopOutcome::Saved);
}

// GTK+ 2 and GTK 3 lay the window out alike, read from the running window:
// every control, each spin box's field and arrows, and the shown name of the
// piece list.
TEST_F(EditorLayoutTest, LaidOutAsByTheOtherToolkit) {
    StartWithoutFile();
    support::WindowGeometry seen(Editor.Window.Window);
    const ClientPlace client = PlaceOf(Editor.Window.Window);
    seen.Add("window", 0, 0, client.Width, client.Height);
    for (std::size_t i = 0; i < ExpectedLabels.size(); ++i) {
        seen.Add("label-" + std::to_string(ExpectedLabels[i].Number), Editor.Window.Labels[i]);
    }
    for (const ExpectedBox& expected : ExpectedBoxes) {
        editor::SpinBox& box = Box(expected.Number);
        const std::string name = "spin-" + std::to_string(expected.Number);
        seen.Add(name + "-field", box.Field);
        seen.Add(name + "-up", box.UpArrow);
        seen.Add(name + "-down", box.DownArrow);
    }
    seen.Add("piece-list", Editor.Window.PieceList);
    GtkWidget* shown = FindInside(Editor.Window.PieceList, GTK_TYPE_CELL_VIEW);
    ASSERT_NE(shown, nullptr);
    seen.Add("piece-list-name", shown);
    seen.Add("save-button", Editor.Window.SaveButton);
    const std::vector<std::string> other = support::RecordAndReadOther("editor", seen.Lines());
    if (other.empty()) GTEST_SKIP() << "no build on the other toolkit named with -DMATE_OTHER_TOOLKIT_BUILD";
    EXPECT_EQ(seen.Lines(), other);
}

}  // namespace
}  // namespace editor
