// The toolkit's own message box and save dialog, answered with real X input
// while they are up: their titles, texts, buttons, file type and folder.
// gtest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gdk/gdkx.h>

#include <X11/keysym.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/trainer/trainer_fixture.h"
#include "trainer/dialogs.h"

namespace trainer {
namespace {

constexpr guint PollMilliseconds = 50;
constexpr guint WatchdogMilliseconds = 10000;  // a dialog not answered by then is closed, failing the test

// The visible dialog of the given type, once it is mapped and laid out.
GtkWidget* ShownDialog(GType type) {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (G_TYPE_CHECK_INSTANCE_TYPE(window, type) && gtk_widget_get_mapped(window)) found = window;
    }
    g_list_free(windows);
    return found;
}

ScreenPoint CentreOf(GtkWidget* widget) {
    GtkAllocation area;
    gtk_widget_get_allocation(widget, &area);
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int x = 0;
    int y = 0;
    gtk_widget_translate_coordinates(widget, top, area.width / 2, area.height / 2, &x, &y);
    int originX = 0;
    int originY = 0;
    gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
    return {originX + x, originY + y};
}

// The shown buttons of a dialog that answer it with a response: those of its
// action area, searched for inside the dialog (GTK 3 no longer names the area).
void CollectResponseButtons(GtkWidget* widget, GtkWidget* dialog, std::vector<GtkWidget*>& buttons) {
    if (GTK_IS_BUTTON(widget) && gtk_widget_get_visible(widget) &&
        gtk_dialog_get_response_for_widget(GTK_DIALOG(dialog), widget) != GTK_RESPONSE_NONE) {
        buttons.push_back(widget);
    }
    if (!GTK_IS_CONTAINER(widget) || !gtk_widget_get_visible(widget)) return;
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* item = children; item != nullptr; item = item->next) {
        CollectResponseButtons(GTK_WIDGET(item->data), dialog, buttons);
    }
    g_list_free(children);
}

std::vector<GtkWidget*> ActionButtons(GtkWidget* dialog) {
    std::vector<GtkWidget*> buttons;
    CollectResponseButtons(dialog, dialog, buttons);
    return buttons;
}

GtkWidget* ButtonFor(GtkWidget* dialog, int response) {
    for (GtkWidget* button : ActionButtons(dialog)) {
        if (gtk_dialog_get_response_for_widget(GTK_DIALOG(dialog), button) == response) return button;
    }
    return nullptr;
}

constexpr support::Milliseconds TypingPause{500};

// Runs `answer` once the dialog of `type` is up, from the dialog's own loop.
struct DialogAnswer {
    GType Type;
    std::function<void(GtkWidget*)> Answer;
    bool Answered = false;

    static gboolean Poll(gpointer self) {
        auto& answer = *static_cast<DialogAnswer*>(self);
        GtkWidget* dialog = ShownDialog(answer.Type);
        if (dialog == nullptr) return TRUE;
        Settle();
        answer.Answered = true;
        answer.Answer(dialog);
        return FALSE;
    }
    static gboolean Watchdog(gpointer id) {
        *static_cast<guint*>(id) = 0;
        for (GType type : {GTK_TYPE_MESSAGE_DIALOG, GTK_TYPE_FILE_CHOOSER_DIALOG}) {
            GtkWidget* dialog = ShownDialog(type);
            if (dialog == nullptr) continue;
            ADD_FAILURE() << "the dialog was not answered";
            gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_DELETE_EVENT);
        }
        return FALSE;
    }
};

class ToolkitDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (gdk_display_get_default() == nullptr) GTEST_SKIP() << support::NoDisplayReason;
        WorkDir = std::make_unique<TempWorkDir>(ExampleSettings());
        Parent = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(Parent), 600, 400);
        gtk_widget_show_all(Parent);
        Settle();
        Boxes.SetParent(Parent);
        Input = std::make_unique<XDriver>(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()));
    }
    void TearDown() override {
        if (IsSkipped()) return;
        if (Watchdog != 0) g_source_remove(Watchdog);
        gtk_widget_destroy(Parent);
        Settle();
        WorkDir.reset();
    }
    void WhenShown(GType type, std::function<void(GtkWidget*)> answer) {
        Pending = std::make_unique<DialogAnswer>(DialogAnswer{type, std::move(answer)});
        g_timeout_add(PollMilliseconds, DialogAnswer::Poll, Pending.get());
        Watchdog = g_timeout_add(WatchdogMilliseconds, DialogAnswer::Watchdog, &Watchdog);
    }

    std::unique_ptr<TempWorkDir> WorkDir;
    GtkWidget* Parent = nullptr;
    trainer::ToolkitDialogs Boxes;
    std::unique_ptr<XDriver> Input;
    std::unique_ptr<DialogAnswer> Pending;
    guint Watchdog = 0;
};

TEST_F(ToolkitDialogsTest, MessageBoxHasTitleTextAndOneOkButton) {
    std::string title;
    std::string text;
    size_t buttons = 0;
    WhenShown(GTK_TYPE_MESSAGE_DIALOG, [&](GtkWidget* dialog) {
        title = gtk_window_get_title(GTK_WINDOW(dialog));
        gchar* shown = nullptr;
        g_object_get(dialog, "text", &shown, nullptr);
        text = shown != nullptr ? shown : "";
        g_free(shown);
        buttons = ActionButtons(dialog).size();
        EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
        GtkWidget* ok = ButtonFor(dialog, GTK_RESPONSE_OK);
        if (ok != nullptr) Input->Click(CentreOf(ok));
    });
    Boxes.ShowMessage("Неверно ", "Возможные ходы в списке справа  -->");
    EXPECT_TRUE(Pending->Answered);
    EXPECT_EQ(title, "Неверно ");
    EXPECT_EQ(text, "Возможные ходы в списке справа  -->");
    EXPECT_EQ(buttons, 1u);
}

// Another client may destroy the box's window without asking; the box then
// counts as closed and the trainer goes on.
TEST_F(ToolkitDialogsTest, MessageBoxDestroyedByAnotherClientCountsAsClosed) {
    int complaints = 0;  // the toolkit's critical warnings, such as a call on a widget already freed
    const guint handler = g_log_set_handler(
        "Gtk", G_LOG_LEVEL_CRITICAL,
        [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); }, &complaints);
    WhenShown(GTK_TYPE_MESSAGE_DIALOG,
              [&](GtkWidget* dialog) { Input->DestroyWindow(GDK_WINDOW_XID(gtk_widget_get_window(dialog))); });
    Boxes.ShowMessage("Неверно ", "Королю пат !");
    Settle();
    g_log_remove_handler("Gtk", handler);
    EXPECT_TRUE(Pending->Answered);
    EXPECT_EQ(ShownDialog(GTK_TYPE_MESSAGE_DIALOG), nullptr);
    EXPECT_EQ(complaints, 0);
}

trainer::SaveDialogRequest JpegRequest(const std::string& folder) {
    return {"Сохраните изображение в формате JPG", "Изображения (*.jpg)", "*.jpg", folder};
}

TEST_F(ToolkitDialogsTest, SaveDialogOffersTheJpegTypeInTheImageFolder) {
    const std::string folder = WorkDir->Path + "/Image/";
    std::string title;
    std::vector<std::string> filters;
    std::string chosenFilter;
    std::string openedIn;
    WhenShown(GTK_TYPE_FILE_CHOOSER_DIALOG, [&](GtkWidget* dialog) {
        title = gtk_window_get_title(GTK_WINDOW(dialog));
        GSList* all = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog));
        for (GSList* item = all; item != nullptr; item = item->next) {
            filters.push_back(gtk_file_filter_get_name(GTK_FILE_FILTER(item->data)));
        }
        g_slist_free(all);
        GtkFileFilter* chosen = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(dialog));
        if (chosen != nullptr) chosenFilter = gtk_file_filter_get_name(chosen);
        gchar* current = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(dialog));
        if (current != nullptr) openedIn = current;
        g_free(current);
        // The user types a name without extension and presses Enter.
        Input->MoveTo(CentreOf(dialog));
        Input->TypeText("board");
        // GTK 3's name field reads the folder for completion as the name is
        // typed and takes no Enter until it has; a person types no faster.
        support::RunLoopFor(TypingPause);
        Input->TypeKey(XK_Return);
    });
    const std::string path = Boxes.AskSavePath(JpegRequest(folder));
    EXPECT_EQ(title, "Сохраните изображение в формате JPG");
    EXPECT_EQ(filters, (std::vector<std::string>{"Изображения (*.jpg)"}));
    EXPECT_EQ(chosenFilter, "Изображения (*.jpg)");
    EXPECT_EQ(openedIn + "/", folder);
    EXPECT_EQ(path, folder + "board");
}

TEST_F(ToolkitDialogsTest, CancelledSaveDialogGivesNoPath) {
    WhenShown(GTK_TYPE_FILE_CHOOSER_DIALOG, [&](GtkWidget* dialog) {
        GtkWidget* cancel = ButtonFor(dialog, GTK_RESPONSE_CANCEL);
        if (cancel != nullptr) Input->Click(CentreOf(cancel));
    });
    EXPECT_EQ(Boxes.AskSavePath(JpegRequest(WorkDir->Path + "/Image/")), "");
    EXPECT_TRUE(Pending->Answered);
}

}  // namespace
}  // namespace trainer
