// The trainer window's controls: their numbers, places, sizes and texts.
// Geometry is in pixels of the window's client area, origin top left.
#pragma once

#include <array>

#include "rules/position.h"

namespace trainer {

// Control numbers; the event loop dispatches on them.
enum ControlNumber : int {
    FirstSquareControl = 1,  // square (file, row) is control (file - 1) * 8 + row
    LastSquareControl = 64,
    MoveTableControl = 65,
    CommitButtonControl = 66,
    KnightButtonControl = 67,
    BishopButtonControl = 68,
    RookButtonControl = 69,
    QueenButtonControl = 70,
    SaveImageButtonControl = 97,
    OptionsButtonControl = 98,
    StatusLabelControl = 99,
    ControlNumberCount = 100,
};

constexpr int SquareControlNumber(int file, int row) { return (file - 1) * rules::LastSquare + row; }
constexpr bool IsSquareControl(int control) { return control >= FirstSquareControl && control <= LastSquareControl; }
constexpr int SquareFileOf(int control) { return (control - 1) / rules::LastSquare + 1; }
constexpr int SquareRowOf(int control) { return (control - 1) % rules::LastSquare + 1; }

struct Placement {
    int X;
    int Y;
    int Width;
    int Height;
};

constexpr int WindowWidth = 1000;
constexpr int WindowHeight = 700;
constexpr const char* WindowTitle = "Мат в 1 ход";

// Square (file, row) stands at (file * CellSize, row * CellSize); the empty
// margin of one square above and left of the board is part of the layout.
constexpr Placement SquarePlacement(int file, int row, int cellSize) {
    return {file * cellSize, row * cellSize, cellSize, cellSize};
}

constexpr Placement MoveTablePlace = {800, 10, 190, 640};
constexpr int NumberColumnWidth = 50;
constexpr int MoveColumnWidth = 90;
constexpr const char* NumberHeader = "№";
constexpr const char* MoveHeader = "MOVE";

constexpr int ButtonRowY = 660;
constexpr int ButtonHeight = 25;
constexpr Placement CommitButtonPlace = {900, ButtonRowY, 70, ButtonHeight};
constexpr Placement OptionsButtonPlace = {800, ButtonRowY, 70, ButtonHeight};
constexpr int SaveImageButtonWidth = 170;
// The save button starts at the board's left edge.
constexpr Placement SaveImageButtonPlace(int cellSize) {
    return {cellSize, ButtonRowY, SaveImageButtonWidth, ButtonHeight};
}
constexpr const char* CommitText = "Сходить!";
constexpr const char* SaveImageText = "Сохранить изображение";
constexpr const char* OptionsText = "Опции";

constexpr Placement StatusLabelPlace = {40, 10, 200, 25};

// The four buttons of a promotion choice, shown only while it lasts.
struct PromotionChoice {
    int Control;
    Placement Place;
    const char* Text;
    rules::PieceKind Kind;
};
constexpr int PromotionButtonWidth = 50;
constexpr std::array<PromotionChoice, 4> PromotionChoices = {{
    {KnightButtonControl, {5, ButtonRowY, PromotionButtonWidth, ButtonHeight}, "Конь", rules::Knight},
    {BishopButtonControl, {55, ButtonRowY, PromotionButtonWidth, ButtonHeight}, "Слон", rules::Bishop},
    {RookButtonControl, {105, ButtonRowY, PromotionButtonWidth, ButtonHeight}, "Ладья", rules::Rook},
    {QueenButtonControl, {155, ButtonRowY, PromotionButtonWidth, ButtonHeight}, "Ферзь", rules::Queen},
}};

// The red frame of a clicked square: two pixels wide along its inside edge.
constexpr int FrameWidth = 2;
struct RgbColour {
    unsigned char Red, Green, Blue;
};
constexpr RgbColour FrameColour = {255, 0, 0};

}  // namespace trainer
