// The table tool: its readable source and the values it places in the
// engine's two tables.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "tables_builder.h"
#include "tables_source.h"
#include "test_engine.h"

namespace {

const char* pieceNames[] = {"pawn", "knight", "bishop", "rook", "queen", "king"};

// A complete source: every table zero except the knight's opening table,
// which holds 1..64 in reading order (a8 = 1, h8 = 8, ..., h1 = 64).
std::string sourceText(const std::string& head = "scale 2\nblend 10 20\n") {
    std::string text = head;
    for (const char* piece : pieceNames) {
        for (const char* stage : {"opening", "endgame"}) {
            text += std::string("table ") + piece + " " + stage + "\n";
            const bool numbered = std::string(piece) == "knight" && std::string(stage) == "opening";
            for (int i = 1; i <= 64; ++i) text += (numbered ? std::to_string(i) : "0") + (i % 8 ? " " : "\n");
        }
    }
    return text;
}

bool parse(const std::string& text, TableSource& source, std::string& error) {
    std::istringstream in(text);
    return readTableSource(in, "tables.txt", source, error);
}

TEST(TableSource, TablesAreDrawnWithTheEighthRankFirst) {
    TableSource source;
    std::string error;
    ASSERT_TRUE(parse(sourceText() + "shelter 0 12 6 0 0 0 0 0  # by rank\nattack knight 10\n", source, error))
        << error;
    EXPECT_EQ(source.base[KNIGHT][0][sq("a8")], 1);
    EXPECT_EQ(source.base[KNIGHT][0][sq("h8")], 8);
    EXPECT_EQ(source.base[KNIGHT][0][sq("e4")], 37);
    EXPECT_EQ(source.base[KNIGHT][0][sq("h1")], 64);
    EXPECT_EQ(source.shelter[1], 12);
    EXPECT_EQ(source.attack[KNIGHT], 10);
    EXPECT_EQ(source.scale, 2.0);
    EXPECT_EQ(source.endgameCount, 10);
    EXPECT_EQ(source.openingCount, 20);
}

TEST(TableSource, ErrorsNameTheLine) {
    TableSource source;
    std::string error;
    EXPECT_FALSE(parse("scale 2\nblend 10 20\ntable pawn opening\n0 0 x\n", source, error));
    EXPECT_EQ(error, "tables.txt:4: 'x' is not a number");
    EXPECT_FALSE(parse("scale 2\n\nshelter 1 2 3\nbonus 4\n", source, error));
    EXPECT_EQ(error, "tables.txt:4: 'bonus' is not a number");
    EXPECT_FALSE(parse("scale 2\nstorm 1 2 3 4 5 6 7 1.5\n", source, error));
    EXPECT_EQ(error, "tables.txt:2: '1.5' is not a whole number from -1000 to 1000");
    EXPECT_FALSE(parse("scale 2\nwhatever\n", source, error));
    EXPECT_EQ(error, "tables.txt:2: unknown entry 'whatever'");
    EXPECT_FALSE(parse(sourceText("scale 2\nblend 20 10\n"), source, error));
    EXPECT_NE(error.find("tables.txt:2: blend needs"), std::string::npos);
    std::string noQueenEndgame = sourceText();
    noQueenEndgame.erase(noQueenEndgame.find("table queen endgame"),
                         noQueenEndgame.find("table king opening") - noQueenEndgame.find("table queen endgame"));
    EXPECT_FALSE(parse(noQueenEndgame, source, error));
    EXPECT_NE(error.find("no endgame table for the queen"), std::string::npos);
}

struct Built {
    TableSource source;
    std::unique_ptr<PieceSquareTables> tables = std::make_unique<PieceSquareTables>();
    Position position;

    Built() {
        std::string error;
        parse(sourceText(), source, error);
    }
    // Sets the piece count and the kings' squares the lookups read.
    void place(int pieceCount, const char* whiteKing, const char* blackKing) {
        position.pieceCount = static_cast<uint8_t>(pieceCount);
        position.whiteKingSquare = static_cast<int8_t>(sq(whiteKing));
        position.blackKingSquare = static_cast<int8_t>(sq(blackKing));
    }
    int advanced(int kind, bool white, const char* square) const {
        return tables->advanced[PieceSquareTables::advancedIndex(position, kind, white, sq(square))];
    }
    int normal(int kind, bool white, const char* square) const {
        return tables->normal[PieceSquareTables::normalIndex(position, kind, white, sq(square))];
    }
};

TEST(TableBuilder, FillsEveryEntry) {
    Built b;
    TableSource zero;
    zero.scale = 1;
    zero.endgameCount = 10;
    zero.openingCount = 20;
    std::fill(std::begin(b.tables->advanced), std::end(b.tables->advanced), int8_t{99});
    std::fill(std::begin(b.tables->normal), std::end(b.tables->normal), int8_t{99});
    EXPECT_EQ(buildTables(zero, *b.tables), 0);
    EXPECT_EQ(std::count(std::begin(b.tables->advanced), std::end(b.tables->advanced), 0),
              static_cast<long>(PieceSquareTables::advancedSize));
    EXPECT_EQ(std::count(std::begin(b.tables->normal), std::end(b.tables->normal), 0),
              static_cast<long>(PieceSquareTables::normalSize));
}

TEST(TableBuilder, BlackReadsTheBoardMirroredAndPhasesBlend) {
    Built b;
    buildTables(b.source, *b.tables);
    b.place(32, "e1", "e8");
    EXPECT_EQ(b.advanced(KNIGHT, true, "e4"), 2 * 37);
    EXPECT_EQ(b.advanced(KNIGHT, false, "e5"), 2 * 37);
    EXPECT_EQ(b.normal(KNIGHT, false, "e5"), 2 * 37);
    EXPECT_EQ(b.advanced(KNIGHT, false, "a1"), 2 * 1);
    // Halfway between the blend's counts, half the opening value (the
    // endgame table is zero); at the endgame count, nothing.
    b.place(15, "e1", "e8");
    EXPECT_EQ(b.advanced(KNIGHT, true, "e4"), 37);
    b.place(10, "e1", "e8");
    EXPECT_EQ(b.advanced(KNIGHT, true, "e4"), 0);
}

TEST(TableBuilder, KingWingTermsFollowTheKings) {
    Built b;
    b.source.shelter[1] = 12;
    b.source.storm[4] = 20;
    b.source.attack[ROOK] = 10;
    b.source.attackRanks[6] = 50;
    buildTables(b.source, *b.tables);

    b.place(30, "g1", "c8");
    EXPECT_EQ(b.advanced(PAWN, true, "g2"), 24);   // shelter of the castled king
    EXPECT_EQ(b.normal(PAWN, true, "g2"), 0);      // the normal table has no wing terms
    EXPECT_EQ(b.advanced(PAWN, true, "b5"), 40);   // storm against the other wing
    EXPECT_EQ(b.advanced(PAWN, false, "b7"), 24);  // Black's shelter, mirrored
    EXPECT_EQ(b.advanced(PAWN, false, "g4"), 40);  // Black's storm
    EXPECT_EQ(b.advanced(ROOK, true, "c7"), 10);   // a rook on the seventh, on the enemy king's wing
    EXPECT_EQ(b.advanced(ROOK, true, "e7"), 0);

    b.place(30, "g1", "g8");
    EXPECT_EQ(b.advanced(PAWN, true, "g5"), 0);  // same wing: no storm
    b.place(30, "e1", "e8");
    EXPECT_EQ(b.advanced(PAWN, true, "g2"), 0);  // a king in the centre has no shelter
    b.place(10, "g1", "c8");
    EXPECT_EQ(b.advanced(PAWN, true, "g2"), 0);  // wing terms fade out with the opening
}

TEST(TableBuilder, ValuesBeyondAByteAreClamped) {
    Built b;
    b.source.base[QUEEN][0][sq("d4")] = 100;
    b.source.base[QUEEN][0][sq("d5")] = -100;
    const int clamped = buildTables(b.source, *b.tables);
    b.place(32, "e1", "e8");
    EXPECT_EQ(b.advanced(QUEEN, true, "d4"), 127);
    EXPECT_EQ(b.advanced(QUEEN, true, "d5"), -127);
    EXPECT_GT(clamped, 0);
}

}  // namespace
