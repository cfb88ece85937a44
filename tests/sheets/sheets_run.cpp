#include "tests/sheets/sheets_run.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "rules/fen.h"
#include "tests/settings/scratch_directory.h"

namespace sheets {
namespace {

constexpr int PatienceMilliseconds = 120000;

struct SanParts {
    rules::PieceCode Kind = rules::Pawn;
    int FromFile = 0;  // 0: not given
    int FromRow = 0;
    bool Capture = false;
    int ToFile = 0;
    int ToRow = 0;
    rules::PieceCode Promotion = 0;
};

rules::PieceCode KindOfLetter(char letter) {
    switch (letter) {
        case 'N': return rules::Knight;
        case 'B': return rules::Bishop;
        case 'R': return rules::Rook;
        case 'Q': return rules::Queen;
        case 'K': return rules::King;
        default: return 0;
    }
}

int FileOf(char c) { return c >= 'a' && c <= 'h' ? c - 'a' + 1 : 0; }
int RowOf(char c) { return c >= '1' && c <= '8' ? 9 - (c - '0') : 0; }

SanParts ParseSan(std::string san) {
    SanParts parts;
    while (!san.empty() && (san.back() == '#' || san.back() == '+')) san.pop_back();
    if (san.size() >= 2 && san[san.size() - 2] == '=') {
        parts.Promotion = KindOfLetter(san.back());
        san.resize(san.size() - 2);
    }
    if (!san.empty() && KindOfLetter(san[0]) != 0) {
        parts.Kind = KindOfLetter(san[0]);
        san.erase(0, 1);
    }
    if (san.size() < 2) throw std::invalid_argument("no target square");
    parts.ToFile = FileOf(san[san.size() - 2]);
    parts.ToRow = RowOf(san.back());
    san.resize(san.size() - 2);
    if (!san.empty() && san.back() == 'x') {
        parts.Capture = true;
        san.pop_back();
    }
    for (const char c : san) {
        if (FileOf(c) != 0) {
            parts.FromFile = FileOf(c);
        } else if (RowOf(c) != 0) {
            parts.FromRow = RowOf(c);
        } else {
            throw std::invalid_argument("unexpected character in the from-square");
        }
    }
    return parts;
}

std::vector<rules::Move> EntriesMatching(const rules::Position& position, const SanParts& parts) {
    std::vector<rules::Move> named;
    const rules::MoveList moves = position.LegalMoves();
    for (int entry = 1; entry <= moves.Count(); ++entry) {
        const rules::Move move = moves[entry];
        const bool capture = position.At(move.ToFile, move.ToRow) != 0;
        if (std::abs(move.MovedPiece) != parts.Kind || move.ToFile != parts.ToFile || move.ToRow != parts.ToRow ||
            capture != parts.Capture || (parts.FromFile != 0 && move.FromFile != parts.FromFile) ||
            (parts.FromRow != 0 && move.FromRow != parts.FromRow) ||
            (move.IsPromotion() ? std::abs(move.PlacedPiece) != parts.Promotion : parts.Promotion != 0)) {
            continue;
        }
        named.push_back(move);
    }
    return named;
}

// Reads what is there; false at the stream's end.
bool Drain(int descriptor, std::string& into) {
    char buffer[65536];
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got > 0) into.append(buffer, static_cast<size_t>(got));
    return got > 0;
}

}  // namespace

RunResult RunSheets(const std::vector<std::string>& arguments, const std::string& directory,
                    const std::vector<std::string>& environment) {
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::close(out[0]);
        ::close(err[0]);
        if (::chdir(directory.c_str()) != 0) ::_exit(127);
        for (const std::string& change : environment) {
            const std::size_t equals = change.find('=');
            if (equals == std::string::npos) {
                ::unsetenv(change.c_str());
            } else {
                ::setenv(change.substr(0, equals).c_str(), change.c_str() + equals + 1, 1);
            }
        }
        std::vector<char*> argv = {const_cast<char*>(SHEETS_PROGRAM)};
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(SHEETS_PROGRAM, argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    RunResult result;
    pollfd streams[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(PatienceMilliseconds);
    bool open[2] = {true, true};
    while ((open[0] || open[1]) && std::chrono::steady_clock::now() < deadline) {
        for (int index = 0; index < 2; ++index) streams[index].fd = open[index] ? (index == 0 ? out[0] : err[0]) : -1;
        if (::poll(streams, 2, 100) <= 0) continue;
        if (open[0] && (streams[0].revents & (POLLIN | POLLHUP)) != 0) open[0] = Drain(out[0], result.Out);
        if (open[1] && (streams[1].revents & (POLLIN | POLLHUP)) != 0) open[1] = Drain(err[0], result.Err);
    }
    if (open[0] || open[1]) ::kill(child, SIGKILL);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!open[0] && !open[1] && WIFEXITED(status)) result.Status = WEXITSTATUS(status);
    return result;
}

void WriteExampleSettings(const std::string& path) {
    const auto bytes = settings::ReadBytes(EXAMPLE_SETTINGS);
    if (!bytes) throw std::runtime_error("no example settings");
    settings::WriteBytes(path, *bytes);
}

void WriteSettings(const std::string& path, const std::string& lines) { settings::WriteBytes(path, lines); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

std::vector<PgnGame> ReadPgn(const std::string& text) {
    std::vector<PgnGame> games;
    const std::vector<std::string> lines = Lines(text);
    std::size_t at = 0;
    while (at < lines.size()) {
        PgnGame game;
        for (; at < lines.size() && !lines[at].empty(); ++at) {
            const std::string& line = lines[at];
            const std::size_t blank = line.find(' ');
            if (line.front() != '[' || line.back() != ']' || blank == std::string::npos || line[blank + 1] != '"' ||
                line[line.size() - 2] != '"') {
                throw std::invalid_argument("not a tag line: " + line);
            }
            std::string value;
            for (std::size_t c = blank + 2; c + 2 < line.size(); ++c) {
                if (line[c] == '\\') ++c;
                value += line[c];
            }
            game.Tags.emplace_back(line.substr(1, blank - 1), value);
        }
        if (at + 1 >= lines.size() || !lines[at].empty()) throw std::invalid_argument("no movetext");
        game.Movetext = lines[at + 1];
        at += 2;
        games.push_back(game);
        if (at < lines.size()) {
            if (!lines[at].empty()) throw std::invalid_argument("no empty line between games");
            ++at;
        }
    }
    return games;
}

std::unique_ptr<rules::Position> WhiteToMove(const std::string& fen) {
    auto position = std::make_unique<rules::Position>();
    std::string error;
    if (!rules::ParseFen(fen, *position, error)) throw std::invalid_argument(fen + ": " + error);
    position->SetSideToMove(rules::White);
    return position;
}

std::vector<rules::Move> EntriesNamedBy(const rules::Position& position, const std::string& san) {
    return EntriesMatching(position, ParseSan(san));
}

bool FromSquarePartIsMinimal(const rules::Position& position, const std::string& san) {
    const SanParts parts = ParseSan(san);
    if (parts.Kind == rules::Pawn) return true;  // a pawn's file is part of its capture, not a choice
    const std::vector<rules::Move> named = EntriesMatching(position, parts);
    if (named.size() != 1) return false;
    // How many moves each form names: none, the file only, the rank only.
    auto naming = [&](bool file, bool rank) {
        SanParts form = parts;
        form.FromFile = file ? named[0].FromFile : 0;
        form.FromRow = rank ? named[0].FromRow : 0;
        return EntriesMatching(position, form).size();
    };
    const bool file = parts.FromFile != 0;
    const bool rank = parts.FromRow != 0;
    if (!file && !rank) return true;
    if (naming(false, false) == 1) return false;                 // nothing was needed
    if (rank && naming(true, false) == 1) return false;          // the file alone would have done
    if (file && rank && naming(false, true) == 1) return false;  // so would the rank
    return true;
}

}  // namespace sheets
