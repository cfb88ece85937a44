// Saving the board as the window shows it to a JPEG file the user names.
#pragma once

#include <string>

typedef struct _GdkPixbuf GdkPixbuf;

namespace trainer {

class Dialogs;
class MainWindow;

struct PictureExport {
    PictureExport(const MainWindow& window, Dialogs& dialogs) : Window(window), Boxes(dialogs) {}
    PictureExport(const PictureExport&) = delete;
    PictureExport& operator=(const PictureExport&) = delete;
    ~PictureExport();

    const MainWindow& Window;
    Dialogs& Boxes;
    std::string WorkDir;                // the save dialog opens in its "Image/" folder
    GdkPixbuf* BoardPicture = nullptr;  // the last board captured, 8 x CellSize pixels square

    // Captures the board, asks for a file name and writes the JPEG there;
    // nothing is written when the dialog is cancelled or the file cannot be
    // created, and nothing is reported.
    void ExportBoardPicture();
    // Paints the 64 square pictures the window shows, and the red frame of a
    // clicked square, into BoardPicture.
    void CaptureBoard();
};

}  // namespace trainer
