#include <gtest/gtest.h>

#include <algorithm>

#include "book_folder.h"
#include "test_engine.h"

namespace {

std::size_t advancedIndex(int square, int count, int row, int white, int blackWing, int whiteWing) {
    return static_cast<std::size_t>(square) * 3456 + count * 108 + row * 18 + white * 9 + 3 * blackWing + whiteWing;
}

// A White knight on e4 with the White king on g1 and the Black king on c8;
// all 32 pieces on the board read the row for 31.
TEST(PieceSquare, AdvancedTableIndex) {
    TestEngine t;
    int8_t* table = t->evaluator.tables.advanced;
    table[advancedIndex(28, 3, 1, 1, 0, 2)] = 77;
    table[advancedIndex(28, 3, 1, 0, 0, 2)] = -5;
    table[advancedIndex(1, 31, 1, 1, 1, 1)] = 42;     // knight b1 in the start position
    table[advancedIndex(63, 31, 3, 0, 1, 1)] = -100;  // rook h8

    const Position& p = t.setBoard("2k5/8/8/8/4N3/8/8/6K1 w - - 0 1");
    ASSERT_EQ(p.pieceCount, 3);
    EXPECT_EQ(t->evaluator.squareValue(p, sq("e4")), 77);
    EXPECT_EQ(t->evaluator.pieceSquareValue(p, KNIGHT, 1, sq("e4")), 77);
    EXPECT_EQ(t->evaluator.pieceSquareValue(p, KNIGHT, 0, sq("e4")), -5);
    EXPECT_EQ(t->evaluator.pieceSquareValue(p, BISHOP, 1, sq("e4")), 0);
    EXPECT_EQ(t->evaluator.squareValue(p, sq("e5")), 0);  // empty

    const Position& start = t.setBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    ASSERT_EQ(start.pieceCount, 32);
    EXPECT_EQ(t->evaluator.squareValue(start, sq("b1")), 42);
    EXPECT_EQ(t->evaluator.squareValue(start, sq("h8")), -100);
}

TEST(PieceSquare, NormalTableIndex) {
    TestEngine t;
    t->evaluator.tables.normal[28 * 384 + 3 * 12 + 1 * 2 + 1] = 33;  // White knight e4, three pieces
    t->evaluator.tables.normal[4 * 384 + 31 * 12 + 5 * 2 + 1] = 11;  // White king e1, all pieces
    t->evaluator.useAdvancedTables = false;
    EXPECT_EQ(t->evaluator.squareValue(t.setBoard("2k5/8/8/8/4N3/8/8/6K1 w - - 0 1"), sq("e4")), 33);
    EXPECT_EQ(
        t->evaluator.squareValue(t.setBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"), sq("e1")), 11);
}

// A table file cut short is reported and not used, not even in part, and a
// FIFO named like a table is never opened: each gets one line on standard
// error, and the tables stay zero.
TEST(PieceSquare, ACutTableOrAFifoIsReportedAndLeftOut) {
    BookFolder folder;
    folder.write(PieceSquareTables::advancedFile, std::string(1000, '\x05'));
    auto tables = std::make_unique<PieceSquareTables>();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(folder.fifoOpenedDuring(PieceSquareTables::normalFile, [&] { EXPECT_EQ(tables->load(), 0); }));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    EXPECT_NE(errors.find(std::string(PieceSquareTables::advancedFile) + ": holds 1000 bytes"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find(std::string(PieceSquareTables::normalFile) + ": "), std::string::npos) << errors;
    EXPECT_EQ(std::count(tables->advanced, tables->advanced + PieceSquareTables::advancedSize, 0),
              static_cast<std::ptrdiff_t>(PieceSquareTables::advancedSize));
}

}  // namespace
