// problem-tool settings: the trainer's reading of "set_figure.txt" in the
// working directory, as read and as in use.
#include <cstdio>
#include <string>

#include "settings/settings.h"
#include "tools/problem_tool/commands.h"
#include "tools/problem_tool/problem_arguments.h"

namespace problem_tool {
namespace {

void PrintNumbers(const settings::Settings& values) {
    for (int line = 1; line <= settings::NumericLines; ++line) {
        const std::string_view name = settings::NumberNames[static_cast<std::size_t>(line)];
        std::printf("%.*s %d\n", static_cast<int>(name.size()), name.data(), static_cast<int>(values.Number(line)));
    }
}

}  // namespace

int SettingsCommand(int argc, char** /*argv*/) {
    if (!ArgumentCountFits(argc, 0, 0, "problem-tool settings: takes no arguments")) return 2;
    settings::TrainerSettings trainer;
    trainer.SettingsReader();
    PrintNumbers(trainer.AsRead);
    std::printf("FirstMovePieceName \"%s\"\n", trainer.AsRead.FirstMovePieceName.c_str());
    std::printf("in use\n");
    PrintNumbers(trainer.InUse);
    std::printf("KingSpan %d\n", static_cast<int>(trainer.KingSpan));
    std::printf("FirstMovePiece %d\n", static_cast<int>(trainer.FirstMovePiece));
    return 0;
}

}  // namespace problem_tool
