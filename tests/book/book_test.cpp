#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "book_folder.h"
#include "test_engine.h"

namespace {

// An engine constructed in a folder of its own, holding the given books.
class BookTest : public ::testing::Test {
protected:
    void write(const char* name, const std::string& text) { folder_.write(name, text); }
    std::unique_ptr<Engine> engineHere() { return folder_.engineHere(2024u); }

    std::ostringstream out_;
    BookFolder folder_;
};

// Book code: 48 + square. e2e4 "<L", e7e5 "dT", g1f3 "6E", b1c3 "1B".
const std::string e4e5Nf3 = "<LdT6E\n";
const std::string e4e5Nc3 = "<LdT1B\n";

TEST_F(BookTest, MovesAreChosenInProportionToTheLinesThatPlayThem) {
    write("blancas.ape", e4e5Nf3 + e4e5Nc3 + e4e5Nf3 + "<L\n");
    auto engine = engineHere();
    ASSERT_EQ(engine->book.whiteBook.size(), 4u);
    Output output(out_);
    XboardLoop loop(*engine, output);
    loop.handleLine("xboard");
    loop.handleLine("e2e4");
    loop.handleLine("e7e5");
    int knightF3 = 0, knightC3 = 0;
    for (int i = 0; i < 3000; ++i) {
        uint8_t from = 0, to = 0;
        ASSERT_EQ(bookMove(*engine, from, to), 1);
        if (from == sq("g1") && to == sq("f3")) ++knightF3;
        if (from == sq("b1") && to == sq("c3")) ++knightC3;
    }
    EXPECT_EQ(knightF3 + knightC3, 3000);
    EXPECT_NEAR(static_cast<double>(knightF3) / knightC3, 2.0, 0.25);
}

// Engines started a second apart open with different moves, even when the
// bits mixed into the time are the same: a White book of 60 lines of 1. e4
// and 84 of 1. d4 (";K"), as ours. Seeded with the bare time, all eight
// played 1. d4.
TEST_F(BookTest, EnginesStartedASecondApartOpenDifferently) {
    std::string book;
    for (int i = 0; i < 144; ++i) book += i < 60 ? "<L\n" : ";K\n";
    write("blancas.ape", book + "<L\n");
    std::set<int> firstMoves;
    for (uint64_t second = 0; second < 8; ++second) {
        auto engine = folder_.engineHere(mixSeed(1700000040 + second, 0));
        uint8_t from = 0, to = 0;
        ASSERT_EQ(bookMove(*engine, from, to), 1);
        firstMoves.insert(from);
    }
    EXPECT_EQ(firstMoves.size(), 2u);
}

// The list's last line (e2e4 "<L" here) never takes part: the candidates
// are d2d4 ";K" and g1f3 "6E". A draw r picks entry 2 * r / 32767: 32766
// the last candidate, 32767 none.
TEST_F(BookTest, TheLastLineAndTheTopDrawGiveNoMove) {
    write("blancas.ape", ";K\n6E\n<L\n");
    auto engine = engineHere();
    uint8_t from = 0, to = 0;
    std::set<int> chosen;
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(bookMove(*engine, from, to), 1);
        chosen.insert(from);
    }
    EXPECT_EQ(chosen, (std::set<int>{sq("d2"), sq("g1")}));

    const uint32_t drawing32766 = 279246213u, drawing32767 = 1106900357u;
    ASSERT_EQ(Random(drawing32766).next(), 32766);
    ASSERT_EQ(Random(drawing32767).next(), 32767);
    engine->random.seed(drawing32766);
    ASSERT_EQ(bookMove(*engine, from, to), 1);
    EXPECT_EQ(from, sq("g1"));
    engine->random.seed(drawing32767);
    EXPECT_EQ(bookMove(*engine, from, to), 0);

    write("blancas.ape", ";K\n");
    EXPECT_EQ(bookMove(*engineHere(), from, to), 0);
}

TEST_F(BookTest, LoadingCutsLongLinesAndSkipsAnUnfinishedLastLine) {
    const std::string longLine(300, '<');
    write("negras.ape", longLine + "\n" + "<LdT\n" + "<LdT1B");
    auto engine = engineHere();
    ASSERT_EQ(engine->book.blackBook.size(), 3u);
    EXPECT_EQ(engine->book.blackBook[0], std::string(254, '<'));
    EXPECT_EQ(engine->book.blackBook[1], std::string(46, '<') + "\n");
    EXPECT_EQ(engine->book.blackBook[2], "<LdT\n");
    EXPECT_TRUE(engine->book.whiteBook.empty());
}

TEST_F(BookTest, TheBookServesOnlyGamesFromTheStandardStart) {
    write("negras.ape", "<LdT\n<LdT\n<L\n");
    auto engine = engineHere();
    Output output(out_);
    XboardLoop loop(*engine, output);
    loop.handleLine("xboard");
    loop.handleLine("e2e4");
    uint8_t from = 0, to = 0;
    EXPECT_EQ(bookMove(*engine, from, to), 1);
    EXPECT_EQ(from, sq("e7"));
    EXPECT_EQ(to, sq("e5"));

    // The same position set up from other text: the root search does not
    // consult the book, and searches instead.
    loop.handleLine("setboard rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    loop.handleLine("sd 1");
    ThinkRequest request;
    request.limits = engine->clock.limits();
    MoveList moves = engine->game.legalMoves();
    engine->thinker.think(engine->game, moves, request, loop);
    EXPECT_NE(("\n" + out_.str()).find("\n2 "), std::string::npos) << "no thinking line: the book answered";
}

TEST_F(BookTest, AMissTurnsTheBookOffForTheRestOfTheGame) {
    write("blancas.ape", "<LdT6E\n<L\n");
    auto engine = engineHere();
    Output output(out_);
    XboardLoop loop(*engine, output);
    loop.handleLine("xboard");
    loop.handleLine("new");
    loop.handleLine("sd 1");
    loop.handleLine("force");
    loop.handleLine("d2d4");  // out of the book at once
    loop.handleLine("d7d5");
    ThinkRequest request;
    request.limits = engine->clock.limits();
    request.limits.depth = 1;
    MoveList moves = engine->game.legalMoves();
    EXPECT_EQ(engine->thinker.think(engine->game, moves, request, loop).status, Completed);
    EXPECT_FALSE(engine->thinker.memory.bookActive);
}

// A FIFO named like a book is never opened, and a file of no moves is not
// used; each is reported in one line on standard error, which leaves the
// protocol's standard output alone. A missing file passes in silence.
TEST_F(BookTest, AFifoOrAFileOfNoMovesIsReportedAndLeftOut) {
    const char garbage[] = "PK\x03\x04\0\0not a book\n\x7f\x45\n";
    write("negras.ape", std::string(garbage, sizeof garbage - 1));
    std::unique_ptr<Engine> engine;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(folder_.fifoOpenedDuring("blancas.ape", [&] { engine = std::make_unique<Engine>(2024u); }));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(engine->book.whiteBook.empty());
    EXPECT_TRUE(engine->book.blackBook.empty());
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_NE(errors.find("blancas.ape: "), std::string::npos) << errors;
    EXPECT_NE(errors.find("negras.ape: "), std::string::npos) << errors;
}

TEST_F(BookTest, DamagedOrIllegalBookMovesAreNeverPlayed) {
    // "~~" is no square; e2e5 is no legal move.
    write("blancas.ape", "~~\n<T\n<L\n<L\n");
    auto engine = engineHere();
    for (int i = 0; i < 200; ++i) {
        uint8_t from = 0, to = 0;
        ASSERT_EQ(bookMove(*engine, from, to), 1);
        EXPECT_EQ(from, sq("e2"));
        EXPECT_EQ(to, sq("e4"));
    }
}

}  // namespace
