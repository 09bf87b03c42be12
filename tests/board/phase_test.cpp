#include <gtest/gtest.h>

#include "board_game.h"

namespace {

TEST(GamePhase, Boundaries) {
    struct Case {
        int white, black, ply, phase;
    };
    const Case cases[] = {
        {59, 59, 0, 0}, {59, 59, 25, 1}, {45, 45, 24, 0}, {45, 45, 25, 1}, {44, 59, 0, 1},
        {38, 59, 0, 1}, {59, 37, 0, 2},  {27, 59, 0, 2},  {26, 59, 0, 3},  {21, 59, 0, 3},
        {59, 21, 0, 3}, {20, 59, 0, 4},  {59, 20, 0, 4},  {20, 20, 0, 4},  {123, 123, 0, 0},
    };
    for (const Case& c : cases) {
        Position p;
        p.whiteMaterialCount = static_cast<int16_t>(c.white);
        p.blackMaterialCount = static_cast<int16_t>(c.black);
        p.plyCount = static_cast<int16_t>(c.ply);
        EXPECT_EQ(gamePhase(p), c.phase) << c.white << " " << c.black << " ply " << c.ply;
    }
}

// The full generation values a pawn by the phase of the counts the record
// holds when it starts: 1000 up to the middle game, 1025 after it.
TEST(GamePhase, ChoosesThePieceValues) {
    BoardGame t;
    for (int count : {27, 26}) {
        Position p = t.setBoard("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
        p.whiteMaterialCount = p.blackMaterialCount = static_cast<int16_t>(count);
        MoveList moves;
        generateMoves(p, moves, Generation::Full, t.rules);
        EXPECT_EQ(p.whiteMaterialValue, 20000 + (count == 27 ? 1000 : 1025)) << count;
        EXPECT_EQ(p.whiteMaterialCount, 21);
    }
}

}  // namespace
