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
    HashEntry entry;
    EXPECT_FALSE(t.search().tableMove(t.position(), entry));
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

// The slot comes from every bit of the key: after a search, the occupied
// slots of a table of any size show every bit of the index both set and
// clear (the keys themselves leave four bits clear).
TEST(HashTable, EverySlotCanBeReached) {
    TestEngine t;
    ASSERT_TRUE(t->setHashMegabytes(1));
    const std::size_t entries = t->table.entries();
    ASSERT_EQ(entries, (std::size_t{1} << 20) / 24);
    t.setBoard("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    t.think(5);
    std::size_t someSet = 0, someClear = 0, used = 0;
    for (std::size_t slot = 0; slot < entries; ++slot) {
        if (!t->table.occupied(slot)) continue;
        ++used;
        someSet |= slot;
        someClear |= ~slot;
    }
    ASSERT_GT(used, 1000u);
    for (std::size_t bit = 1; bit < entries; bit <<= 1) {
        EXPECT_NE(someSet & bit, 0u) << "index bit " << bit << " never set";
        EXPECT_NE(someClear & bit, 0u) << "index bit " << bit << " never clear";
    }
}

}  // namespace
