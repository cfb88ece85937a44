// MainWindow: the board of 64 square pictures, the list of possible moves,
// the buttons and the status label. It is the generation run's and the
// judging's view of the trainer.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <gtk/gtk.h>

#include "problems/trainer_view.h"
#include "rules/position.h"
#include "trainer/attempt_count_throttle.h"
#include "trainer/window_layout.h"

namespace window_events {
class EventQueue;
}

namespace trainer {

class Dialogs;
class TilePictures;

class MainWindow final : public problems::TrainerView {
  public:
    MainWindow(const rules::Position& rules, const TilePictures& tiles, window_events::EventQueue& events,
               Dialogs& dialogs);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Opens the window (fixed size, centred) and creates its controls with
    // the board laid out for cellSize.
    void Open(int cellSize);
    // Closes the window and everything it holds.
    void Close();

    // The squares with their empty pictures, the move table, the buttons and
    // the status label with the count 0.
    void CreateControls();

    // problems::TrainerView
    void ShowAttemptCount(std::int32_t attempts) override;
    void DrawBoard() override;
    void FillMoveTable(const rules::MoveList& moves) override;
    void ShowMessage(const std::string& title, const std::string& text) override;
    void GiveUp() override;

    // A two-pixel red frame along the inside edge of a square; the next
    // DrawBoard removes it.
    void HighlightSquare(int file, int row);
    // Paints the latest attempt count when the label shows an older one.
    void FlushAttemptCount();

    // The pointer in client coordinates, read now; a coordinate outside the
    // client area is -1.
    void PointerPosition(int& x, int& y) const;
    // The number in the "№" cell of the selected row of the move table, 0
    // when no row is selected.
    int SelectedRowNumber() const;

    void ShowPromotionButtons();
    void RemovePromotionButtons();

    int CellSize() const { return Cell; }
    GtkWidget* Toplevel() const { return Window; }
    // The widget of a control number (the scrolled list for the move table),
    // nullptr when that control does not exist now.
    GtkWidget* Control(int number) const;
    GtkWidget* MoveTableView() const { return TableView; }
    // The picture a square shows now, nullptr when it shows none.
    GdkPixbuf* SquarePicture(int file, int row) const;
    // The framed square's control number, 0 when none is framed.
    int FramedSquare() const { return Framed; }

  private:
    // What a control's toolkit callbacks need: the window and the number.
    struct ControlLink {
        MainWindow* Window = nullptr;
        int Number = 0;
    };

    void CreateSquare(int file, int row);
    void CreateMoveTable();
    // `fontSize` in Pango units; 0 gives the largest size at which the text fits.
    GtkWidget* CreateButton(int number, const Placement& place, const char* text, int fontSize = 0);
    void SetStatusCount(std::int32_t attempts);
    void Place(GtkWidget* widget, const Placement& place);

    static gboolean OnSquarePress(GtkWidget* widget, GdkEventButton* event, gpointer link);
    static gboolean OnSquareRelease(GtkWidget* widget, GdkEventButton* event, gpointer link);
    // The red frame, `x`, `y` being the square's corner in `cr`.
    void PaintFrame(cairo_t* cr, int x, int y) const;
#if GTK_CHECK_VERSION(3, 0, 0)
    static gboolean OnSquareDrawn(GtkWidget* image, cairo_t* cr, gpointer link);
#else
    static gboolean OnSquareExposed(GtkWidget* image, GdkEventExpose* event, gpointer link);
#endif
    static void OnButtonClicked(GtkButton* button, gpointer link);
    static gboolean OnCloseRequest(GtkWidget* window, GdkEvent* event, gpointer self);
    [[noreturn]] static gboolean OnWindowDestroyed(GtkWidget* window, GdkEvent* event, gpointer self);

    const rules::Position& Rules;
    const TilePictures& Tiles;
    window_events::EventQueue& Events;
    Dialogs& Boxes;

    int Cell = 0;
    GtkWidget* Window = nullptr;
    GtkWidget* Layout = nullptr;  // the fixed container holding every control
    GtkWidget* TableView = nullptr;
    std::array<GtkWidget*, ControlNumberCount> Controls{};
    std::array<GtkWidget*, ControlNumberCount> SquareImages{};  // the picture inside each square control
    std::array<ControlLink, ControlNumberCount> Links{};
    int PressedSquare = 0;  // square control a left or right press began on, 0 for none
    int PressedButton = 0;  // mouse button of that press
    int Framed = 0;
    AttemptCountThrottle CountPaints;
};

}  // namespace trainer
