// Writes the piece-placement field of a FEN from a board of letters.
#pragma once

#include <string>

// Clears the board of letters and places one king of each colour on random
// squares; pick(n) draws a number from 0 to n - 1.
template <typename Pick>
void emptyBoardWithKings(char squares[64], Pick&& pick) {
    for (int s = 0; s < 64; ++s) squares[s] = ' ';
    squares[pick(64)] = 'K';
    for (;;) {
        const int s = pick(64);
        if (squares[s] == ' ') {
            squares[s] = 'k';
            return;
        }
    }
}

// squares[i] is the FEN letter on square i (a1 = 0) or a blank.
inline std::string placementText(const char squares[64]) {
    std::string text;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const char c = squares[rank * 8 + file];
            if (c == ' ') {
                ++empty;
                continue;
            }
            if (empty) text += static_cast<char>('0' + empty);
            empty = 0;
            text += c;
        }
        if (empty) text += static_cast<char>('0' + empty);
        if (rank) text += '/';
    }
    return text;
}
