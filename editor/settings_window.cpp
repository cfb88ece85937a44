#include "editor/settings_window.h"

#include "window_events/toolkit.h"

namespace editor {
namespace {

// Border, resize handles, title bar and window menu, but no minimise or
// maximise buttons; the window manager may move, resize and close it.
constexpr auto WindowDecorations =
    static_cast<GdkWMDecoration>(GDK_DECOR_BORDER | GDK_DECOR_RESIZEH | GDK_DECOR_TITLE | GDK_DECOR_MENU);
constexpr auto WindowFunctions = static_cast<GdkWMFunction>(GDK_FUNC_MOVE | GDK_FUNC_RESIZE | GDK_FUNC_CLOSE);

// Label text is left-aligned and vertically centred.
constexpr float LabelXAlign = 0.0f;
constexpr float LabelYAlign = 0.5f;

constexpr const char* PieceListWidgetName = "editor-piece-list";

#if GTK_CHECK_VERSION(3, 0, 0)
// The piece list is narrow: its button gets the thin borders, the small
// padding and the small arrow it has on GTK+ 2, so that the longest name
// keeps as much room as possible and the list keeps its 25 pixels of height.
constexpr const char* PieceListStyle =
    "#editor-piece-list button { padding: 1px 3px 1px 0; min-height: 0; min-width: 0; }\n"
    "#editor-piece-list arrow { min-width: 8px; min-height: 8px; }\n";

void InstallPieceListStyle() {
    window_events::AddStyleSheet(window_events::ButtonStyle);
    window_events::AddStyleSheet(PieceListStyle);
}
#else
// The piece list is narrow: its button gets thin borders and a small arrow so
// that the longest name keeps as much room as possible.
constexpr const char* PieceListStyle =
    "style \"editor-piece-list\" {\n"
    "  xthickness = 1\n"
    "  GtkWidget::focus-line-width = 0\n"
    "  GtkWidget::focus-padding = 0\n"
    "  GtkButton::inner-border = {1, 0, 0, 0}\n"
    "  GtkComboBox::arrow-size = 8\n"
    "  GtkWidget::wide-separators = 1\n"
    "  GtkWidget::separator-width = 0\n"
    "}\n"
    "widget \"*.editor-piece-list*\" style \"editor-piece-list\"\n";

void InstallPieceListStyle() { gtk_rc_parse_string(PieceListStyle); }

// The toolkit makes the list's arrow as wide as a line of its text is high,
// which leaves the names too little of the 70 pixels; the arrow is narrowed
// to this width and the text gets what it gives up.
constexpr int PieceListArrowWidth = 11;

struct WidgetSearch {
    GType Type;
    GtkWidget* Found;
};

void SearchWidget(GtkWidget* widget, gpointer search) {
    WidgetSearch& wanted = *static_cast<WidgetSearch*>(search);
    if (wanted.Found != nullptr) return;
    if (G_TYPE_CHECK_INSTANCE_TYPE(widget, wanted.Type)) {
        wanted.Found = widget;
    } else if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(GTK_CONTAINER(widget), SearchWidget, search);
    }
}

// The first widget of `type` inside `widget`, the toolkit's own parts included.
GtkWidget* FindInside(GtkWidget* widget, GType type) {
    WidgetSearch search = {type, nullptr};
    gtk_container_forall(GTK_CONTAINER(widget), SearchWidget, &search);
    return search.Found;
}

// Runs after the list has placed its parts: the arrow (and the separator
// before it) move right, the shown name's area grows by the same amount.
void OnPieceListAllocated(GtkWidget* list, GtkAllocation*, gpointer) {
    GtkWidget* arrow = FindInside(list, GTK_TYPE_ARROW);
    GtkWidget* separator = FindInside(list, GTK_TYPE_SEPARATOR);
    GtkWidget* name = gtk_bin_get_child(GTK_BIN(list));
    if (arrow == nullptr || name == nullptr) return;
    GtkAllocation arrowArea;
    gtk_widget_get_allocation(arrow, &arrowArea);
    const int spare = arrowArea.width - PieceListArrowWidth;
    if (spare <= 0) return;
    arrowArea.x += spare;
    arrowArea.width = PieceListArrowWidth;
    gtk_widget_size_allocate(arrow, &arrowArea);
    if (separator != nullptr) {
        GtkAllocation separatorArea;
        gtk_widget_get_allocation(separator, &separatorArea);
        separatorArea.x += spare;
        gtk_widget_size_allocate(separator, &separatorArea);
    }
    GtkAllocation nameArea;
    gtk_widget_get_allocation(name, &nameArea);
    nameArea.width += spare;
    gtk_widget_size_allocate(name, &nameArea);
}
#endif

gboolean OnCloseRequest(GtkWidget*, GdkEvent*, gpointer events) {
    static_cast<window_events::EventQueue*>(events)->PostCloseRequest();
    return TRUE;  // the editor's loop decides; the window stays until then
}

void OnPieceListChanged(GtkComboBox*, gpointer events) {
    static_cast<window_events::EventQueue*>(events)->PostControlEvent(PieceListNumber);
}

void OnSaveButtonClicked(GtkButton*, gpointer events) {
    static_cast<window_events::EventQueue*>(events)->PostControlEvent(SaveButtonNumber);
}

}  // namespace

void SettingsWindow::Open(const settings::Settings& values, const PangoFontDescription* labelFont,
                          window_events::EventQueue& events) {
    CreateWindow(events);
    CreateLabels(labelFont);
    CreateSpinBoxes(values, events);
    CreatePieceList(values.FirstMovePieceName, events);
    CreateSaveButton(events);
}

void SettingsWindow::Close() {
    if (Window != nullptr) {
        gtk_widget_destroy(Window);
        Window = nullptr;
    }
}

void SettingsWindow::CreateWindow(window_events::EventQueue& events) {
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(Window), EditorWindowTitle);
    gtk_window_set_default_size(GTK_WINDOW(Window), EditorWindowWidth, EditorWindowHeight);
    gtk_window_set_position(GTK_WINDOW(Window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(Window), TRUE);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnCloseRequest), &events);
    // Another X client may destroy the window itself: that ends the editor
    // as a close request does. The widgets stay until then, without a window.
    g_signal_connect(Window, "destroy-event", G_CALLBACK(OnCloseRequest), &events);

    Client = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(Window), Client);

    gtk_widget_realize(Window);
    gdk_window_set_decorations(gtk_widget_get_window(Window), WindowDecorations);
    gdk_window_set_functions(gtk_widget_get_window(Window), WindowFunctions);
    gtk_widget_show(Client);
    gtk_widget_show(Window);
}

void SettingsWindow::Place(GtkWidget* control, const ControlPlace& place) {
    gtk_widget_set_size_request(control, place.Width, place.Height);
    gtk_fixed_put(GTK_FIXED(Client), control, place.Left, place.Top);
    gtk_widget_show_all(control);
}

void SettingsWindow::CreateLabels(const PangoFontDescription* labelFont) {
    for (std::size_t i = 0; i < EditorLabels.size(); ++i) {
        GtkWidget* label = gtk_label_new(EditorLabels[i].Text);
        window_events::SetWidgetFont(label, labelFont);
        window_events::SetLabelAlignment(label, LabelXAlign, LabelYAlign);
        Place(label, EditorLabels[i].Place);
        Labels[i] = label;
    }
}

void SettingsWindow::CreateSpinBoxes(const settings::Settings& values, window_events::EventQueue& events) {
    InstallSpinArrowStyle();
    for (std::size_t i = 0; i < EditorSpinBoxes.size(); ++i) {
        const EditorSpinBox& layout = EditorSpinBoxes[i];
        const settings::ValueRange& range = settings::EditorRanges[layout.Line];
        SpinBox& box = SpinBoxes[i];
        box.Create(layout.Number, range.Lowest, range.Highest, events);
        box.SetValue(values.Number(layout.Line));
        Place(box.Frame, {layout.Left, layout.Top, SpinBoxWidth, SpinBoxHeight});
    }
}

void SettingsWindow::CreatePieceList(const std::string& selectedName, window_events::EventQueue& events) {
    InstallPieceListStyle();
    PieceList = gtk_combo_box_text_new();
    gtk_widget_set_name(PieceList, PieceListWidgetName);
    for (std::size_t i = 0; i < settings::PieceNames.size(); ++i) {
        const std::string name(settings::PieceNames[i].Name);
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(PieceList), name.c_str());
        if (name == selectedName) {
            gtk_combo_box_set_active(GTK_COMBO_BOX(PieceList), static_cast<gint>(i));
        }
    }
    g_signal_connect(PieceList, "changed", G_CALLBACK(OnPieceListChanged), &events);
#if !GTK_CHECK_VERSION(3, 0, 0)
    g_signal_connect_after(PieceList, "size-allocate", G_CALLBACK(OnPieceListAllocated), nullptr);
#endif
    Place(PieceList, PieceListPlace);
}

void SettingsWindow::CreateSaveButton(window_events::EventQueue& events) {
    SaveButton = gtk_button_new_with_label(SaveButtonText);
    g_signal_connect(SaveButton, "clicked", G_CALLBACK(OnSaveButtonClicked), &events);
    Place(SaveButton, SaveButtonPlace);
}

void SettingsWindow::ShowValues() {
    for (SpinBox& box : SpinBoxes) {
        box.ShowValue();
    }
}

SpinBox* SettingsWindow::SpinBoxNumbered(int number) {
    for (SpinBox& box : SpinBoxes) {
        if (box.Number == number) {
            return &box;
        }
    }
    return nullptr;
}

std::string SettingsWindow::SelectedPieceName() const {
    gchar* text = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(PieceList));
    if (text == nullptr) {
        return {};
    }
    std::string name(text);
    g_free(text);
    return name;
}

settings::Settings SettingsWindow::ValuesToSave() const {
    settings::Settings values;
    for (std::size_t i = 0; i < EditorSpinBoxes.size(); ++i) {
        values.Number(EditorSpinBoxes[i].Line) = SpinBoxes[i].Value;
    }
    values.FirstMovePieceName = SelectedPieceName();
    return values;
}

}  // namespace editor
