#include "window_events/toolkit.h"

#include <string>

namespace window_events {

#if GTK_CHECK_VERSION(3, 0, 0)

namespace {

// A number in CSS, with a point whatever the locale says.
std::string CssNumber(double value) {
    char text[G_ASCII_DTOSTR_BUF_SIZE];
    return g_ascii_formatd(text, sizeof text, "%.3f", value);
}

// GTK 3 takes a widget's font from its style: a style sheet of the widget's
// own that names family, size, weight and slant.
std::string FontStyleSheet(const PangoFontDescription* font) {
    std::string rules;
    const char* family = pango_font_description_get_family(font);
    if (family != nullptr) rules += std::string("font-family: \"") + family + "\";";
    const int size = pango_font_description_get_size(font);
    if (size > 0) {
        const char* unit = pango_font_description_get_size_is_absolute(font) ? "px" : "pt";
        rules += "font-size: " + CssNumber(static_cast<double>(size) / PANGO_SCALE) + unit + ";";
    }
    const auto fields = pango_font_description_get_set_fields(font);
    if ((fields & PANGO_FONT_MASK_WEIGHT) != 0) {
        rules += "font-weight: " + std::to_string(static_cast<int>(pango_font_description_get_weight(font))) + ";";
    }
    if ((fields & PANGO_FONT_MASK_STYLE) != 0) {
        const PangoStyle style = pango_font_description_get_style(font);
        rules += std::string("font-style: ") +
                 (style == PANGO_STYLE_ITALIC    ? "italic"
                  : style == PANGO_STYLE_OBLIQUE ? "oblique"
                                                 : "normal") +
                 ";";
    }
    return "* {" + rules + "}";
}

}  // namespace

bool StartToolkit(int* argc, char*** argv) {
    gdk_set_allowed_backends("x11");
    return gtk_init_check(argc, argv);
}

PangoFontDescription* WidgetFont(GtkWidget* widget) {
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    PangoFontDescription* font = nullptr;
    gtk_style_context_get(style, gtk_style_context_get_state(style), GTK_STYLE_PROPERTY_FONT, &font,
                          static_cast<const char*>(nullptr));
    return font;
}

void SetWidgetFont(GtkWidget* widget, const PangoFontDescription* font) {
    GtkCssProvider* sheet = gtk_css_provider_new();
    gtk_css_provider_load_from_data(sheet, FontStyleSheet(font).c_str(), -1, nullptr);
    // Above the theme and above the programs' own sheets for all widgets.
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(sheet),
                                   GTK_STYLE_PROVIDER_PRIORITY_USER);
    g_object_unref(sheet);
}

void AddStyleSheet(const char* sheet) {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, sheet, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

void SetLabelAlignment(GtkWidget* label, float x, float y) {
    gtk_label_set_xalign(GTK_LABEL(label), x);
    gtk_label_set_yalign(GTK_LABEL(label), y);
}

void GetLabelAlignment(GtkWidget* label, float& x, float& y) {
    x = gtk_label_get_xalign(GTK_LABEL(label));
    y = gtk_label_get_yalign(GTK_LABEL(label));
}

#else

bool StartToolkit(int* argc, char*** argv) { return gtk_init_check(argc, argv); }

PangoFontDescription* WidgetFont(GtkWidget* widget) {
    return pango_font_description_copy(gtk_widget_get_style(widget)->font_desc);
}

void SetWidgetFont(GtkWidget* widget, const PangoFontDescription* font) {
    gtk_widget_modify_font(widget, const_cast<PangoFontDescription*>(font));
}

void SetLabelAlignment(GtkWidget* label, float x, float y) { gtk_misc_set_alignment(GTK_MISC(label), x, y); }

void GetLabelAlignment(GtkWidget* label, float& x, float& y) { gtk_misc_get_alignment(GTK_MISC(label), &x, &y); }

#endif

}  // namespace window_events
