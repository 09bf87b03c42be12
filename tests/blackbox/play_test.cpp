// The engine's play seen from outside: the real program finds mates, takes
// what hangs, announces the end of a game with the exact result line, and
// plays whole games in which every move it prints is legal by the project's
// own rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine_session.h"
#include "test_engine.h"

namespace {

const std::string whiteMates = "1-0 {White mates}";
const std::string blackMates = "0-1 {Black mates}";
const std::string stalemate = "1/2-1/2 {Stalemate}";
const std::string repetition = "1/2-1/2 {Draw by repetition}";

using Lines = std::vector<std::string>;

// The result line that belongs to the game's current position, "" while it
// goes on; the rules code of the project is the judge.
std::string expectedResult(TestEngine& game) {
    switch (game.gameStatus()) {
        case Checkmate: return game.position().sideToMove == BLACK ? whiteMates : blackMates;
        case Stalemate: return stalemate;
        case DrawMaterial: return "1/2-1/2 {material}";
        case DrawRepetition: return repetition;
        case DrawFiftyMoves: return "1/2-1/2 {50 moves rule}";
        default: return "";
    }
}

// Sets up the position in both the program and a local game and lets the
// program move; returns its reply, the local game following it.
EngineReply engineMovesFrom(EngineSession& session, TestEngine& game, const std::string& fen, int timeoutMs = 30000) {
    session.send("setboard " + fen);
    session.send("go");
    game.setBoard(fen);
    EXPECT_EQ(game->game.setupText(), fen) << "not a position: " << fen;
    EngineReply reply = awaitMove(session, timeoutMs);
    EXPECT_TRUE(reply.otherLines.empty()) << fen;
    EXPECT_TRUE(game.play(reply.move)) << fen << ": the engine played \"" << reply.move << "\"";
    return reply;
}

int finalScore(const EngineReply& reply) { return reply.thinking.empty() ? 0 : reply.thinking.back().score; }

// Mate in one for either colour: the mate is found at the first iteration
// (a mate one ply away scores 399000, shown as 39900), the search stops
// there, the move mates, and the result line follows the move.
TEST(Play, MatesInOne) {
    struct Case {
        const char* fen;
        const std::string& result;
    };
    const Case cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", whiteMates},    // back rank
        {"k7/8/1K6/8/8/8/8/6Q1 w - - 0 1", whiteMates},       // queen and king
        {"6rk/6pp/8/6N1/8/8/8/6K1 w - - 0 1", whiteMates},    // smothered
        {"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", blackMates},    // back rank
        {"6q1/8/8/8/8/1k6/8/K7 b - - 0 1", blackMates},       // queen and king
        {"6k1/8/8/8/6n1/8/6PP/6RK b - - 0 1", blackMates},    // smothered
    };
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("sd 4");
    for (const Case& c : cases) {
        TestEngine game;
        const EngineReply reply = engineMovesFrom(session, game, c.fen);
        ASSERT_FALSE(reply.move.empty()) << c.fen;
        EXPECT_EQ(game.gameStatus(), Checkmate) << c.fen << ": " << reply.move;
        ASSERT_EQ(reply.thinking.size(), 1u) << c.fen;
        EXPECT_EQ(reply.thinking[0].depth, 2) << c.fen;
        EXPECT_EQ(reply.thinking[0].score, 39900) << c.fen;
        EXPECT_EQ(reply.thinking[0].move, reply.move) << c.fen;
        EXPECT_EQ(session.quietAnswer(), Lines{c.result}) << c.fen;
        // The game is over: even asked to play, the engine does not search.
        session.send("go");
        EXPECT_EQ(session.quietAnswer(), Lines{}) << c.fen;
    }
}

// Mate in two: the first move scores a mate three plies away (397000, shown
// as 39700) and, whatever the defender answers, the engine mates next move.
TEST(Play, MatesInTwo) {
    struct Case {
        const char* fen;
        const std::string& result;
    };
    const Case cases[] = {
        {"7k/8/8/8/8/8/R7/1R4K1 w - - 0 1", whiteMates},  // two rooks
        {"7k/8/5K2/8/8/8/8/1R6 w - - 0 1", whiteMates},   // rook and king
        {"1r4k1/r7/8/8/8/8/8/7K b - - 0 1", blackMates},  // two rooks
        {"1r6/8/8/8/8/5k2/8/7K b - - 0 1", blackMates},   // rook and king
    };
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("sd 4");
    for (const Case& c : cases) {
        TestEngine game;
        const EngineReply first = engineMovesFrom(session, game, c.fen);
        ASSERT_FALSE(first.move.empty()) << c.fen;
        EXPECT_EQ(finalScore(first), 39700) << c.fen << ": " << first.move;
        EXPECT_EQ(session.quietAnswer(), Lines{}) << c.fen;
        const std::vector<std::string> replies = game.legalMoves();
        ASSERT_FALSE(replies.empty()) << c.fen;
        for (const std::string& defence : replies) {
            session.send(defence);
            TestEngine line;
            line.setBoard(c.fen);
            ASSERT_TRUE(line.play(first.move) && line.play(defence));
            const EngineReply mate = awaitMove(session, 30000);
            EXPECT_TRUE(line.play(mate.move)) << c.fen << " " << first.move << " " << defence << ": " << mate.move;
            EXPECT_EQ(line.gameStatus(), Checkmate) << c.fen << " " << first.move << " " << defence << ": " << mate.move;
            EXPECT_EQ(finalScore(mate), 39900) << c.fen;
            EXPECT_EQ(session.quietAnswer(), Lines{c.result}) << c.fen << " " << defence;
            session.send("remove");  // back to the defender's choice
            EXPECT_EQ(session.quietAnswer(), Lines{}) << c.fen;
        }
    }
}

// A queen left hanging is taken, by either colour.
TEST(Play, TakesAHangingQueen) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("sd 3");
    TestEngine game;
    EXPECT_EQ(engineMovesFrom(session, game, "rnb1kbnr/pppp1ppp/8/4q3/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 0 1").move,
              "f3e5");
    EXPECT_EQ(engineMovesFrom(session, game, "rnbqkb1r/pppppppp/5n2/8/4Q3/8/PPPP1PPP/RNB1KBNR b KQkq - 0 1").move,
              "f6e4");
}

// The end of a game is announced with its exact line whoever ended it: a
// set-up position that is already over, a user's move, the engine's move.
TEST(Play, ResultLines) {
    EngineSession session;
    ASSERT_TRUE(session.ready());

    session.send("setboard k7/2Q5/1K6/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(session.quietAnswer(), Lines{stalemate});
    session.send("setboard R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
    EXPECT_EQ(session.quietAnswer(), Lines{whiteMates});
    session.send("setboard 6k1/8/8/8/8/8/5PPP/r5K1 w - - 0 1");
    EXPECT_EQ(session.quietAnswer(), Lines{blackMates});
    session.send("go");
    EXPECT_EQ(session.quietAnswer(), Lines{});

    session.send("setboard k7/8/1K6/8/8/8/8/2Q5 w - - 0 1");
    session.send("c1c7");
    EXPECT_EQ(session.quietAnswer(), Lines{stalemate});
    session.send("setboard 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    session.send("a1a8");
    EXPECT_EQ(session.quietAnswer(), Lines{whiteMates});
    session.send("setboard r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1");
    session.send("a8a1");
    EXPECT_EQ(session.quietAnswer(), Lines{blackMates});

    // The king's only move takes the checking queen and leaves Black
    // without a move.
    session.send("sd 2");
    TestEngine game;
    EXPECT_EQ(engineMovesFrom(session, game, "k7/P5Q1/8/8/8/8/2q4N/2K5 w - - 0 1").move, "c1c2");
    EXPECT_EQ(session.quietAnswer(), Lines{stalemate});
}

// A position the engine cannot use is refused with the protocol's message;
// the start position that stands in for it is not the GUI's game, so the
// engine neither moves nor analyses until "new" or a usable position.
TEST(Play, RefusedPositionIsNeitherPlayedNorAnalysed) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("sd 2");
    for (const char* fen : {"8/8/8/8/8/8/8/8 w - - 0 1", "8/8/8/3kK3/8/8/8/8 w - - 0 1",
                            "4k3/8/8/8/8/8/8/P3K3 w - - 0 1", "4k3/8/8/8/8/8/8/4Kx2 w - - 0 1"}) {
        session.send(std::string("setboard ") + fen);
        for (const char* line : {"go", "e2e4", "force", "analyze", "undo", "remove", "exit", "white", "go"})
            session.send(line);
        EXPECT_EQ(session.quietAnswer(), (Lines{"tellusererror Illegal position", "Error (no position): e2e4"}))
            << fen;
    }
    TestEngine game;
    engineMovesFrom(session, game, "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    session.send("setboard 8/8/8/8/8/8/8/8 w - - 0 1");
    session.send("new");
    session.send("e2e4");
    TestEngine fresh;
    ASSERT_TRUE(fresh.play("e2e4"));
    const EngineReply reply = awaitMove(session, 30000);
    EXPECT_EQ(reply.otherLines, Lines{"tellusererror Illegal position"});
    EXPECT_TRUE(fresh.play(reply.move)) << reply.move;
}

// Once the engine has searched, the game notices a position that comes
// back a third time: knights going out and back twice after the engine's
// move draw on the eighth user move, not before.
TEST(Play, ThreefoldRepetitionAfterTheEngineHasSearched) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    session.send("sd 2");
    session.send("go");
    TestEngine game;
    const EngineReply reply = awaitMove(session, 30000);
    ASSERT_TRUE(game.play(reply.move)) << reply.move;
    session.send("force");
    EXPECT_EQ(session.quietAnswer(), Lines{});

    // A knight of each side that can go out and come back.
    auto shuttle = [&game](const std::vector<std::pair<std::string, std::string>>& options) {
        for (const auto& option : options)
            if (game.isLegal(option.first + option.second)) return option;
        return options.front();
    };
    const auto black = shuttle({{"g8", "f6"}, {"b8", "c6"}});
    std::vector<std::string> moves = {black.first + black.second};
    ASSERT_TRUE(game.play(moves.back()));
    const auto white = shuttle({{"g1", "f3"}, {"b1", "c3"}});
    moves.push_back(white.first + white.second);
    moves.push_back(black.second + black.first);
    moves.push_back(white.second + white.first);
    const std::vector<std::string> once = moves;
    moves.insert(moves.end(), once.begin(), once.end());
    ASSERT_EQ(moves.size(), 8u);

    for (std::size_t i = 0; i + 1 < moves.size(); ++i) session.send(moves[i]);
    EXPECT_EQ(session.quietAnswer(), Lines{});
    session.send(moves.back());
    EXPECT_EQ(session.quietAnswer(), Lines{repetition});
}

// A whole game of the engine against itself at a small depth: every move it
// prints is legal here, a promotion names its piece, and a result line
// comes exactly when the rules say the game is over, and says why.
TEST(Play, FullGameAgainstItself) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    TestEngine game;
    session.send("new");
    session.send("force");
    session.send("sd 3");
    int plies = 0;
    std::string result;
    while (plies < 150 && result.empty()) {
        session.send("go");
        const EngineReply reply = awaitMove(session, 60000);
        ASSERT_FALSE(reply.move.empty()) << "no move at ply " << plies;
        EXPECT_TRUE(reply.otherLines.empty());
        ASSERT_FALSE(reply.thinking.empty());
        EXPECT_EQ(reply.thinking.back().move, reply.move.substr(0, 4));

        const std::string squares = reply.move.substr(0, 4);
        const Square from = sq(squares.c_str());
        const Square to = sq(squares.c_str() + 2);
        const bool promotes = kindOf(game.position().board[from]) == PAWN && (rankOf(to) == 0 || rankOf(to) == 7);
        EXPECT_EQ(reply.move, promotes ? squares + "q" : squares) << "at ply " << plies;
        ASSERT_TRUE(game.play(reply.move)) << "illegal move " << reply.move << " at ply " << plies;
        ++plies;

        result = expectedResult(game);
        EXPECT_EQ(session.quietAnswer(), result.empty() ? Lines{} : Lines{result}) << "after ply " << plies;
    }
    if (!result.empty()) {
        session.send("go");
        EXPECT_EQ(session.quietAnswer(), Lines{});
    }
}

}  // namespace
