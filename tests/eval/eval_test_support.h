// Helpers for the evaluation tests: set up a position as the search would
// see it and evaluate it.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "eval/evaluators.h"
#include "eval/positional.h"
#include "test_engine.h"

// An engine with all-zero piece-square tables wherever the tests run, so
// that the hand-worked scores hold even next to real table files.
struct EvalEngine : TestEngine {
    EvalEngine() {
        std::memset(engine->evaluator.tables.advanced, 0, sizeof engine->evaluator.tables.advanced);
        std::memset(engine->evaluator.tables.normal, 0, sizeof engine->evaluator.tables.normal);
    }
};

// Sets up the FEN and runs the full generation once more, as the search
// does for every node: set-up leaves the material counts at zero, so the
// refresh right after it chose the piece values of the bare-king phase.
// Fails the test when the FEN was refused (set-up then falls back to the
// start position).
inline Position& prepare(TestEngine& t, const std::string& fen, MoveList& moves) {
    Position& p = t.setBoard(fen);
    int letters = 0;
    for (char c : fen.substr(0, fen.find(' '))) letters += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
    EXPECT_EQ(p.pieceCount, letters) << "set-up refused " << fen;
    generateMoves(p, moves, Generation::Full, t->rules);
    return p;
}

constexpr int fullAlpha = -800000;
constexpr int fullBeta = 800000;

inline int evaluateFen(TestEngine& t, const std::string& fen, int* status = nullptr) {
    MoveList moves;
    Position& p = prepare(t, fen, moves);
    int ignored = -1;
    return t->evaluator.evaluate(p, status ? status : &ignored, moves, fullAlpha, fullBeta, t->rules);
}

// The same position seen from the other side: ranks flipped, colours
// swapped, the other side to move.
inline std::string mirrorFen(const std::string& fen) {
    std::string fields[6];
    std::size_t at = 0;
    for (int i = 0; i < 6 && at <= fen.size(); ++i) {
        std::size_t end = fen.find(' ', at);
        if (end == std::string::npos) end = fen.size();
        fields[i] = fen.substr(at, end - at);
        at = end + 1;
    }
    auto swapCase = [](std::string text) {
        for (char& c : text)
            c = std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                            : static_cast<char>(std::toupper(c));
        return text;
    };
    std::string ranks[8];
    int rank = 0;
    for (char c : fields[0]) {
        if (c == '/')
            ++rank;
        else
            ranks[rank] += c;
    }
    std::string placement;
    for (int r = 7; r >= 0; --r) placement += swapCase(ranks[r]) + (r > 0 ? "/" : "");
    std::string enPassant = fields[3];
    if (enPassant.size() == 2) enPassant[1] = static_cast<char>('1' + '8' - enPassant[1]);
    return placement + (fields[1] == "w" ? " b " : " w ") + swapCase(fields[2]) + " " + enPassant + " " + fields[4] +
           " " + fields[5];
}
