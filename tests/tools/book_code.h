// Test helper: the book code of moves written in coordinates, so the tests
// can state book lines readably ("e2e4 e7e5" is "<LdT").
#pragma once

#include <sstream>
#include <string>

#include "book_replay.h"

inline std::string code(const std::string& moves) {
    std::istringstream words(moves);
    std::string out;
    for (std::string m; words >> m;)
        out += encodeMove((m[0] - 'a') + 8 * (m[1] - '1'), (m[2] - 'a') + 8 * (m[3] - '1'));
    return out;
}
