#include "editor/editor.h"

namespace editor {

Editor::~Editor() { End(); }

void Editor::Start() {
    LoadLabelFont();
    settings::LoadSettings(Values);
    Window.Open(Values, LabelFont, Events);
    ShowValues();
}

void Editor::ShowValues() { Window.ShowValues(); }

void Editor::End() {
    Window.Close();
    if (LabelFont != nullptr) {
        pango_font_description_free(LabelFont);
        LabelFont = nullptr;
    }
}

}  // namespace editor
