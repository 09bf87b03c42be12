// The data files the build generates next to the engine: the books read the
// way the engine reads them, and the tables loaded by the engine itself and
// compared with their source.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/stat.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

#include "tables_source.h"
#include "test_engine.h"

namespace {

const std::string dataDir = VORTELAN_GENERATED_DATA_DIR;

// The engine's reading of a book: lines of at most 254 characters (the
// line break included), a last line without a break dropped.
std::vector<std::string> loadBook(const std::string& name) {
    std::vector<std::string> lines;
    std::FILE* file = std::fopen((dataDir + "/" + name).c_str(), "r");
    if (!file) return lines;
    char buffer[256];
    while (std::fgets(buffer, 255, file)) lines.emplace_back(buffer);
    std::fclose(file);
    if (!lines.empty() && lines.back().back() != '\n') lines.pop_back();
    return lines;
}

// The book code of the moves played so far.
std::string gameText(const std::vector<std::pair<Square, Square>>& moves) {
    std::string text;
    for (const auto& m : moves) text += {static_cast<char>('0' + m.first), static_cast<char>('0' + m.second)};
    return text;
}

// The candidate moves the engine would draw from for this game: every line
// but the last that goes on past the game, its next move.
std::set<std::pair<Square, Square>> candidates(const std::vector<std::string>& book, const std::string& game) {
    std::set<std::pair<Square, Square>> out;
    for (std::size_t i = 0; i + 1 < book.size(); ++i) {
        const std::string& line = book[i];
        if (line.size() < game.size() + 2 || line.compare(0, game.size(), game) != 0) continue;
        out.insert({line[game.size()] - '0', line[game.size() + 1] - '0'});
    }
    return out;
}

TEST(GeneratedBooks, EveryLineIsALegalGameTheEngineReadsWhole) {
    TestEngine t;
    for (const char* name : {"blancas.ape", "negras.ape"}) {
        const std::vector<std::string> book = loadBook(name);
        ASSERT_GE(book.size(), 100u) << name;
        EXPECT_LE(book.size(), 50000u) << name;
        for (const std::string& line : book) {
            ASSERT_EQ(line.back(), '\n') << name << ": a line was cut";
            const std::string moves = line.substr(0, line.size() - 1);
            ASSERT_EQ(moves.size() % 2, 0u) << name << ": " << moves;
            t.loop.handleLine("new");
            t.loop.handleLine("force");
            for (std::size_t i = 0; i < moves.size(); i += 2) {
                ASSERT_TRUE(moves[i] >= '0' && moves[i] <= 'o' && moves[i + 1] >= '0' && moves[i + 1] <= 'o');
                ASSERT_TRUE(t.play(squareName(moves[i] - '0') + squareName(moves[i + 1] - '0')))
                    << name << ": " << moves << " at " << i / 2;
            }
        }
    }
}

TEST(GeneratedBooks, AnswerTheStartAndCommonRepliesWithLegalMoves) {
    const std::vector<std::string> white = loadBook("blancas.ape");
    const std::vector<std::string> black = loadBook("negras.ape");
    TestEngine t;
    const std::vector<std::vector<const char*>> games = {
        {},
        {"e2e4"},
        {"d2d4"},
        {"c2c4"},
        {"g1f3"},
        {"e2e4", "e7e5"},
        {"e2e4", "c7c5"},
        {"d2d4", "g8f6"},
        {"e2e4", "e7e5", "g1f3"},
        {"e2e4", "c7c5", "g1f3", "d7d6"},
        // The end of a repertoire line: the deep lines carry it on.
        {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5", "a7a6", "b5a4", "g8f6", "e1g1", "f8e7", "f1e1", "b7b5", "a4b3", "d7d6",
         "c2c3", "e8g8"},
    };
    for (const auto& game : games) {
        t.loop.handleLine("new");
        t.loop.handleLine("force");
        std::vector<std::pair<Square, Square>> played;
        for (const char* move : game) {
            ASSERT_TRUE(t.play(move));
            played.push_back({sq(move), sq(move + 2)});
        }
        const auto& book = played.size() % 2 == 0 ? white : black;
        const auto found = candidates(book, gameText(played));
        EXPECT_FALSE(found.empty()) << "no book move after " << game.size() << " plies";
        MoveList legal;
        generateLegalMoves(t.position(), legal, t->rules);
        for (const auto& move : found) {
            bool isLegal = false;
            for (int i = 0; i < legal.count; ++i) isLegal |= legal.from[i] == move.first && legal.to[i] == move.second;
            EXPECT_TRUE(isLegal) << squareName(move.first) << squareName(move.second);
        }
    }
}

// The engine loads the tables from its working directory.
struct InDataDir {
    std::string previous;
    InDataDir() {
        char buffer[4096];
        if (getcwd(buffer, sizeof buffer)) previous = buffer;
        EXPECT_EQ(chdir(dataDir.c_str()), 0);
    }
    ~InDataDir() { EXPECT_EQ(chdir(previous.c_str()), 0); }
};

TEST(GeneratedTables, TheEngineLoadsThemAndTheyMatchTheSource) {
    struct stat info {};
    ASSERT_EQ(stat((dataDir + "/tablapiezasavanzadas").c_str(), &info), 0);
    EXPECT_EQ(static_cast<std::size_t>(info.st_size), PieceSquareTables::advancedSize);
    ASSERT_EQ(stat((dataDir + "/tablapiezasnormales").c_str(), &info), 0);
    EXPECT_EQ(static_cast<std::size_t>(info.st_size), PieceSquareTables::normalSize);

    TableSource source;
    std::string error;
    std::ifstream in(std::string(VORTELAN_DATA_SOURCE_DIR) + "/tables.txt");
    ASSERT_TRUE(readTableSource(in, "tables.txt", source, error)) << error;
    const auto scaled = [&](double value) { return static_cast<int>(std::lround(value * source.scale)); };

    TestEngine t;
    {
        InDataDir here;
        ASSERT_EQ(t->evaluator.loadPieceSquareTables(), 1);
    }
    // The start position: the opening tables alone, kings in the centre.
    Position& start = t.setBoard("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    EXPECT_EQ(t->evaluator.pieceSquareValue(start, KNIGHT, 1, sq("f3")), scaled(source.base[KNIGHT][0][sq("f3")]));
    EXPECT_EQ(t->evaluator.pieceSquareValue(start, KNIGHT, 0, sq("f6")), scaled(source.base[KNIGHT][0][sq("f3")]));
    EXPECT_EQ(t->evaluator.squareValue(start, sq("e2")), scaled(source.base[PAWN][0][sq("e2")]));
    EXPECT_EQ(t->evaluator.squareValue(start, sq("e1")), scaled(source.base[KING][0][sq("e1")]));
    EXPECT_NE(t->evaluator.squareValue(start, sq("b1")), 0);

    // Both kings castled short: the g-pawn shelters its king, a White knight
    // on f5 stands on Black's king's wing.
    Position& castled = t.setBoard("rnbq1rk1/pppppppp/8/5N2/8/8/PPPPPPPP/RNBQ1RK1 w - - 0 1");
    EXPECT_EQ(t->evaluator.squareValue(castled, sq("g2")), scaled(source.base[PAWN][0][sq("g2")] + source.shelter[1]));
    EXPECT_EQ(t->evaluator.squareValue(castled, sq("f5")),
              scaled(source.base[KNIGHT][0][sq("f5")] + source.attack[KNIGHT] * source.attackRanks[4] / 100.0));

    // Three pieces left: the endgame tables alone.
    Position& ending = t.setBoard("8/8/4k3/8/8/3K4/4P3/8 w - - 0 1");
    EXPECT_EQ(t->evaluator.squareValue(ending, sq("d3")), scaled(source.base[KING][1][sq("d3")]));
    EXPECT_EQ(t->evaluator.squareValue(ending, sq("e6")), scaled(source.base[KING][1][sq("e3")]));
}

}  // namespace
