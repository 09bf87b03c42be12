// The text picture of the board for a person at the console, with the
// Spanish piece initials: Peon, Torre, Caballo, Alfil, Rey, Dama.
#include "engine/engine.h"

namespace {
constexpr char whiteLetters[7] = {' ', 'P', 'T', 'C', 'A', 'R', 'D'};
constexpr char blackLetters[7] = {' ', 'p', 't', 'c', 'a', 'r', 'd'};
}  // namespace

void Engine::printBoard() {
    for (int rank = 7; rank >= 0; --rank) {
        std::string line = {static_cast<char>('1' + rank), ' '};
        for (int file = 0; file < 8; ++file) {
            const uint8_t piece = currentPosition->board[makeSquare(file, rank)];
            const char* letters = colourOf(piece) == WHITE ? whiteLetters : blackLetters;
            line += letters[kindOf(piece) <= QUEEN ? kindOf(piece) : 0];
            line += ' ';
        }
        printLine(line);
    }
    printLine("  a b c d e f g h");
    printLine("");
}
