// The texts of the promotion choice and of the save dialog. The verdict
// messages belong to the judging and the problem cycle.
#pragma once

namespace trainer {

constexpr const char* PromotionTitle = "Превращение";
constexpr const char* PromotionText = "Выбери фигуру внизу-слева";
constexpr const char* SaveDialogTitle = "Сохраните изображение в формате JPG";
constexpr const char* JpegFilterName = "Изображения (*.jpg)";
constexpr const char* JpegFilterPattern = "*.jpg";
constexpr const char* ImageFolder = "Image/";

}  // namespace trainer
