// The engine while it thinks, seen from outside: its thinking lines, its
// move lines, and what the lines a GUI sends meanwhile do: "?" asks for the
// move now, "force" and "new" stop it without a move, "quit" and the end of
// input end the program, other lines are dropped; while analysing, a line
// that changes the game stops the analysis and is acted on.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "engine_session.h"
#include "test_engine.h"

namespace {

using Lines = std::vector<std::string>;
using std::chrono::milliseconds;

bool containsMoveLine(const Lines& lines) {
    for (const std::string& line : lines)
        if (line.rfind("move", 0) == 0) return true;
    return false;
}

// A new game in which the engine, Black, is thinking about its answer to
// e2e4 with thirty seconds to spend.
void startLongThink(EngineSession& session) {
    session.send("new");
    session.send("st 30");
    session.send("e2e4");
    ASSERT_TRUE(session.waitForThinking());
}

// One thinking line per iteration, from depth 2 to the depth limit plus one,
// each exactly "depth score time nodes line"; the nodes and the time (in
// centiseconds) only grow, every line is legal move by move, and the last
// one starts with the move played.
TEST(Thinking, OneLinePerIterationAndExactMoveLines) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    TestEngine game;
    std::vector<std::string> played;
    for (const int depthLimit : {3, 1, 4}) {
        session.send("sd " + std::to_string(depthLimit));
        const std::vector<std::string> legal = game.legalMoves();
        session.send(legal[legal.size() / 2]);
        ASSERT_TRUE(game.play(legal[legal.size() / 2]));
        played.push_back(legal[legal.size() / 2]);
        const EngineReply reply = awaitMove(session, 60000);
        EXPECT_TRUE(reply.otherLines.empty());
        ASSERT_EQ(reply.thinking.size(), static_cast<std::size_t>(depthLimit)) << "sd " << depthLimit;
        long long nodes = 0;
        int centiseconds = 0;
        for (std::size_t i = 0; i < reply.thinking.size(); ++i) {
            const ThinkingLine& line = reply.thinking[i];
            EXPECT_EQ(line.depth, static_cast<int>(i) + 2);
            EXPECT_GE(line.nodes, nodes);
            nodes = line.nodes;
            EXPECT_GE(line.centiseconds, centiseconds);
            centiseconds = line.centiseconds;
            TestEngine walk;
            for (const std::string& move : played) walk.play(move);
            for (const std::string& move : line.line) EXPECT_TRUE(walk.play(move)) << move;
            EXPECT_LT(line.score, 38000);
            EXPECT_GT(line.score, -38000);
        }
        EXPECT_GT(nodes, 0);
        ASSERT_EQ(reply.move.size(), 4u);
        EXPECT_EQ(reply.thinking.back().move, reply.move);
        EXPECT_TRUE(game.play(reply.move)) << reply.move;
        played.push_back(reply.move);
        EXPECT_EQ(session.quietAnswer(), Lines{});
    }
}

// A pawn that the engine promotes is announced with the piece it becomes
// (here each promotion mates or wins a rook).
TEST(Thinking, PromotionMoveNamesTheQueen) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("sd 3");
    session.send("setboard 7k/P5pp/8/8/8/8/6PP/K7 w - - 0 1");
    session.send("go");
    EXPECT_EQ(awaitMove(session, 30000).move, "a7a8q");
    session.send("setboard k7/pp6/8/8/8/8/PP5p/K7 b - - 0 1");
    session.send("go");
    EXPECT_EQ(awaitMove(session, 30000).move, "h2h1q");
    // A capture that promotes.
    session.send("setboard 1r5k/P7/8/8/8/8/8/K7 w - - 0 1");
    session.send("go");
    EXPECT_EQ(awaitMove(session, 30000).move, "a7b8q");
}

// "?" while thinking: the best move so far comes at once, and it is legal.
// A "?" already waiting when the search starts stops its first iteration
// before any move has a score: no thinking line shows the window's bound
// as one.
TEST(Thinking, QuestionMarkPlaysAtOnce) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    std::this_thread::sleep_for(milliseconds(300));
    session.send("?");
    const EngineReply reply = awaitMove(session, 30000);
    EXPECT_LT(reply.milliseconds, 5000);  // not the thirty seconds of "st 30"
    TestEngine game;
    ASSERT_TRUE(game.play("e2e4"));
    EXPECT_TRUE(game.play(reply.move)) << reply.move;

    const std::string answer = game.legalMoves().front();
    ASSERT_TRUE(game.play(answer));
    session.send(answer + "\n?");
    const EngineReply early = awaitMove(session, 30000);
    for (const ThinkingLine& line : early.thinking) EXPECT_GT(line.score, -38000);
    EXPECT_TRUE(game.play(early.move)) << early.move;
    EXPECT_EQ(session.quietAnswer(), Lines{});
}

// "force" while thinking: no move, and the engine waits; the user's moves
// for both sides are taken, and "go" then plays from the resulting game.
TEST(Thinking, ForceStopsWithoutAMove) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    const auto start = std::chrono::steady_clock::now();
    session.send("force");
    const Lines stopped = session.quietAnswer();
    EXPECT_LT(millisecondsSince(start), 5000);
    EXPECT_FALSE(containsMoveLine(stopped));
    session.send("d7d5");
    session.send("g1f3");
    EXPECT_EQ(session.quietAnswer(), Lines{});  // the engine plays neither side
    session.send("sd 2");
    session.send("go");
    const EngineReply reply = awaitMove(session, 30000);
    TestEngine game;
    ASSERT_TRUE(game.playAll({"e2e4", "d7d5", "g1f3"}));
    EXPECT_TRUE(game.play(reply.move)) << reply.move;
}

// "new" while thinking: no move; a new game starts in which the engine
// plays Black again.
TEST(Thinking, NewStopsAndStartsAFreshGame) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    session.send("new");
    EXPECT_FALSE(containsMoveLine(session.quietAnswer()));
    session.send("sd 2");
    session.send("d2d4");
    const EngineReply reply = awaitMove(session, 30000);
    TestEngine game;
    ASSERT_TRUE(game.play("d2d4"));
    EXPECT_TRUE(game.play(reply.move)) << reply.move;
}

// "quit" while thinking ends the program at once, cleanly, without a move.
TEST(Thinking, QuitEndsTheProgramAtOnce) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    session.send("quit");
    EXPECT_EQ(session.process().waitExit(10000), 0);
    EXPECT_FALSE(containsMoveLine(session.linesUntil("move", 1000)));
}

// The end of input while thinking ends the program as "quit" does.
TEST(Thinking, EndOfInputEndsTheProgram) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    session.process().closeInput();
    EXPECT_EQ(session.process().waitExit(10000), 0);
    EXPECT_FALSE(containsMoveLine(session.linesUntil("move", 1000)));
}

// Any other line sent while the engine thinks about its own move waits
// for the move and is then acted on, in order: a depth limit holds for the
// next search, a "ping" and a word that is no command are answered.
TEST(Thinking, OtherLinesWaitForTheMove) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startLongThink(session);
    for (const char* line : {"post", "otim 100", "sd 1", "ping 5", "nonsense"}) session.send(line);
    std::this_thread::sleep_for(milliseconds(500));
    session.send("?");
    const EngineReply first = awaitMove(session, 30000);
    TestEngine game;
    ASSERT_TRUE(game.play("e2e4"));
    ASSERT_TRUE(game.play(first.move)) << first.move;
    EXPECT_EQ(session.quietAnswer(), (Lines{"pong 5", "Error (unknown command): nonsense"}));

    // Now one ply deep instead of thirty seconds a move.
    const std::string answer = game.legalMoves().front();
    ASSERT_TRUE(game.play(answer));
    session.send(answer);
    const EngineReply second = awaitMove(session, 20000);
    EXPECT_TRUE(game.play(second.move)) << second.move;
    ASSERT_FALSE(second.thinking.empty());
    EXPECT_EQ(second.thinking.back().depth, 2);
}

// With "hard" the engine thinks on the reply it expects (the second move of
// its line): its thinking goes on after its move and "ping" is answered at
// once. The expected reply carries the search on as the engine's own;
// another one starts a fresh search of the real game.
TEST(Thinking, PondersOnTheExpectedReply) {
    for (const bool expected : {true, false}) {
        EngineSession session;
        ASSERT_TRUE(session.ready());
        for (const char* line : {"new", "hard", "option OwnBook=0", "st 1", "e2e4"}) session.send(line);
        const EngineReply first = awaitMove(session, 20000);
        TestEngine game;
        ASSERT_TRUE(game.play("e2e4") && game.play(first.move)) << first.move;
        ASSERT_FALSE(first.thinking.empty());
        const std::vector<std::string> line = first.thinking.back().line;
        ASSERT_GE(line.size(), 2u);
        ASSERT_TRUE(session.waitForThinking());
        session.send("ping 9");
        const Lines untilPong = session.linesUntil("pong 9", 10000);
        ASSERT_FALSE(untilPong.empty());
        EXPECT_EQ(untilPong.back(), "pong 9");
        std::string reply = line[1];
        if (!expected) {
            for (const std::string& move : game.legalMoves())
                if (move != reply) reply = move;
        }
        ASSERT_TRUE(game.play(reply));
        session.send(reply);
        const EngineReply second = awaitMove(session, 20000);
        EXPECT_TRUE(game.play(second.move)) << second.move;
        bool restarted = false;
        for (const ThinkingLine& thinking : second.thinking) restarted = restarted || thinking.depth == 2;
        EXPECT_EQ(restarted, !expected) << "reply " << reply;
    }
}

// A single legal move is played within a second, not after the move's
// thirty seconds, and the next search has its full time again.
TEST(Thinking, SingleMoveIsPlayedAtOnce) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("st 30");
    // The king's one step is also the only move the side has at all.
    session.send("setboard 4k3/ppp5/8/8/8/5n1r/5P1P/6BK w - - 0 1");
    session.send("go");
    const EngineReply forced = awaitMove(session, 30000);
    EXPECT_EQ(forced.move, "h1g2");
    EXPECT_LT(forced.milliseconds, 2000);

    // Many moves on the board, but after Qh4+ only g2-g3 is legal.
    session.send("setboard rnb1kbnr/pppp1ppp/8/4p3/7q/5P2/PPPPP1PP/RNBQKBNR w KQkq - 1 3");
    session.send("go");
    const EngineReply onlyLegal = awaitMove(session, 30000);
    EXPECT_EQ(onlyLegal.move, "g2g3");
    EXPECT_LT(onlyLegal.milliseconds, 2000);

    session.send("setboard r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    session.send("go");
    const EngineReply normal = awaitMove(session, 2500);
    EXPECT_EQ(normal.move, "");
    session.send("?");
    EXPECT_FALSE(awaitMove(session, 5000).move.empty());

    // A forced move never takes longer than the clock allows: with 0.2 s
    // left it comes at once, not after a second.
    session.send("level 40 0:10 0");
    session.send("setboard 4k3/ppp5/8/8/8/5n1r/5P1P/6BK w - - 0 1");
    session.send("time 20");
    session.send("go");
    const EngineReply hurried = awaitMove(session, 30000);
    EXPECT_EQ(hurried.move, "h1g2");
    EXPECT_TRUE(!tightTimingHolds || hurried.milliseconds < 700) << hurried.milliseconds << " ms";
}

// An analysis past this depth of an opening position spends a tenth of a
// second or more on each iteration: a line sent then arrives during an
// iteration, not just as one ends.
constexpr int settledDepth = 7;

// Reads thinking lines until one of the given depth; false when a line of
// another kind, or none, comes first.
bool analysisReaches(EngineSession& session, int depth) {
    std::string line;
    ThinkingLine parsed;
    while (session.nextLine(line, 20000) && parseThinkingLine(line, parsed))
        if (parsed.depth == depth) return true;
    return false;
}

// Analysis has no time budget: with a clock that would allow no thought at
// all it still goes deeper and deeper, until "exit"; "ping" is answered
// meanwhile.
TEST(Analysis, RunsUntilStopped) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    for (const char* line : {"new", "force", "level 40 0:01 0", "time 1", "analyze"}) session.send(line);
    EXPECT_TRUE(analysisReaches(session, 6));
    session.send("ping 4");
    const Lines untilPong = session.linesUntil("pong 4", 10000);
    EXPECT_TRUE(!untilPong.empty() && untilPong.back() == "pong 4");
    session.send("exit");
    session.quietAnswer();
}

// In analyse mode a user's move sent during the analysis stops it and is
// played into the game, so after "exit" the engine moves in that game.
TEST(Analysis, MoveDuringAnalysisReachesTheGame) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    session.send("force");
    session.send("analyze");
    ASSERT_TRUE(session.waitForThinking());
    const auto start = std::chrono::steady_clock::now();
    session.send("e2e4");
    session.send("exit");
    session.send("sd 2");
    session.send("go");
    const EngineReply reply = awaitMove(session, 30000);
    EXPECT_LT(millisecondsSince(start), 5000);
    TestEngine game;
    ASSERT_TRUE(game.play("e2e4"));
    EXPECT_TRUE(game.play(reply.move)) << reply.move;
}

// Reads thinking lines until one names a move of a Black piece in the game's
// position, which must then be legal there; false when none comes.
bool analysesBlackMoves(EngineSession& session, TestEngine& game) {
    std::string line;
    while (session.nextLine(line, 20000)) {
        ThinkingLine parsed;
        if (!parseThinkingLine(line, parsed)) {
            ADD_FAILURE() << "not a thinking line: " << line;
            return false;
        }
        if (belongsTo(game.position().board[sq(parsed.move.c_str())], BLACK)) {
            EXPECT_TRUE(game.isLegal(parsed.move)) << line;
            return true;
        }
    }
    return false;
}

// "st" fixes the time per move, also when it comes before "new" (as xboard
// sends it) and the clock follows: leaving the book (here: having none)
// does not lengthen it, and the move comes within the second.
TEST(Thinking, FixedTimePerMoveIsKeptOutOfTheBook) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("st 1");
    session.send("new");
    session.send("time 100");
    session.send("e2e4");
    const EngineReply reply = awaitMove(session, 5000);
    EXPECT_FALSE(reply.move.empty());
    EXPECT_TRUE(!tightTimingHolds || reply.milliseconds < 1300) << reply.milliseconds << " ms";
}

// A GUI in analysis mode sends the moves of the game it shows and nothing
// else: the analysis goes on with the position after each move, and the
// analysis that a move stopped says nothing more about the old position.
TEST(Analysis, FollowsTheMovesOfTheGame) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    session.send("force");
    session.send("analyze");
    TestEngine game;
    for (const char* move : {"e2e4", "e7e5", "g1f3", "b8c6"}) {
        ASSERT_TRUE(analysisReaches(session, settledDepth));
        session.send(move);
        ASSERT_TRUE(game.play(move));
        std::string line;
        ThinkingLine parsed;
        ASSERT_TRUE(session.nextLine(line, 20000));
        ASSERT_TRUE(parseThinkingLine(line, parsed)) << line;
        EXPECT_EQ(parsed.depth, 2) << move << ": " << line;
        EXPECT_TRUE(game.isLegal(parsed.move)) << move << ": " << line;
    }
    session.send("exit");
}

// "undo" during an analysis takes effect: the position before the last
// move is analysed next, and the engine moves from it after "exit".
TEST(Analysis, UndoDuringAnalysisTakesEffect) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    session.send("force");
    session.send("e2e4");
    session.send("e7e5");
    session.send("analyze");
    ASSERT_TRUE(session.waitForThinking());
    const auto start = std::chrono::steady_clock::now();
    session.send("undo");
    TestEngine game;
    ASSERT_TRUE(game.play("e2e4"));
    // The lines of the stopped analysis name White's moves; the new
    // analysis, of the position after e2e4, names Black's.
    ASSERT_TRUE(analysesBlackMoves(session, game));
    session.send("exit");
    session.send("sd 2");
    session.send("go");
    const EngineReply reply = awaitMove(session, 30000);
    EXPECT_LT(millisecondsSince(start), 5000);
    EXPECT_TRUE(game.play(reply.move)) << reply.move;
}

// "remove" during an analysis takes two moves back and analyses afresh
// the position it leaves.
TEST(Analysis, RemoveDuringAnalysisAnalysesAfresh) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    session.send("new");
    session.send("force");
    for (const char* move : {"e2e4", "e7e5", "g1f3", "b8c6"}) session.send(move);
    session.send("analyze");
    ASSERT_TRUE(analysisReaches(session, settledDepth));
    session.send("remove");
    TestEngine game;
    ASSERT_TRUE(game.playAll({"e2e4", "e7e5"}));
    for (int depth = 2; depth <= 3; ++depth) {
        std::string line;
        ThinkingLine parsed;
        ASSERT_TRUE(session.nextLine(line, 20000)) << "no analysis after remove";
        ASSERT_TRUE(parseThinkingLine(line, parsed)) << line;
        EXPECT_EQ(parsed.depth, depth) << line;
        EXPECT_TRUE(game.isLegal(parsed.move)) << line;
    }
    session.send("exit");
}

}  // namespace
