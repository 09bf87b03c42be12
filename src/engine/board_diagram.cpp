// The Spanish piece initials: Peon, Torre, Caballo, Alfil, Rey, Dama.
#include "engine/board_diagram.h"

namespace {
constexpr char whiteLetters[7] = {' ', 'P', 'T', 'C', 'A', 'R', 'D'};
constexpr char blackLetters[7] = {' ', 'p', 't', 'c', 'a', 'r', 'd'};
}  // namespace

std::vector<std::string> boardDiagram(const Position& position) {
    std::vector<std::string> lines;
    for (int rank = 7; rank >= 0; --rank) {
        std::string line = {static_cast<char>('1' + rank), ' '};
        for (int file = 0; file < 8; ++file) {
            const uint8_t piece = position.board[makeSquare(file, rank)];
            const char* letters = colourOf(piece) == WHITE ? whiteLetters : blackLetters;
            line += letters[kindOf(piece) <= QUEEN ? kindOf(piece) : 0];
            line += ' ';
        }
        lines.push_back(line);
    }
    lines.push_back("  a b c d e f g h");
    lines.push_back("");
    return lines;
}
