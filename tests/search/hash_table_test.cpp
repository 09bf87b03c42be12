#include <gtest/gtest.h>

#include "test_engine.h"

namespace {

class HashTableTest : public ::testing::Test {
protected:
    TestEngine t;
    Position& p = t.setBoard("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
};

TEST_F(HashTableTest, BoundsAnswerOnlyOnTheirSideOfTheWindow) {
    t.search().storeHash(p, 3, 10, -150, Upper, 0, 0);
    EXPECT_EQ(t.search().probeHash(p, 0, 3, -100, 500), -100);      // at most -150: fails low against -100
    EXPECT_EQ(t.search().probeHash(p, 0, 3, -200, 500), hashMiss);  // could still be above -200

    t.search().storeHash(p, 3, 10, 5000, Lower, sq("f1"), sq("b5"));
    EXPECT_EQ(t.search().probeHash(p, 0, 3, 0, 4000), 4000);
    EXPECT_EQ(t.search().probeHash(p, 0, 3, 0, 6000), hashMiss);

    t.search().storeHash(p, 3, 10, 777, Exact, sq("f1"), sq("b5"));
    EXPECT_EQ(t.search().probeHash(p, 0, 3, -800000, 800000), 777);
}

TEST_F(HashTableTest, AnEntryServesItsDepthAndShallowerOnly) {
    t.search().storeHash(p, 3, 10, 250, Exact, 0, 0);
    EXPECT_EQ(t.search().probeHash(p, 0, 1, -1000, 1000), 250);
    EXPECT_EQ(t.search().probeHash(p, 0, 3, -1000, 1000), 250);
    EXPECT_EQ(t.search().probeHash(p, 0, 4, -1000, 1000), hashMiss);
}

TEST_F(HashTableTest, DrawsMatesAndHorizonResultsAreNeverStored) {
    for (int score : {0, 390000, -390000, 399000}) {
        t.search().storeHash(p, 3, 10, score, Exact, 0, 0);
        EXPECT_EQ(t.search().probeHash(p, 0, 3, -800000, 800000), hashMiss) << score;
    }
    t.search().storeHash(p, 0, 10, 500, Exact, 0, 0);
    EXPECT_EQ(t.search().probeHash(p, 0, 0, -800000, 800000), hashMiss);
    t.search().storeHash(p, 3, 10, 389999, Exact, 0, 0);
    EXPECT_EQ(t.search().probeHash(p, 0, 3, -800000, 800000), 389999);
}

TEST_F(HashTableTest, TheSamePlacementWithTheOtherSideToMoveMisses) {
    t.search().storeHash(p, 3, 10, 250, Exact, 0, 0);
    Position other = p;
    switchSide(other);
    EXPECT_EQ(t.search().probeHash(other, 0, 3, -1000, 1000), hashMiss);
}

TEST_F(HashTableTest, ANewGameForgetsEverything) {
    t.search().storeHash(p, 3, 10, 250, Exact, sq("f1"), sq("b5"));
    t.loop.handleLine("new");
    t.setBoard("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    EXPECT_EQ(t.search().probeHash(t.position(), 0, 3, -1000, 1000), hashMiss);
    EXPECT_EQ(t.search().tableMoveEntry(t.position()), nullptr);
}

TEST_F(HashTableTest, ARepeatedPositionIsAlwaysSearched) {
    TestEngine game;
    game.setBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    for (const char* move : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"})
        ASSERT_TRUE(game.play(move));
    // The search looks back into the game from its root.
    game.search().setRoot(game->game.view());
    const Position& now = game.search().root();
    game.search().storeHash(now, 3, 10, 250, Exact, 0, 0);
    EXPECT_EQ(game.search().probeHash(now, 0, 3, -1000, 1000), hashMiss);
}

}  // namespace
