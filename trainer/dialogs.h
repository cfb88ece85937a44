// Every message box and the save dialog of the trainer go through this
// interface, so tests can answer them and read their titles and texts.
#pragma once

#include <string>

typedef struct _GtkWidget GtkWidget;

namespace trainer {

struct SaveDialogRequest {
    std::string Title;
    std::string FilterName;  // the one file type offered, preselected
    std::string FilterPattern;
    std::string Folder;  // where the dialog opens; its own default when missing
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A modal box with a title, a text and one OK button; returns once closed.
    virtual void ShowMessage(const std::string& title, const std::string& text) = 0;
    // A modal save-file dialog; the chosen path, or "" when cancelled.
    virtual std::string AskSavePath(const SaveDialogRequest& request) = 0;
};

// The toolkit's own message boxes and file chooser, over the main window.
class ToolkitDialogs final : public Dialogs {
  public:
    void SetParent(GtkWidget* window) { Parent = window; }
    void ShowMessage(const std::string& title, const std::string& text) override;
    std::string AskSavePath(const SaveDialogRequest& request) override;

  private:
    GtkWidget* Parent = nullptr;
};

}  // namespace trainer
