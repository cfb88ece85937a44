// Where the settings editor's controls stand, their numbers and their texts.
#pragma once

#include <array>

namespace editor {

inline constexpr const char* EditorWindowTitle = "New window ( 0 )";
inline constexpr int EditorWindowWidth = 800;
inline constexpr int EditorWindowHeight = 600;

// The label font: family and size in points.
inline constexpr const char* LabelFontFamily = "Arial Black";
inline constexpr int LabelFontPoints = 10;

// Left, top, width and height in pixels within the window's client area.
struct ControlPlace {
    int Left;
    int Top;
    int Width;
    int Height;
};

struct EditorLabel {
    int Number;
    ControlPlace Place;
    const char* Text;
};

// In the order in which they are created.
inline constexpr std::array<EditorLabel, 14> EditorLabels = {{
    {0, {30, 20, 120, 20}, "Белых пешек"},
    {1, {30, 60, 120, 20}, "Белых коней"},
    {2, {30, 100, 120, 20}, "Белых слонов"},
    {3, {30, 140, 120, 20}, "Белых ладей"},
    {4, {30, 180, 120, 20}, "Белых ферзей"},
    {5, {300, 20, 120, 20}, "Черных пешек"},
    {6, {300, 60, 120, 20}, "Черных коней"},
    {7, {300, 100, 120, 20}, "Черных слонов"},
    {8, {300, 140, 120, 20}, "Черных ладей"},
    {9, {300, 180, 120, 20}, "Черных ферзей"},
    {23, {40, 290, 120, 20}, "Размер клетки"},
    {24, {300, 290, 220, 20}, "Черный король от края доски"},
    {25, {300, 330, 220, 20}, "Белые пешки не далее"},
    {26, {40, 330, 120, 20}, "Первый ход"},
}};

inline constexpr int SpinBoxWidth = 50;
inline constexpr int SpinBoxHeight = 25;
// The two arrows stand one above the other at the box's right edge.
inline constexpr int SpinArrowWidth = 16;
inline constexpr int SpinUpArrowHeight = SpinBoxHeight / 2;

struct EditorSpinBox {
    int Number;
    int Left;
    int Top;
    int Line;  // the settings-file line the box holds; its range is settings::EditorRanges[Line]
};

// In the order in which they are created and saved (file lines 1 to 13).
inline constexpr std::array<EditorSpinBox, 13> EditorSpinBoxes = {{
    {10, 170, 20, 1},
    {11, 170, 60, 2},
    {12, 170, 100, 3},
    {13, 170, 140, 4},
    {14, 170, 180, 5},
    {15, 440, 20, 6},
    {16, 440, 60, 7},
    {17, 440, 100, 8},
    {18, 440, 140, 9},
    {19, 440, 180, 10},
    {20, 170, 290, 11},
    {21, 540, 290, 12},
    {22, 540, 330, 13},
}};
inline constexpr int FirstSpinBoxNumber = 10;
inline constexpr int LastSpinBoxNumber = 22;

inline constexpr int SaveButtonNumber = 27;
inline constexpr ControlPlace SaveButtonPlace = {40, 480, 170, 30};
inline constexpr const char* SaveButtonText = "Сохранить";

inline constexpr int PieceListNumber = 28;
inline constexpr ControlPlace PieceListPlace = {170, 330, 70, 25};

}  // namespace editor
