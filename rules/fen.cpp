// Reading and writing positions in Forsyth-Edwards Notation.
#include "rules/fen.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace rules {
namespace {

constexpr int RanksInFen = 8;
constexpr int FieldsWithoutCounters = 4;  // placement, side, castling, en passant
constexpr int FieldsWithCounters = 6;     // ... half-move clock, move number

// The FEN letter of each white piece kind; black pieces use the lower case.
struct PieceLetter {
    char letter;
    PieceKind kind;
};
constexpr PieceLetter FenLetters[] = {
    {'P', Pawn}, {'N', Knight}, {'B', Bishop}, {'R', Rook}, {'Q', Queen}, {'K', King},
};

// The piece code of a FEN letter, or NoPiece for a letter that names none.
PieceCode CodeOfLetter(char letter) {
    for (const PieceLetter& entry : FenLetters) {
        if (letter == entry.letter) return entry.kind;
        if (letter == std::tolower(static_cast<unsigned char>(entry.letter))) return -entry.kind;
    }
    return NoPiece;
}

char LetterOfCode(PieceCode code) {
    for (const PieceLetter& entry : FenLetters) {
        if (code == entry.kind) return entry.letter;
        if (code == -entry.kind) return static_cast<char>(std::tolower(static_cast<unsigned char>(entry.letter)));
    }
    return '?';
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> fields;
    std::string field;
    while (stream >> field) fields.push_back(field);
    return fields;
}

bool IsDecimalNumber(const std::string& text) {
    if (text.empty() || text.size() > 9) return false;  // nine digits fit any int
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// FEN rank 8 comes first and is row index 1; rank 1 is row index 8.
int RankNumberOfRow(int row) { return LastSquare + 1 - row; }

// Fills `board` from the placement field, rank 8 first. Returns an empty
// string, or the reason the field is malformed.
std::string ParsePlacement(const std::string& placement, BoardCellsArray& board) {
    int row = FirstSquare;
    int file = FirstSquare;
    for (const char c : placement) {
        if (c == '/') {
            if (file != LastSquare + 1) {
                return "rank " + std::to_string(RankNumberOfRow(row)) + " does not have eight squares";
            }
            if (row == LastSquare) return "more than eight ranks";
            ++row;
            file = FirstSquare;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > LastSquare + 1)
                return "rank " + std::to_string(RankNumberOfRow(row)) + " has more than eight squares";
        } else {
            const PieceCode code = CodeOfLetter(c);
            if (code == NoPiece) return std::string("unknown piece letter '") + c + "'";
            if (file > LastSquare)
                return "rank " + std::to_string(RankNumberOfRow(row)) + " has more than eight squares";
            if ((code == Pawn || code == -Pawn) && (row == FirstSquare || row == LastSquare)) {
                return "a pawn stands on rank " + std::to_string(RankNumberOfRow(row));
            }
            board[file][row] = code;
            ++file;
        }
    }
    if (row != LastSquare) return "not eight ranks";
    if (file != LastSquare + 1) return "rank 1 does not have eight squares";
    return "";
}

std::string CheckKings(const BoardCellsArray& board) {
    int whiteKings = 0;
    int blackKings = 0;
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) {
            if (board[file][row] == King) ++whiteKings;
            if (board[file][row] == -King) ++blackKings;
        }
    }
    if (whiteKings != 1) return "there must be exactly one white king, found " + std::to_string(whiteKings);
    if (blackKings != 1) return "there must be exactly one black king, found " + std::to_string(blackKings);
    return "";
}

// Castling rights are read and ignored: "-", or each of K, Q, k, q at most
// once, in that order.
bool IsCastlingField(const std::string& field) {
    if (field == "-") return true;
    if (field.empty()) return false;
    std::size_t next = 0;
    const std::string order = "KQkq";
    for (const char letter : field) {
        const std::size_t at = order.find(letter, next);
        if (at == std::string::npos) return false;
        next = at + 1;
    }
    return true;
}

// A square such as "e3" in the core's coordinates.
bool ReadSquare(const std::string& text, Square& square) {
    if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return false;
    square = {text[0] - 'a' + FirstSquare, LastSquare + 1 - (text[1] - '0')};
    return true;
}

// Whether a pawn of the side to move stands beside the pawn that passed
// over `square`: only then may it be taken, and only then is the square kept.
bool CaptureCanFollow(const Position& position, Square square) {
    if (square.IsNone()) return false;
    const int pawnRow = square.Row + position.SideToMove();
    const PieceCode ours = Pawn * position.SideToMove();
    return (square.File > FirstSquare && position.At(square.File - 1, pawnRow) == ours) ||
           (square.File < LastSquare && position.At(square.File + 1, pawnRow) == ours);
}

}  // namespace

bool ParseFen(const std::string& fen, Position& position, std::string& error) {
    const std::vector<std::string> fields = SplitFields(fen);
    const int count = static_cast<int>(fields.size());
    if (count != FieldsWithoutCounters && count != FieldsWithCounters) {
        error = "bad FEN: expected placement, side to move, castling, en passant and optionally two counters";
        return false;
    }
    BoardCellsArray board{};
    std::string reason = ParsePlacement(fields[0], board);
    if (reason.empty()) reason = CheckKings(board);
    if (!reason.empty()) {
        error = "bad FEN: " + reason;
        return false;
    }
    if (fields[1] != "w" && fields[1] != "b") {
        error = "bad FEN: side to move must be \"w\" or \"b\", not \"" + fields[1] + "\"";
        return false;
    }
    if (!IsCastlingField(fields[2])) {
        error = "bad FEN: castling field must be \"-\" or some of \"KQkq\", not \"" + fields[2] + "\"";
        return false;
    }
    if (count == FieldsWithCounters && !(IsDecimalNumber(fields[4]) && IsDecimalNumber(fields[5]))) {
        error = "bad FEN: the move counters must be decimal numbers";
        return false;
    }
    Position read(position.EnPassantRuleInForce());
    for (int file = FirstSquare; file <= LastSquare; ++file) {
        for (int row = FirstSquare; row <= LastSquare; ++row) read.Put(file, row, board[file][row]);
    }
    read.SetSideToMove(fields[1] == "w" ? White : Black);
    Square passedOver;
    if (fields[3] != "-" && !(ReadSquare(fields[3], passedOver) && read.CanBeEnPassantSquare(passedOver))) {
        error = "bad FEN: en passant field \"" + fields[3] +
                "\" is no square a double step of the other side just passed over";
        return false;
    }
    if (CaptureCanFollow(read, passedOver)) read.SetEnPassantSquare(passedOver);
    position = read;
    return true;
}

std::string WriteFen(const Position& position, int sideToMove) {
    std::string fen;
    for (int row = FirstSquare; row <= LastSquare; ++row) {
        int emptyRun = 0;
        for (int file = FirstSquare; file <= LastSquare; ++file) {
            const PieceCode code = position.At(file, row);
            if (code == NoPiece) {
                ++emptyRun;
                continue;
            }
            if (emptyRun > 0) fen += static_cast<char>('0' + emptyRun);
            emptyRun = 0;
            fen += LetterOfCode(code);
        }
        if (emptyRun > 0) fen += static_cast<char>('0' + emptyRun);
        if (row != LastSquare) fen += '/';
    }
    fen += sideToMove == Black ? " b" : " w";
    const Square passedOver = position.EnPassantSquare();
    if (passedOver.IsNone() || sideToMove != position.SideToMove()) {
        fen += " - - 0 1";
    } else {
        fen += " - ";
        fen += static_cast<char>('a' + passedOver.File - FirstSquare);
        fen += static_cast<char>('0' + (LastSquare + 1 - passedOver.Row));
        fen += " 0 1";
    }
    return fen;
}

}  // namespace rules
