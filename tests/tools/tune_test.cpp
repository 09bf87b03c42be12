// The table tuner: the split of the evaluation it learns from, and a fit
// that finds a table from positions labelled by that very table.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "book_pgn.h"
#include "tables_builder.h"
#include "test_engine.h"
#include "tune_engine.h"
#include "tune_fit.h"
#include "tune_writer.h"

namespace {

TuneSet quietPositions(const PieceSquareTables& tables, const std::string& pgn) {
    std::istringstream in(pgn);
    const std::vector<GameRecord> games = readPgnGames(in, "game.pgn");
    TunePositionSource source(tables);
    QuietPositionRules rules;
    rules.skipPlies = 0;
    TuneSet set;
    for (const GameRecord& game : games) source.addGame(game, 1.0f, 0, rules, set);
    return set;
}

// The part of the score the tables do not give is the same whatever the
// tables hold: with none it is the whole evaluation, so a wrong sign or
// entry for either colour shows up as a difference.
TEST(TuneEngine, TheScoreWithoutTablesDoesNotDependOnThem) {
    const std::string game = "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 5. d3 d6 6. Kh1 O-O 1-0\n";
    auto none = std::make_unique<PieceSquareTables>();
    auto ours = std::make_unique<PieceSquareTables>();
    TableSource source;
    std::ifstream in(VORTELAN_DATA_SOURCE_DIR "/tables.txt");
    std::string error;
    ASSERT_TRUE(readTableSource(in, "tables.txt", source, error)) << error;
    buildTables(source, *ours);

    const TuneSet plain = quietPositions(*none, game);
    const TuneSet tuned = quietPositions(*ours, game);
    ASSERT_EQ(plain.samples.size(), 13u);
    ASSERT_EQ(tuned.samples.size(), plain.samples.size());
    for (std::size_t i = 0; i < plain.samples.size(); ++i) EXPECT_EQ(tuned.samples[i].base, plain.samples[i].base) << i;
    EXPECT_EQ(tuned.entries, plain.entries);
}

// The positions written out for a stronger engine to label come back, read
// from their moves, as the very samples the game gave: castling and an en
// passant capture included, and the label put in place of the result.
TEST(TuneEngine, WrittenPositionsReadBackAsTheSameSamples) {
    const std::string pgn = "1. e4 Nf6 2. e5 d5 3. exd6 exd6 4. Nf3 Be7 5. Bc4 O-O 6. O-O Nc6 7. d3 Bg4 1-0\n";
    std::istringstream in(pgn);
    const std::vector<GameRecord> games = readPgnGames(in, "game.pgn");
    auto tables = std::make_unique<PieceSquareTables>();
    TunePositionSource source(*tables);
    QuietPositionRules rules;
    rules.skipPlies = 0;
    TuneSet fromGame;
    std::ostringstream written;
    source.addGame(games.at(0), 1.0f, 7, rules, fromGame, &written);
    ASSERT_GE(fromGame.samples.size(), 8u);

    TuneSet fromLines;
    std::istringstream lines(written.str());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        int game = 0;
        words >> game;
        std::vector<std::string> moves;
        for (std::string move; words >> move;) moves.push_back(move);
        EXPECT_TRUE(source.addPosition(moves, 0.25f, game, rules, fromLines)) << line;
    }
    ASSERT_EQ(fromLines.samples.size(), fromGame.samples.size());
    for (std::size_t i = 0; i < fromGame.samples.size(); ++i) {
        EXPECT_EQ(fromLines.samples[i].base, fromGame.samples[i].base) << i;
        EXPECT_EQ(fromLines.samples[i].game, 7) << i;
        EXPECT_EQ(fromLines.samples[i].result, 0.25f) << i;
    }
    EXPECT_EQ(fromLines.entries, fromGame.entries);
}

// Positions with a White knight, a Black one or both (with both alone, a
// constant added to the table would cancel out), labelled with the result the
// knight table below predicts: the fit, started from an empty table, must
// find it again, and lower the error with every pass.
TEST(TuneFit, RecoversTheTableThatLabelledThePositions) {
    auto truth = std::make_unique<TableSource>();
    truth->scale = 2;
    truth->endgameCount = 12;
    truth->openingCount = 26;
    for (Square s = 0; s < 64; ++s) truth->base[KNIGHT][0][s] = 3 * fileOf(s) - 2 * rankOf(s) - 5;
    auto truthTables = std::make_unique<PieceSquareTables>();
    buildTables(*truth, *truthTables);

    const double slope = 0.002;
    TuneSet set;
    Position position;
    position.pieceCount = 32;
    position.whiteKingSquare = sq("g1");
    position.blackKingSquare = sq("g8");
    uint32_t seed = 17;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % range;
    };
    for (int i = 0; i < 3000; ++i) {
        const Square white = static_cast<Square>(next(64));
        const Square black = static_cast<Square>(next(64));
        const std::size_t w = PieceSquareTables::advancedIndex(position, KNIGHT, true, white);
        const std::size_t b = PieceSquareTables::advancedIndex(position, KNIGHT, false, black);
        const int base = static_cast<int>(next(3001)) - 1500;
        int score = base;
        std::vector<uint32_t> entries;
        if (i % 3 != 1) {
            score += truthTables->advanced[w];
            entries.push_back(static_cast<uint32_t>(2 * w));
        }
        if (i % 3 != 2) {
            score -= truthTables->advanced[b];
            entries.push_back(static_cast<uint32_t>(2 * b + 1));
        }
        set.add(base, static_cast<float>(expectedResult(slope, score)), i, entries);
    }

    TableSource fitted = *truth;
    for (int& value : fitted.base[KNIGHT][0]) value = 0;
    FitOptions options;
    options.holdOutEvery = 0;
    options.fitBlendAndScale = false;
    const FitReport report = fitTables(set, fitted, options);

    EXPECT_NEAR(report.slope, slope, slope / 20);
    for (Square s = 0; s < 64; ++s) EXPECT_NEAR(fitted.base[KNIGHT][0][s], truth->base[KNIGHT][0][s], 1) << int(s);
    ASSERT_GE(report.passErrors.size(), 2u);
    EXPECT_LT(report.passErrors[0], report.errorBefore);
    for (std::size_t i = 1; i < report.passErrors.size(); ++i)
        EXPECT_LE(report.passErrors[i], report.passErrors[i - 1]);
    EXPECT_LT(report.errorAfter, report.errorBefore / 10);

    // A table off by the same amount on every square is put right by its
    // level alone, which pays no prior: squares that pay dearly for every
    // unit they stray cannot do it one by one.
    TableSource shifted = *truth;
    for (int& value : shifted.base[KNIGHT][0]) value -= 10;
    options.prior = 1;
    options.firstStep = 2;  // the shift is a multiple of it: fewer passes
    fitTables(set, shifted, options);
    for (Square s = 0; s < 64; ++s) EXPECT_EQ(shifted.base[KNIGHT][0][s], truth->base[KNIGHT][0][s]) << int(s);

    // What the tuner writes reads back as the same source.
    std::stringstream text;
    writeTableSource(text, fitted, "a test");
    TableSource reread;
    std::string error;
    ASSERT_TRUE(readTableSource(text, "tuned.txt", reread, error)) << error;
    EXPECT_EQ(reread.scale, fitted.scale);
    for (Square s = 0; s < 64; ++s) EXPECT_EQ(reread.base[KNIGHT][0][s], fitted.base[KNIGHT][0][s]);
}

}  // namespace
