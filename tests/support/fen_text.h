// Writes the piece-placement field of a FEN from a board of letters.
#pragma once

#include <string>

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
