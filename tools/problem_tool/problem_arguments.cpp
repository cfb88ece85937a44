#include "tools/problem_tool/problem_arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sys/stat.h>

#include "problems/mate_solver.h"
#include "rules/fen.h"

namespace problem_tool {

bool ArgumentCountFits(int argc, int lowest, int highest, const char* complaint) {
    if (argc >= lowest && argc <= highest) return true;
    std::fprintf(stderr, "%s\n", complaint);
    return false;
}

bool ReadFenArgument(const char* who, const char* fen, rules::Position& position) {
    std::string error;
    if (!rules::ParseFen(fen, position, error)) {
        std::fprintf(stderr, "%s: %s\n", who, error.c_str());
        return false;
    }
    // The trainer's rules know no en passant: a FEN that gives a square is
    // one they cannot play.
    const std::string fields(fen);
    std::size_t field = 0;
    for (int skipped = 0; skipped < 3 && field != std::string::npos; ++skipped) {
        field = fields.find_first_not_of(' ', fields.find(' ', fields.find_first_not_of(' ', field)));
    }
    const std::string enPassant =
        field == std::string::npos ? "-" : fields.substr(field, fields.find(' ', field) - field);
    if (position.EnPassantRuleInForce() == rules::EnPassantRule::NotPlayed && enPassant != "-") {
        std::fprintf(stderr, "%s: bad FEN: the trainer's rules know no en passant (field must be \"-\", not \"%s\")\n",
                     who, enPassant.c_str());
        return false;
    }
    return true;
}

bool ReadSettingsArgument(const char* command, const std::string& path, settings::TrainerSettings& config) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        std::fprintf(stderr, "problem-tool %s: no settings file %s\n", command, path.c_str());
        return false;
    }
    config.SettingsReader(path);
    return true;
}

bool ParseNumberArgument(const char* command, const char* what, const char* text, std::uint64_t lowest,
                         std::uint64_t& value) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (text[0] < '0' || text[0] > '9' || *end != '\0' || errno == ERANGE || parsed < lowest) {
        std::fprintf(stderr, "problem-tool %s: %s must be a whole number of at least %llu, not \"%s\"\n", command, what,
                     static_cast<unsigned long long>(lowest), text);
        return false;
    }
    value = parsed;
    return true;
}

bool ParseMateMovesArgument(const char* command, int argc, char** argv, std::uint64_t lowest, int& moves) {
    const std::string usage = std::string("usage: problem-tool ") + command + " N < FEN_LINES";
    std::uint64_t number = 0;
    if (!ArgumentCountFits(argc, 1, 1, usage.c_str()) || !ParseNumberArgument(command, "N", argv[0], lowest, number)) {
        return false;
    }
    if (number > static_cast<std::uint64_t>(problems::MostMateMoves)) {
        std::fprintf(stderr, "problem-tool %s: N must be at most %d, not %s\n", command, problems::MostMateMoves,
                     argv[0]);
        return false;
    }
    moves = static_cast<int>(number);
    return true;
}

int AnswerFenLines(const char* command, const std::function<std::string(const rules::Position&)>& answer,
                   const char* unreadable) {
    rules::Position position;
    int status = 0;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        std::string error;
        if (!rules::ParseFen(line, position, error)) {
            std::fprintf(stderr, "problem-tool %s: line %d: %s\n", command, number, error.c_str());
            std::printf("%s\n", unreadable);
            status = 2;
            continue;
        }
        std::printf("%s\n", answer(position).c_str());
        std::fflush(stdout);
    }
    return status;
}

}  // namespace problem_tool
