// What the save button writes, and what closing the window leaves behind,
// with the controls worked by real clicks.
#include <string>

#include <X11/keysym.h>

#include "tests/editor/editor_fixture.h"

namespace editor {
namespace {

constexpr int KingItem = 5;  // "король" in the piece list

class EditorSaveTest : public EditorWindowTest {
  protected:
    void ClickSave() {
        ClickOn(Editor.Window.SaveButton);
        EXPECT_EQ(Editor.RunEventLoop(), editor::LoopOutcome::Saved);
    }

    // Opens the piece list with a click and clicks the item at `index`.
    void ChoosePiece(int index) {
        GtkWidget* list = Editor.Window.PieceList;
        ClickOn(list);
        GList* menus = gtk_menu_get_for_attach_widget(list);
        ASSERT_NE(menus, nullptr) << "the piece list drops down a menu";
        GtkWidget* menu = GTK_WIDGET(menus->data);
        ASSERT_TRUE(SettleUntil([&] { return gtk_widget_get_mapped(menu); }));
        GList* items = gtk_container_get_children(GTK_CONTAINER(menu));
        GtkWidget* item = GTK_WIDGET(g_list_nth_data(items, static_cast<guint>(index)));
        g_list_free(items);
        ASSERT_NE(item, nullptr);
        int left = 0;
        int top = 0;
        GtkWidget* menuWindow = gtk_widget_get_toplevel(item);
        gdk_window_get_origin(gtk_widget_get_window(menuWindow), &left, &top);
        int x = 0;
        int y = 0;
        GtkAllocation area;
        gtk_widget_get_allocation(item, &area);
        gtk_widget_translate_coordinates(item, menuWindow, area.width / 2, area.height / 2, &x, &y);
        Driver.Click({left + x, top + y});
        EXPECT_TRUE(SettleUntil([&] { return !gtk_widget_get_mapped(menu); })) << "choosing an item closes the list";
    }
};

// The example in the settings-file description, byte for byte.
const std::string ExampleFile = "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nферзь\n";

TEST_F(EditorSaveTest, SavingUntouchedSettingsWritesTheSameBytes) {
    StartWithFile(ExampleFile);
    EXPECT_EQ(Editor.Window.SelectedPieceName(), "ферзь");
    ClickSave();
    EXPECT_EQ(SettingsFile(), ExampleFile);
}

TEST_F(EditorSaveTest, SavingWritesTheValuesTheBoxesShow) {
    StartWithFile(ExampleFile);
    ClickOn(Box(10).UpArrow);
    ClickOn(Box(19).UpArrow);
    ClickOn(Box(20).DownArrow);  // 50 -> 49
    ClickOn(Box(22).DownArrow);  // 4 -> 3
    ClickSave();
    EXPECT_EQ(SettingsFile(), "3\n1\n1\n0\n1\n3\n0\n1\n1\n1\n49\n1\n3\nферзь\n");
}

TEST_F(EditorSaveTest, MissingFileSavesLowestValuesAndAnEmptyName) {
    StartWithoutFile();
    ClickSave();
    EXPECT_EQ(SettingsFile(), "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n40\n0\n2\n\n");
}

TEST_F(EditorSaveTest, OutOfRangeValuesAreSavedAsShown) {
    // Twelve white knights, cell size 0, a king distance of 5.
    StartWithFile("0\n12\n0\n0\n0\n0\n0\n0\n0\n0\n0\n5\n4\nконь\n");
    EXPECT_EQ(Box(11).FieldText(), "10");
    EXPECT_EQ(Box(20).FieldText(), "40");
    EXPECT_EQ(Box(21).FieldText(), "3");
    ClickSave();
    EXPECT_EQ(SettingsFile(), "0\n10\n0\n0\n0\n0\n0\n0\n0\n0\n40\n3\n4\nконь\n");
}

TEST_F(EditorSaveTest, TypedTextIsNotSaved) {
    StartWithFile(ExampleFile);
    ClickOn(Box(21).Field);
    Driver.TypeKey(XK_5);
    ClickSave();
    EXPECT_EQ(SettingsFile(), ExampleFile);
}

TEST_F(EditorSaveTest, UnknownNameLeavesNoSelectionAndSavesAnEmptyLine) {
    StartWithFile("2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nФерзь\n");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(Editor.Window.PieceList)), -1);
    ClickSave();
    EXPECT_EQ(SettingsFile(), "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\n\n");
}

TEST_F(EditorSaveTest, ChosenPieceIsSaved) {
    StartWithFile(ExampleFile);
    ChoosePiece(KingItem);
    EXPECT_EQ(Editor.Window.SelectedPieceName(), "король");
    ClickSave();
    EXPECT_EQ(SettingsFile(), "2\n1\n1\n0\n1\n3\n0\n1\n1\n0\n50\n1\n4\nкороль\n");
}

TEST_F(EditorSaveTest, ClosingAfterChangesLeavesTheFileUntouched) {
    // Carriage returns and a trailing extra line: bytes the editor never writes.
    const std::string handEdited =
        "2\r\n1\r\n1\r\n0\r\n1\r\n3\r\n0\r\n1\r\n1\r\n0\r\n50\r\n1\r\n4\r\nферзь\r\nmore\r\n";
    StartWithFile(handEdited);
    ChoosePiece(KingItem);
    ASSERT_EQ(Editor.Window.SelectedPieceName(), "король");
    ClickOn(Box(12).UpArrow);
    RunLoopUntilClosed();
    EXPECT_EQ(Box(12).FieldText(), "2");
    Editor.End();
    EXPECT_EQ(SettingsFile(), handEdited);
}

}  // namespace
}  // namespace editor
