// A set of distinct problems for a worksheet, drawn from the trainer's own
// generator: the same builder, mate test, thinning and acceptance, so every
// problem of a set is one the trainer could show.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "problems/trainer_rules.h"
#include "problems/generation_run.h"
#include "problems/mate_search.h"
#include "problems/position_builder.h"
#include "problems/trainer_view.h"
#include "problems/mate_solver.h"
#include "rules/position.h"
#include "settings/settings.h"

namespace problems {

// A set may use this many random positions per problem asked for, in all:
// the trainer's limit for one problem, shared by the whole set.
constexpr std::int64_t SeriesAttemptsPerProblem = AttemptLimit;

struct SeriesProblem {
    rules::BoardCellsArray Board{};    // the problem's squares, White to move
    std::string Fen;                   // its FEN, "... w - - 0 1"
    std::string SolutionText;          // the one mate in the trainer's notation ("Фd8-e7", "e7-e8Ф")
    std::string SolutionAlgebraic;     // the same in standard algebraic notation, with its "#"
    rules::PieceCode MatingPiece = 0;  // the piece on the target square after the key (mate in one: the mate)
    // The solution as a tree: Tree.Moves is n of "mate in n", Tree.Key the
    // key (for a mate in one, the mate) with the play below it.
    Solution Tree;
    std::optional<int> Difficulty;  // the estimated rating, once the sheet has asked for it
};

// Whether a problem found may join a set, asked of its board, White to
// move. An empty filter lets every problem in.
using ProblemFilter = std::function<bool(const rules::BoardCellsArray&)>;

// Told after every random position a set has tried.
class SeriesProgress {
  public:
    virtual ~SeriesProgress() = default;
    virtual void ProblemsFound(int found, int asked, std::int64_t attempts) = 0;
};

// How the last Draw ended.
enum class DrawEnd {
    Complete,        // every problem asked for was found
    PiecesDoNotFit,  // the settings ask for more pieces than the board has room for: nothing was tried
    NoFirstProblem,  // the first stretch of the budget, one problem's share, found none
    BudgetSpent,     // the whole budget was spent with too few found
};

class ProblemSeries {
  public:
    // `config` as the trainer's settings reader leaves it. With FirstMovePiece
    // 0 ("любая") every problem is mated by whatever kind its mate is made
    // by; otherwise every problem by that kind.
    ProblemSeries(const settings::TrainerSettings& config, std::uint64_t seed);

    // Adds problems until `asked` distinct ones are in Problems, in the order
    // found. False when the attempt budget (asked x SeriesAttemptsPerProblem)
    // ran out first; Problems then holds those found. It ends at once when
    // the pieces cannot be placed, and after one problem's share of the
    // budget when that found no problem: a set of one would end the same way,
    // and settings that give no problem in so many positions would not give
    // the rest within the budget either. `progress` may be null.
    bool Draw(int asked, SeriesProgress* progress);

    std::vector<SeriesProblem> Problems;
    std::int64_t AttemptsUsed = 0;  // random positions built by the last Draw
    int RepeatsSkipped = 0;         // problems of the last Draw that repeated an earlier one
    DrawEnd LastEnd = DrawEnd::Complete;
    ProblemFilter Filter;  // problems it turns away cost their attempts and are not kept
    int FilteredOut = 0;   // problems of the last Draw the filter turned away

  private:
    // Reports attempts to the SeriesProgress; shows nothing else.
    class ProgressView : public TrainerView {
      public:
        void ShowAttemptCount(std::int32_t attempts) override;
        void DrawBoard() override {}
        void FillMoveTable(const rules::MoveList&) override {}
        void ShowMessage(const std::string&, const std::string&) override {}
        void GiveUp() override {}

        SeriesProgress* Progress = nullptr;
        int Found = 0;
        int Asked = 0;
        std::int64_t AttemptsBefore = 0;  // of the runs before the current one
    };

    // Records the problem the last run left on the board; false when it
    // repeats one. A problem the filter turns away is new but not kept.
    bool KeepProblem();

    settings::TrainerSettings Config;
    const bool AnyKind;  // "любая": each problem's kind is its own
    std::unique_ptr<rules::Position> Rules = std::make_unique<rules::Position>(TrainerEnPassant);
    MateSearch Search;
    PositionBuilder Builder;
    ProgressView View;
    GenerationRun Run;
    std::unordered_set<std::string> Placements;  // FEN placement fields of the problems kept
};

}  // namespace problems
