#include "book_moves.h"

#include <cctype>
#include <cstring>

#include "board/move_text.h"

namespace {

int kindOfLetter(char c) {
    switch (c) {
        case 'K': return KING;
        case 'Q': return QUEEN;
        case 'R': return ROOK;
        case 'B': return BISHOP;
        case 'N': return KNIGHT;
        default: return EMPTY;
    }
}

bool isPromotion(const Position& position, Square from, Square to) {
    return kindOf(position.board[from]) == PAWN && (rankOf(to) == 0 || rankOf(to) == 7);
}

// Castling is the king's two-square move in the engine's move lists.
bool isCastling(const Position& position, Square from, Square to) {
    return kindOf(position.board[from]) == KING && (to - from == 2 || from - to == 2);
}

// What a SAN move says about the move it names; -1 where it says nothing.
struct SanPattern {
    int kind = PAWN;
    int fromFile = -1;
    int fromRank = -1;
    Square to = -1;
    int promotion = EMPTY;
    int castleSide = 0;  // +2 king's side, -2 queen's side
};

std::string stripDecorations(std::string text) {
    // Check and mate marks and annotation glyphs written onto the move.
    while (!text.empty() && std::strchr("+#!?", text.back())) text.pop_back();
    const std::size_t ep = text.find("e.p.");
    if (ep != std::string::npos && ep > 0) text.erase(ep);
    return text;
}

bool parseSan(std::string text, SanPattern& san) {
    text = stripDecorations(text);
    if (text == "O-O" || text == "0-0") {
        san.kind = KING;
        san.castleSide = 2;
        return true;
    }
    if (text == "O-O-O" || text == "0-0-0") {
        san.kind = KING;
        san.castleSide = -2;
        return true;
    }
    if (!text.empty() && kindOfLetter(text[0]) != EMPTY) {
        san.kind = kindOfLetter(text[0]);
        text.erase(0, 1);
    }
    // Promotion: "e8=Q" or "e8Q".
    if (san.kind == PAWN && text.size() >= 3 && kindOfLetter(text.back()) != EMPTY) {
        san.promotion = kindOfLetter(text.back());
        if (san.promotion == KING) return false;
        text.pop_back();
        if (!text.empty() && text.back() == '=') text.pop_back();
    }
    std::string squares;
    for (char c : text) {
        if (c == 'x' || c == ':' || c == '-') continue;
        if (!isFileLetter(c) && !isRankDigit(c)) return false;
        squares += c;
    }
    if (squares.size() < 2 || squares.size() > 4) return false;
    const char toFile = squares[squares.size() - 2];
    const char toRank = squares.back();
    if (!isFileLetter(toFile) || !isRankDigit(toRank)) return false;
    san.to = makeSquare(toFile - 'a', toRank - '1');
    for (std::size_t i = 0; i + 2 < squares.size(); ++i) {
        if (isFileLetter(squares[i]) && san.fromFile < 0) {
            san.fromFile = squares[i] - 'a';
        } else if (isRankDigit(squares[i]) && san.fromRank < 0) {
            san.fromRank = squares[i] - '1';
        } else {
            return false;
        }
    }
    // A pawn that does not capture stays on its file.
    if (san.kind == PAWN && san.fromFile < 0) san.fromFile = fileOf(san.to);
    return true;
}

bool fits(const Position& position, const SanPattern& san, Square from, Square to) {
    if (kindOf(position.board[from]) != san.kind) return false;
    if (san.castleSide != 0) return isCastling(position, from, to) && to - from == san.castleSide;
    if (isCastling(position, from, to)) return false;  // castling is written O-O
    if (to != san.to) return false;
    if (san.fromFile >= 0 && fileOf(from) != san.fromFile) return false;
    if (san.fromRank >= 0 && rankOf(from) != san.fromRank) return false;
    return true;
}

// The book code holds only the two squares, and the engine promotes such a
// move to a queen: any other promotion piece cannot be kept.
FoundMove withPromotion(const Position& position, FoundMove move, int promotion) {
    if (move.problem != MoveProblem::None) return move;
    if (!isPromotion(position, move.from, move.to)) {
        if (promotion != EMPTY) move.problem = MoveProblem::Illegal;
    } else if (promotion != EMPTY && promotion != QUEEN) {
        move.problem = MoveProblem::Underpromotion;
    }
    return move;
}

}  // namespace

FoundMove findSanMove(const Position& position, const MoveList& legal, const std::string& text) {
    SanPattern san;
    if (!parseSan(text, san)) return {};
    FoundMove found;
    found.problem = MoveProblem::Illegal;
    int matches = 0;
    for (int i = 0; i < legal.count; ++i) {
        if (!fits(position, san, legal.from[i], legal.to[i])) continue;
        ++matches;
        found = {MoveProblem::None, legal.from[i], legal.to[i]};
    }
    if (matches > 1) found.problem = MoveProblem::Ambiguous;
    return withPromotion(position, found, san.promotion);
}

FoundMove findCoordinateMove(const Position& position, const MoveList& legal, const std::string& text) {
    Move move;
    if (!readCoordinateMove(text, move)) return {};
    // The letter must name a piece a pawn can become, in either case.
    int promotion = EMPTY;
    if (text.size() == 5) {
        promotion = kindOfLetter(static_cast<char>(std::toupper(static_cast<unsigned char>(text[4]))));
        if (promotion == EMPTY || promotion == KING) return {};
    }
    const Square from = move.from;
    const Square to = move.to;
    FoundMove found;
    found.problem = MoveProblem::Illegal;
    for (int i = 0; i < legal.count; ++i) {
        if (legal.from[i] == from && legal.to[i] == to) found = {MoveProblem::None, from, to};
    }
    return withPromotion(position, found, promotion);
}

const char* describeProblem(MoveProblem problem) {
    switch (problem) {
        case MoveProblem::None: return "is fine";
        case MoveProblem::Unreadable: return "cannot be read";
        case MoveProblem::Illegal: return "is not legal here";
        case MoveProblem::Ambiguous: return "is ambiguous";
        case MoveProblem::Underpromotion: return "promotes to a piece other than a queen, which the book cannot hold";
    }
    return "";
}

void playFoundMove(Position& position, const FoundMove& found, const Rules& rules) {
    makeMove(found.from, found.to, position, rules);
    switchSide(position);
}
