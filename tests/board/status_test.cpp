#include <gtest/gtest.h>

#include "board_game.h"

namespace {

// Drawn by material only where no mate is possible: a bare king against at
// most one minor piece, or bishops on one square colour; a minor piece on
// each side can still mate, so the game goes on.
TEST(Status, InsufficientMaterial) {
    struct Case {
        const char* fen;
        int status;
    };
    const Case cases[] = {
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", DrawMaterial},    {"4k3/8/8/8/8/8/8/4KB2 w - - 0 1", DrawMaterial},
        {"4k3/8/8/8/8/8/8/4KB2 b - - 0 1", DrawMaterial},   {"4kb2/8/8/8/8/8/8/4KN2 w - - 0 1", Normal},
        {"4kn2/8/8/8/8/8/8/4KN2 b - - 0 1", Normal},        {"4kb2/8/8/8/8/8/8/4KB2 w - - 0 1", Normal},
        {"4k1b1/8/8/8/8/8/8/4KB2 w - - 0 1", DrawMaterial},  // both bishops on light squares
        {"4k3/8/8/8/8/8/8/3NKN2 w - - 0 1", Normal},         // two knights
        {"4k3/8/8/8/8/8/8/4KBB1 w - - 0 1", Normal},        {"4k3/4p3/8/8/8/8/8/4KN2 w - - 0 1", Normal},
        {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", Normal},
    };
    for (const Case& c : cases) {
        BoardGame t;
        const Position& p = t.setBoard(c.fen);
        EXPECT_EQ(p.whiteStatus, c.status) << c.fen;
        EXPECT_EQ(p.blackStatus, c.status) << c.fen;
        EXPECT_EQ(t.status(), c.status) << c.fen;
    }
}

// A lone knight or bishop is valued just below the other side, which gains
// a pawn's worth when it has more than its king and a pawn, rook or queen.
TEST(Status, LoneMinorAdjustment) {
    struct Case {
        const char* fen;
        bool middlegameValues;
        int white, black;
    };
    const Case cases[] = {
        {"4k3/3pp3/8/8/8/8/8/4KN2 w - - 0 1", true, 21750, 23000},
        {"4k3/3pp3/8/8/8/8/8/4KN2 w - - 0 1", false, 21800, 23050},
        {"4k3/4p3/8/8/8/8/8/4KN2 w - - 0 1", false, 20775, 21025},
        {"4k3/4p3/8/8/8/8/8/4KB2 w - - 0 1", true, 20750, 21000},
        {"4k3/8/8/8/8/8/8/4KB2 w - - 0 1", true, 19750, 20000},
        {"4kr2/4p3/8/8/8/8/8/4KB2 w - - 0 1", true, 23175, 26500},  // not above Black
        {"4kn2/8/8/8/8/8/3PP3/4K3 b - - 0 1", true, 23000, 21750},
        {"4kb2/8/8/8/8/8/8/4KN2 w - - 0 1", true, 23125, 22875},  // Black's rule
        {"4kn2/8/8/8/8/8/8/4KB2 w - - 0 1", true, 22875, 23125},  // White's rule
    };
    for (const Case& c : cases) {
        BoardGame t;
        Position p;
        setupPosition(p, c.fen, t->keys, t.setupText);
        ASSERT_NE(t.setupText, startPositionText) << c.fen;
        // The counts a record holds before its generation choose the values.
        p.whiteMaterialCount = p.blackMaterialCount = c.middlegameValues ? 59 : 0;
        MoveList moves;
        ASSERT_EQ(generateMoves(p, moves, Generation::Full, t.rules), 1);
        EXPECT_EQ(p.whiteMaterialValue, c.white) << c.fen;
        EXPECT_EQ(p.blackMaterialValue, c.black) << c.fen;
    }
}

// The clock reaching 100 draws, even with the side to move in check, but
// not when it is mated: checkmate comes first.
TEST(Status, FiftyMoveRule) {
    BoardGame t;
    t.setBoard("4k3/8/8/8/8/8/8/R3K3 w - - 98 80");
    ASSERT_TRUE(t.play("a1a8"));
    EXPECT_EQ(t.position().blackStatus, InCheck);
    EXPECT_EQ(t.position().whiteStatus, Normal);
    ASSERT_TRUE(t.play("e8e7"));
    EXPECT_EQ(t.position().halfmoveClock, 100);
    EXPECT_EQ(t.status(), DrawFiftyMoves);

    // A check on the hundredth half-move draws; a mate wins.
    struct Case {
        const char *fen, *move;
        int status;
    };
    const Case lastMoves[] = {
        {"4k3/8/8/8/8/8/8/R3K3 w - - 99 80", "a1a8", DrawFiftyMoves},
        {"7k/8/6K1/8/8/8/8/R7 w - - 99 80", "a1a8", Checkmate},
        {"r7/8/8/8/8/6k1/8/7K b - - 99 80", "a8a1", Checkmate},
    };
    for (const Case& c : lastMoves) {
        t.setBoard(c.fen);
        ASSERT_TRUE(t.play(c.move)) << c.fen;
        EXPECT_EQ(t.position().whiteStatus, c.status) << c.fen;
        EXPECT_EQ(t.position().blackStatus, c.status) << c.fen;
    }

    // Playing on after the draw never winds the clock back below 100. Set-up
    // reads no count above 100, so the clock is wound on by hand.
    t.setBoard("4k3/8/8/8/8/8/8/R3K3 w - - 100 80");
    t.position().halfmoveClock = 126;
    ASSERT_TRUE(t.playAll({"a1a2", "e8e7", "a2a1", "e7e8"}));
    EXPECT_EQ(t.position().halfmoveClock, 127);
    EXPECT_EQ(t.status(), DrawFiftyMoves);

    t.setBoard("4k3/8/8/8/8/8/P7/4K3 w - - 99 80");
    ASSERT_TRUE(t.play("a2a3"));
    EXPECT_EQ(t.status(), Normal);
}

// The third occurrence of a position, same side to move and same castling
// state, is a draw while the repetition test is on.
TEST(Status, ThreefoldRepetition) {
    const std::vector<std::string> shuffle = {"g1f3", "g8f6", "f3g1", "f6g8"};
    BoardGame t;
    t.testRepetitions = true;
    ASSERT_TRUE(t.playAll(shuffle));
    ASSERT_TRUE(t.playAll({"g1f3", "g8f6", "f3g1"}));
    EXPECT_EQ(t.status(), Normal);
    ASSERT_TRUE(t.play("f6g8"));
    EXPECT_EQ(t.status(), DrawRepetition);
    EXPECT_EQ(t.position().whiteStatus, DrawRepetition);
    EXPECT_EQ(t.position().blackStatus, DrawRepetition);

    // With the test off the same position is an ordinary one.
    t.testRepetitions = false;
    MoveList moves;
    generateMoves(t.position(), moves, Generation::Full, t.rules);
    EXPECT_EQ(t.position().status(), Normal);
}

TEST(Status, RepetitionNeedsTheSameCastlingState) {
    BoardGame t;
    t.testRepetitions = true;
    t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    const std::vector<std::string> kings = {"e1f1", "e8f8", "f1e1", "f8e8"};
    ASSERT_TRUE(t.playAll(kings));
    ASSERT_TRUE(t.playAll(kings));
    EXPECT_EQ(t.status(), Normal);  // twice without the rights, once with them
    ASSERT_TRUE(t.playAll(kings));
    EXPECT_EQ(t.status(), DrawRepetition);

    // Right after a set-up there is nothing to repeat.
    t.setBoard("r3k2r/8/8/8/8/8/8/R3K2R w - - 60 80");
    EXPECT_FALSE(isRepetition(t.position(), t.line.data(), t.ply));
    EXPECT_EQ(t.status(), Normal);
}

}  // namespace
