#include "board/move_text.h"

namespace {

uint8_t promotionKind(char letter) {
    switch (letter) {
        case 'b': return BISHOP;
        case 'n': return KNIGHT;
        case 'r': return ROOK;
        default: return QUEEN;
    }
}

}  // namespace

bool readCoordinateMove(const std::string& text, Move& move) {
    if (text.size() < 4 || text.size() > 5) return false;
    if (!isFileLetter(text[0]) || !isRankDigit(text[1]) || !isFileLetter(text[2]) || !isRankDigit(text[3]))
        return false;
    move.from = makeSquare(text[0] - 'a', text[1] - '1');
    move.to = makeSquare(text[2] - 'a', text[3] - '1');
    move.promotion = promotionKind(text.size() == 5 ? text[4] : 'q');
    return true;
}

std::string moveText(Square from, Square to) { return squareName(from) + squareName(to); }

std::string uciMove(const Position& position, Square from, Square to) {
    std::string text = moveText(from, to);
    if (isPromotingPawn(position.board[from], from)) text += 'q';
    return text;
}
