#include "editor/editor.h"
#include "editor/editor_layout.h"

namespace editor {

// The font of the fourteen labels. Where the family is not installed, the
// platform's font matching substitutes the nearest one.
void Editor::LoadLabelFont() {
    LabelFont = pango_font_description_new();
    pango_font_description_set_family(LabelFont, LabelFontFamily);
    pango_font_description_set_size(LabelFont, LabelFontPoints * PANGO_SCALE);
    pango_font_description_set_weight(LabelFont, PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(LabelFont, PANGO_STYLE_NORMAL);
}

}  // namespace editor
