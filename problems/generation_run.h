// One generation run: random positions until one is a mate in one by the
// required piece kind.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "problems/mate_search.h"
#include "problems/position_builder.h"
#include "problems/trainer_view.h"
#include "rules/position.h"
#include "settings/settings.h"

namespace problems {

constexpr std::int32_t AttemptLimit = 30000;

namespace detail {

// "Количество сгенерированных позиций больше " AttemptLimit " !", put
// together at compile time so that the text always names the limit in force.
inline constexpr char LimitTextBefore[] = "Количество сгенерированных позиций больше ";
inline constexpr char LimitTextAfter[] = " !";
constexpr std::size_t DecimalDigits(std::int32_t number) { return number < 10 ? 1 : 1 + DecimalDigits(number / 10); }
constexpr std::size_t LimitTextSize =
    sizeof(LimitTextBefore) - 1 + DecimalDigits(AttemptLimit) + sizeof(LimitTextAfter);
constexpr std::array<char, LimitTextSize> MakeLimitText() {
    std::array<char, LimitTextSize> text{};
    std::size_t at = 0;
    for (std::size_t i = 0; i + 1 < sizeof(LimitTextBefore); ++i) text[at++] = LimitTextBefore[i];
    const std::size_t digits = DecimalDigits(AttemptLimit);
    std::int32_t rest = AttemptLimit;
    for (std::size_t i = digits; i > 0; --i) {
        text[at + i - 1] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    at += digits;
    for (std::size_t i = 0; i < sizeof(LimitTextAfter); ++i) text[at++] = LimitTextAfter[i];  // with the final '\0'
    return text;
}
inline constexpr std::array<char, LimitTextSize> LimitText = MakeLimitText();

}  // namespace detail

// The message shown when a run reaches the limit.
inline constexpr const char* LimitMessageTitle = "Изменить опции";
inline constexpr const char* LimitMessageText = detail::LimitText.data();

// "Сгенерировано  N  позиций", the status label's text after N attempts.
std::string AttemptStatusText(std::int32_t attempts);

struct GenerationRun {
    GenerationRun(rules::Position& rules, MateSearch& search, PositionBuilder& builder,
                  settings::TrainerSettings& settings, TrainerView& view)
        : Rules(rules), Search(search), Builder(builder), Config(settings), View(view) {}

    rules::Position& Rules;
    MateSearch& Search;
    PositionBuilder& Builder;
    settings::TrainerSettings& Config;  // FirstMovePiece is taken from the first problem when 0
    TrainerView& View;

    std::int32_t AttemptCount = 0;
    std::int32_t Limit = AttemptLimit;  // lowered only by tools and tests
    bool GaveUp = false;                // the last run reached the limit

    // Builds random positions until one is accepted, thins it twice, draws it
    // and returns with White to move. At the limit shows the limit message,
    // calls View.GiveUp and returns with GaveUp set.
    void GenerateProblem();
};

}  // namespace problems
