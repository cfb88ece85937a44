// One generation run: random positions until one is a mate in one by the
// required piece kind.
#pragma once

#include <cstdint>
#include <string>

#include "problems/mate_test.h"
#include "problems/position_builder.h"
#include "problems/trainer_view.h"
#include "rules/position.h"
#include "settings/settings.h"

namespace problems {

constexpr std::int32_t AttemptLimit = 30000;

// The message shown when a run reaches the limit.
inline constexpr const char* LimitMessageTitle = "Изменить опции";
inline constexpr const char* LimitMessageText = "Количество сгенерированных позиций больше 30000 !";

// "Сгенерировано  N  позиций", the status label's text after N attempts.
std::string AttemptStatusText(std::int32_t attempts);

struct GenerationRun {
    GenerationRun(chess::Position& rules, MateSearch& search, PositionBuilder& builder,
                  settings::TrainerSettings& settings, TrainerView& view)
        : Rules(rules), Search(search), Builder(builder), Config(settings), View(view) {}

    chess::Position& Rules;
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
