// The subcommands of problem-tool, a developer's command-line view of the
// rules core, the settings reader and the problem generator.
#pragma once

namespace problem_tool {

// Each takes the arguments after the subcommand's name and returns the exit
// status: 0 on success, 2 for bad input (with one line on stderr).
using CommandFunction = int (*)(int argc, char** argv);

struct Command {
    const char* Name;
    const char* Usage;
    CommandFunction Run;
};

int RunMoves(int argc, char** argv);                   // moves_command.cpp
int RunPerft(int argc, char** argv);                   // perft_command.cpp
int SettingsCommand(int argc, char** argv);            // problem-tool settings
int MatesCommand(int argc, char** argv);               // problem-tool mates
int GenerateCommand(int argc, char** argv);            // problem-tool generate
int BenchCommand(int argc, char** argv);               // problem-tool bench
int TrySettingsCommand(int argc, char** argv);         // problem-tool try-settings
int SolveCommand(int argc, char** argv);               // problem-tool solve
int DifficultyCommand(int argc, char** argv);          // problem-tool difficulty
int DifficultyFeaturesCommand(int argc, char** argv);  // problem-tool difficulty-features
int ComposedCommand(int argc, char** argv);            // problem-tool composed

}  // namespace problem_tool
