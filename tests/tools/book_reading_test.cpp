// The book tool's readers and replay: PGN and coordinate sources turned into
// book-code lines, with the engine's rules deciding what is legal.
#include <gtest/gtest.h>

#include <sstream>

#include "book_code.h"
#include "book_coordinates.h"
#include "book_pgn.h"
#include "book_replay.h"

namespace {

struct Replay {
    Rules rules;
    std::ostringstream messages;
    GameReplayer replayer{rules, messages};

    std::vector<std::string> pgn(const std::string& text, int plies = 16) {
        std::istringstream in(text);
        std::vector<std::string> lines;
        for (const GameRecord& game : readPgnGames(in, "sample.pgn")) lines.push_back(replayer.replay(game, plies));
        return lines;
    }

    std::vector<std::string> coordinates(const std::string& text, int plies = 16) {
        std::istringstream in(text);
        std::vector<std::string> lines;
        for (const GameRecord& game : readCoordinateGames(in, "lines.txt"))
            lines.push_back(replayer.replay(game, plies));
        return lines;
    }
};

TEST(BookPgn, KeepsOnlyTheMainLineMoves) {
    const std::string text =
        "[Event \"Club game\"]\n"
        "[White \"A\"] [Black \"B\"]\n"
        "\n"
        "% an escape line: 1. h4\n"
        "1. e4 {best by test (1. d4)} e5 ; the reply\n"
        "2. Nf3! (2. f4 exf4 (2... d5) 3. Nf3) 2... Nc6 $1 3.Bb5 a6!? 4. Ba4 1/2-1/2\n"
        "\n"
        "[Event \"Second\"] [Termination \"time forfeit\"]\n"
        "1. d4 d5 *\n";
    std::istringstream in(text);
    const std::vector<GameRecord> games = readPgnGames(in, "sample.pgn");
    ASSERT_EQ(games.size(), 2u);
    std::vector<std::string> moves;
    for (const MoveText& m : games[0].moves) moves.push_back(m.text);
    EXPECT_EQ(moves, (std::vector<std::string>{"e4", "e5", "Nf3!", "Nc6", "Bb5", "a6!?", "Ba4"}));
    EXPECT_EQ(games[0].moves[0].line, 5);
    EXPECT_EQ(games[0].moves[2].line, 6);
    EXPECT_EQ(games[1].moves.size(), 2u);
    EXPECT_EQ(games[1].moves[0].line, 9);
    EXPECT_EQ(games[0].result, "1/2-1/2");
    EXPECT_EQ(games[1].result, "*");
    EXPECT_EQ(games[1].termination, "time forfeit");
}

TEST(BookPgn, TagsStartANewGameEvenWithoutAResult) {
    std::istringstream in("[Event \"a\"]\n[Result \"1-0\"]\n1. e4 e5\n[Event \"b\"]\n1. c4 e5 0-1\n1. Nf3 d5\n");
    const std::vector<GameRecord> games = readPgnGames(in, "x.pgn");
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].moves[0].text, "e4");
    EXPECT_EQ(games[1].moves[0].text, "c4");
    EXPECT_EQ(games[2].moves[0].text, "Nf3");
    // The result ending the moves, else the tag; each game keeps its own.
    EXPECT_EQ(games[0].result, "1-0");
    EXPECT_EQ(games[1].result, "0-1");
    EXPECT_EQ(games[2].result, "");

    // A variation left open ends at the next tag line.
    std::istringstream open("[Event \"a\"]\n1. e4 (1. d4 d5\n[Event \"b\"]\n1. c4 *\n");
    const std::vector<GameRecord> two = readPgnGames(open, "x.pgn");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].moves.size(), 1u);
    EXPECT_EQ(two[1].moves[0].text, "c4");
}

TEST(BookPgn, GamesFromASetUpPositionAreSkipped) {
    Replay r;
    const auto lines = r.pgn(
        "[FEN \"8/8/8/4k3/8/8/4P3/4K3 w - - 0 1\"]\n1. e4 Kd6 *\n"
        "[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\"]\n1. e4 e5 *\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"", code("e2e4 e7e5")}));
    EXPECT_NE(r.messages.str().find("sample.pgn:1: the game starts from a set-up position"), std::string::npos);
}

TEST(BookReplay, ReadsEveryKindOfSanMove) {
    Replay r;
    const auto lines = r.pgn(
        // Both castlings, a check mark, zeros for castling.
        "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O d6 5. d3 Bg4 6. Nc3 Qd7 7. Be3 0-0-0+ *\n"
        // File disambiguation, en passant with its suffix.
        "1. Nf3 Nf6 2. d3 d5 3. Nbd2 e5 4. e4 d4 5. c4 dxc3 e.p. *\n"
        // A capture that promotes, written both ways.
        "1. e4 d5 2. exd5 c6 3. dxc6 Nf6 4. cxb7 Nbd7 5. bxa8=Q# *\n"
        "1. e4 d5 2. exd5 c6 3. dxc6 Nf6 4. cxb7 Nbd7 5. bxa8Q *\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], code("e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1 d7d6 d2d3 c8g4 b1c3 d8d7 c1e3 e8c8"));
    EXPECT_EQ(lines[1], code("g1f3 g8f6 d2d3 d7d5 b1d2 e7e5 e2e4 d5d4 c2c4 d4c3"));
    EXPECT_EQ(lines[2], code("e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7 b7a8"));
    EXPECT_EQ(lines[3], lines[2]);
    EXPECT_EQ(r.messages.str(), "");
}

TEST(BookReplay, ABadMoveStopsTheGameAndNamesFileLineAndMove) {
    Replay r;
    const auto lines = r.pgn(
        "1. e4 e5\n2. Nf3 Nf6 3. Nd2 *\n"                             // not legal
        "1. Nf3 Nf6 2. d3 d5 3. Nd2 *\n"                              // two knights can go
        "1. e4 d5 2. exd5 c6 3. dxc6 Nf6 4. cxb7 Nbd7 5. bxa8=N *\n"  // the book promotes to a queen only
        "1. e4 Zz9 *\n"                                               // not a move at all
        "1. d4 d5 *\n");                                              // the next game still counts
    EXPECT_EQ(lines, (std::vector<std::string>{code("e2e4 e7e5 g1f3 g8f6"), code("g1f3 g8f6 d2d3 d7d5"),
                                               code("e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7"), code("e2e4"),
                                               code("d2d4 d7d5")}));
    const std::string m = r.messages.str();
    EXPECT_NE(m.find("sample.pgn:2: move 'Nd2' is not legal here; the game stops after 4 plies"), std::string::npos);
    EXPECT_NE(m.find("sample.pgn:3: move 'Nd2' is ambiguous"), std::string::npos);
    EXPECT_NE(m.find("sample.pgn:4: move 'bxa8=N' promotes to a piece other than a queen"), std::string::npos);
    EXPECT_NE(m.find("sample.pgn:5: move 'Zz9' cannot be read"), std::string::npos);
    EXPECT_EQ(r.replayer.stoppedGames(), 4);
}

TEST(BookReplay, KeepsOnlyThePliesAsked) {
    Replay r;
    EXPECT_EQ(r.pgn("1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *", 3)[0], code("e2e4 e7e5 g1f3"));
    // Moves past the limit are not even looked at.
    EXPECT_EQ(r.pgn("1. e4 e5 2. Ke3 *", 2)[0], code("e2e4 e7e5"));
    EXPECT_EQ(r.messages.str(), "");
}

TEST(BookCoordinates, OneGamePerLineWithComments) {
    Replay r;
    const auto lines = r.coordinates(
        "# our main lines\n"
        "e2e4 e7e5 g1f3   # the king's knight\n"
        "\n"
        "d2d4 d7d5 e1e3\n"
        "e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7 b7a8q\n"
        "e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7 b7a8r\n"
        "e2e4q\n");
    EXPECT_EQ(lines, (std::vector<std::string>{code("e2e4 e7e5 g1f3"), code("d2d4 d7d5"),
                                               code("e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7 b7a8"),
                                               code("e2e4 d7d5 e4d5 c7c6 d5c6 g8f6 c6b7 b8d7"), ""}));
    const std::string m = r.messages.str();
    EXPECT_NE(m.find("lines.txt:4: move 'e1e3' is not legal here"), std::string::npos);
    EXPECT_NE(m.find("lines.txt:6: move 'b7a8r' promotes"), std::string::npos);
    EXPECT_NE(m.find("lines.txt:7: move 'e2e4q' is not legal here"), std::string::npos);
}

}  // namespace
