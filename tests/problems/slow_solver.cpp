// The slow solver: every position a copy, every question asked afresh.
#include "tests/problems/slow_solver.h"

#include <cctype>
#include <cstdlib>

namespace problems::testing::slow {

namespace {

bool On(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

bool Attacked(const Board& b, int s, int by) {
    const int f = FileOf(s), r = RankOf(s);
    const int pr = r - by;  // a pawn of `by` attacking s stands one rank behind it
    for (int df : {-1, 1})
        if (On(f + df, pr) && b.Sq[pr * 8 + f + df] == by * P) return true;
    const int jumps[8][2] = {{1, 2}, {2, 1}, {-1, 2}, {-2, 1}, {1, -2}, {2, -1}, {-1, -2}, {-2, -1}};
    for (auto& j : jumps)
        if (On(f + j[0], r + j[1]) && b.Sq[(r + j[1]) * 8 + f + j[0]] == by * N) return true;
    for (int df = -1; df <= 1; ++df)
        for (int dr = -1; dr <= 1; ++dr) {
            if ((df || dr) && On(f + df, r + dr) && b.Sq[(r + dr) * 8 + f + df] == by * K) return true;
            if (!df && !dr) continue;
            const bool diagonal = df && dr;
            for (int x = f + df, y = r + dr; On(x, y); x += df, y += dr) {
                const int p = b.Sq[y * 8 + x];
                if (!p) continue;
                if (p == by * Q || p == by * (diagonal ? B : R)) return true;
                break;
            }
        }
    return false;
}

}  // namespace

int FileOf(int s) { return s % 8; }
int RankOf(int s) { return s / 8; }

bool InCheck(const Board& b, int side) {
    for (int s = 0; s < 64; ++s)
        if (b.Sq[s] == side * K) return Attacked(b, s, -side);
    return false;
}

Board After(const Board& b, const Plain& m) {
    Board n = b;
    const int p = n.Sq[m.From];
    if (std::abs(p) == P && m.To == b.EnPassant) n.Sq[m.To - 8 * b.Side] = 0;
    n.Sq[m.To] = m.Promote ? b.Side * m.Promote : p;
    n.Sq[m.From] = 0;
    n.EnPassant = std::abs(p) == P && std::abs(m.To - m.From) == 16 ? (m.To + m.From) / 2 : -1;
    n.Side = -b.Side;
    return n;
}

std::vector<Plain> Legal(const Board& b) {
    std::vector<Plain> pseudo;
    const int us = b.Side;
    auto add = [&](int from, int to) {
        if (std::abs(b.Sq[from]) == P && (RankOf(to) == 0 || RankOf(to) == 7)) {
            for (int k : {N, B, R, Q}) pseudo.push_back({to, from, k});
        } else {
            pseudo.push_back({to, from, 0});
        }
    };
    for (int s = 0; s < 64; ++s) {
        const int p = b.Sq[s] * us;
        if (p <= 0) continue;
        const int f = FileOf(s), r = RankOf(s);
        if (p == P) {
            const int r1 = r + us;
            if (On(f, r1) && !b.Sq[r1 * 8 + f]) {
                add(s, r1 * 8 + f);
                const int start = us == 1 ? 1 : 6;
                if (r == start && !b.Sq[(r1 + us) * 8 + f]) add(s, (r1 + us) * 8 + f);
            }
            for (int df : {-1, 1}) {
                if (!On(f + df, r1)) continue;
                const int t = r1 * 8 + f + df;
                if (b.Sq[t] * us < 0 || t == b.EnPassant) add(s, t);
            }
            continue;
        }
        if (p == N || p == K) {
            const int jumps[8][2] = {{1, 2}, {2, 1}, {-1, 2}, {-2, 1}, {1, -2}, {2, -1}, {-1, -2}, {-2, -1}};
            const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
            for (int i = 0; i < 8; ++i) {
                const int x = f + (p == N ? jumps[i][0] : steps[i][0]);
                const int y = r + (p == N ? jumps[i][1] : steps[i][1]);
                if (On(x, y) && b.Sq[y * 8 + x] * us <= 0) add(s, y * 8 + x);
            }
            continue;
        }
        for (int df = -1; df <= 1; ++df)
            for (int dr = -1; dr <= 1; ++dr) {
                if (!df && !dr) continue;
                const bool diagonal = df && dr;
                if ((p == B && !diagonal) || (p == R && diagonal)) continue;
                for (int x = f + df, y = r + dr; On(x, y); x += df, y += dr) {
                    const int t = y * 8 + x;
                    if (b.Sq[t] * us > 0) break;
                    add(s, t);
                    if (b.Sq[t]) break;
                }
            }
    }
    std::vector<Plain> legal;
    for (const Plain& m : pseudo)
        if (!InCheck(After(b, m), us)) legal.push_back(m);
    return legal;
}

bool Mates(const Board& b, const Plain& m) {
    const Board n = After(b, m);
    return InCheck(n, n.Side) && Legal(n).empty();
}

std::vector<Plain> MatesInOne(const Board& b) {
    std::vector<Plain> mates;
    for (const Plain& m : Legal(b))
        if (Mates(b, m)) mates.push_back(m);
    return mates;
}

bool ForcesMate(const Board& b, const Plain& key) {
    const Board n = After(b, key);
    const std::vector<Plain> defences = Legal(n);
    if (defences.empty()) return false;
    for (const Plain& d : defences)
        if (MatesInOne(After(n, d)).empty()) return false;
    return true;
}

std::vector<Plain> Keys(const Board& b) {
    std::vector<Plain> keys;
    for (const Plain& m : Legal(b))
        if (ForcesMate(b, m)) keys.push_back(m);
    return keys;
}
bool MatesIn(const Board& b, int n) {
    if (n == 1) return !MatesInOne(b).empty();
    for (const Plain& m : Legal(b))
        if (ForcesMateIn(b, m, n)) return true;
    return false;
}
bool ForcesMateIn(const Board& b, const Plain& key, int n) {
    const Board next = After(b, key);
    const std::vector<Plain> defences = Legal(next);
    if (defences.empty()) return InCheck(next, next.Side);  // mated at once
    if (n == 1) return false;
    for (const Plain& d : defences)
        if (!MatesIn(After(next, d), n - 1)) return false;
    return true;
}
std::vector<Plain> KeysIn(const Board& b, int n) {
    std::vector<Plain> keys;
    for (const Plain& m : Legal(b))
        if (ForcesMateIn(b, m, n)) keys.push_back(m);
    return keys;
}

namespace {

int KindOfCode(int code) {
    switch (std::abs(code)) {
        case rules::Pawn: return P;
        case rules::Knight: return N;
        case rules::Bishop: return B;
        case rules::Rook: return R;
        case rules::Queen: return Q;
        case rules::King: return K;
        default: return 0;
    }
}

}  // namespace

Board FromCells(const rules::BoardCellsArray& cells) {
    Board b;
    for (int file = 1; file <= 8; ++file)
        for (int row = 1; row <= 8; ++row) {
            const int code = cells[file][row];
            b.Sq[(8 - row) * 8 + file - 1] = code > 0 ? KindOfCode(code) : -KindOfCode(code);
        }
    return b;
}

Board FromFen(const std::string& fen) {
    Board b;
    int rank = 7, file = 0;
    const std::string kinds = "pnbrqk";
    std::size_t i = 0;
    for (; i < fen.size() && fen[i] != ' '; ++i) {
        const char c = fen[i];
        if (c == '/') {
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else {
            const int kind = static_cast<int>(kinds.find(static_cast<char>(std::tolower(c)))) + 1;
            b.Sq[rank * 8 + file++] = std::isupper(static_cast<unsigned char>(c)) ? kind : -kind;
        }
    }
    b.Side = fen.substr(i + 1, 1) == "w" ? 1 : -1;
    const std::string rest = fen.substr(i + 3);
    const std::size_t blank = rest.find(' ');
    const std::string ep = rest.substr(blank + 1, 2);
    if (ep[0] != '-') b.EnPassant = (ep[1] - '1') * 8 + (ep[0] - 'a');
    return b;
}

rules::BoardCellsArray ToCells(const Board& b) {
    constexpr int codes[] = {0, rules::Pawn, rules::Knight, rules::Bishop, rules::Rook, rules::Queen, rules::King};
    rules::BoardCellsArray cells{};
    for (int s = 0; s < 64; ++s) {
        const int p = b.Sq[s];
        cells[FileOf(s) + 1][8 - RankOf(s)] = p > 0 ? codes[p] : -codes[-p];
    }
    return cells;
}

Plain FromMove(const rules::Move& m) {
    const int promote = m.PlacedPiece != m.MovedPiece ? KindOfCode(m.PlacedPiece) : 0;
    return {(8 - m.ToRow) * 8 + m.ToFile - 1, (8 - m.FromRow) * 8 + m.FromFile - 1, promote};
}

Plain FromUci(const std::string& text) {
    const int from = (text[1] - '1') * 8 + (text[0] - 'a');
    const int to = (text[3] - '1') * 8 + (text[2] - 'a');
    const std::string kinds = "nbrq";
    const int promote = text.size() > 4 ? static_cast<int>(kinds.find(text[4])) + N : 0;
    return {to, from, promote};
}

std::uint64_t Leaves(const Board& b, int depth) {
    if (depth == 0) return 1;
    std::uint64_t leaves = 0;
    for (const Plain& m : Legal(b)) leaves += Leaves(After(b, m), depth - 1);
    return leaves;
}

}  // namespace problems::testing::slow
