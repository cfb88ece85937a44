#include "trainer/dialogs.h"

#include <gtk/gtk.h>

namespace trainer {
namespace {

#if GTK_CHECK_VERSION(3, 0, 0)
// GTK 3 has no stock buttons; its own translations of the two texts give
// the buttons the words GTK+ 2's stock items gave them.
// Asked when the dialog is made, after the toolkit has set the locale.
const char* CancelText() { return g_dgettext("gtk30", "_Cancel"); }
const char* SaveText() { return g_dgettext("gtk30", "_Save"); }
#else
const char* CancelText() { return GTK_STOCK_CANCEL; }
const char* SaveText() { return GTK_STOCK_SAVE; }
#endif

GtkWindow* AsWindow(GtkWidget* widget) { return widget != nullptr ? GTK_WINDOW(widget) : nullptr; }

// Holds a dialog from its run to its destroy. Another client may destroy the
// dialog's window while it runs, which makes the toolkit destroy the dialog
// itself (the run then ends as if it were closed); the reference keeps it
// from being freed before the last destroy.
class HeldDialog {
  public:
    explicit HeldDialog(GtkWidget* dialog) : Dialog(dialog) { g_object_ref(Dialog); }
    ~HeldDialog() {
        gtk_widget_destroy(Dialog);
        g_object_unref(Dialog);
    }
    HeldDialog(const HeldDialog&) = delete;
    HeldDialog& operator=(const HeldDialog&) = delete;
    gint Run() { return gtk_dialog_run(GTK_DIALOG(Dialog)); }

  private:
    GtkWidget* Dialog;
};

}  // namespace

void ToolkitDialogs::ShowMessage(const std::string& title, const std::string& text) {
    GtkWidget* box = gtk_message_dialog_new(AsWindow(Parent), GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s",
                                            text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER_ON_PARENT);
    HeldDialog(box).Run();
}

std::string ToolkitDialogs::AskSavePath(const SaveDialogRequest& request) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        request.Title.c_str(), AsWindow(Parent), GTK_FILE_CHOOSER_ACTION_SAVE, CancelText(), GTK_RESPONSE_CANCEL,
        SaveText(), GTK_RESPONSE_ACCEPT, static_cast<const char*>(nullptr));
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, request.FilterName.c_str());
    gtk_file_filter_add_pattern(filter, request.FilterPattern.c_str());
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
    gtk_file_chooser_set_filter(GTK_FILE_CHOOSER(chooser), filter);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), request.Folder.c_str());
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), "");

    HeldDialog held(chooser);
    std::string path;
    if (held.Run() == GTK_RESPONSE_ACCEPT) {
        gchar* chosen = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
        if (chosen != nullptr) path = chosen;
        g_free(chosen);
    }
    return path;
}

}  // namespace trainer
