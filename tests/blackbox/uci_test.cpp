// The program as UCI hosts drive it: the handshake, positions with every
// kind of move, each kind of "go", "isready" and "stop" during a search,
// "quit" and the end of input. Info lines are read the way hosts read them,
// and every move the engine names is checked against the rules.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "engine_session.h"
#include "test_engine.h"

namespace {

using Lines = std::vector<std::string>;

// "info depth 4 score cp 21 time 3 nodes 900 nps 300000 pv e2e4 e7e5":
// whole numbers by name, the score's kind, and the pv last.
struct Info {
    std::map<std::string, long long> values;
    std::string scoreKind;
    Lines pv;
    bool has(const char* name) const { return values.count(name) != 0; }
};

bool parseInfo(const std::string& line, Info& info) {
    std::istringstream in(line);
    std::string name, value;
    if (!(in >> name) || name != "info") return false;
    while (in >> name && name != "pv") {
        if (name == "score" && !(in >> info.scoreKind && (info.scoreKind == "cp" || info.scoreKind == "mate")))
            return false;
        if (!(in >> value) || !isWholeNumber(value)) return false;
        info.values[name] = std::stoll(value);
    }
    for (std::string move; in >> move;) info.pv.push_back(move);
    return !info.pv.empty() && info.has("depth") && info.has("time") && info.has("nodes") && info.has("nps");
}

struct Reply {
    std::vector<Info> infos;
    std::string bestmove;  // "" when none came in time
    std::string ponder;    // the reply expected, if any
    Lines otherLines;
    long long milliseconds = 0;
};

Reply awaitBestMove(EngineSession& session, int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    Reply reply;
    for (const std::string& line : session.linesUntil("bestmove ", timeoutMs)) {
        Info info;
        if (line.rfind("bestmove ", 0) == 0) {
            std::istringstream words(line.substr(9));
            std::string ponder;
            words >> reply.bestmove >> ponder >> reply.ponder;
        } else if (parseInfo(line, info))
            reply.infos.push_back(info);
        else
            reply.otherLines.push_back(line);
    }
    reply.milliseconds = millisecondsSince(start);
    return reply;
}

// What the engine says before it answers "isready".
Lines answerBeforeReady(EngineSession& session) {
    session.send("isready");
    Lines lines = session.linesUntil("readyok", 5000);
    EXPECT_TRUE(!lines.empty() && lines.back() == "readyok") << "no readyok";
    if (!lines.empty()) lines.pop_back();
    return lines;
}

// A session that has had its "uci" answered.
struct UciSession : EngineSession {
    explicit UciSession(const std::string& folder = "") : EngineSession("uci", folder) {
        EXPECT_TRUE(ready());
        EXPECT_EQ(linesUntil("uciok", 5000).back(), "uciok");
    }
};

// The game a "position" line describes, played by the same rules in-process
// up to the first move that is not legal.
void reference(TestEngine& game, const std::string& position) {
    std::istringstream in(position);
    std::string word, fen;
    in >> word >> word;
    if (word == "fen")
        while (in >> word && word != "moves") fen += (fen.empty() ? "" : " ") + word;
    if (!fen.empty()) game.setBoard(fen);
    while (in >> word)
        if (word != "moves" && !game.play(word)) break;
}

// A move the side to move may play: coordinates, and a queen's letter
// exactly when a pawn promotes.
bool isLegalMove(TestEngine& game, const std::string& move) {
    if ((move.size() != 4 && move.size() != 5) || !isSquarePair(move.substr(0, 4))) return false;
    const Square from = sq(move.c_str());
    const bool promotes = isPromotingPawn(game.position().board[from], from);
    return game.isLegal(move.substr(0, 4)) && promotes == (move.size() == 5) && (!promotes || move[4] == 'q');
}

// Every pv is legal move by move, and the best move leads the last best one;
// nothing else is said, or exactly the lines expected.
void expectSoundReply(const std::string& position, const Reply& reply, const Lines& otherLines = {}) {
    TestEngine game;
    reference(game, position);
    EXPECT_EQ(reply.otherLines, otherLines) << position;
    EXPECT_TRUE(isLegalMove(game, reply.bestmove)) << position << ": bestmove " << reply.bestmove;
    if (!reply.ponder.empty() && game.play(reply.bestmove)) {
        EXPECT_TRUE(isLegalMove(game, reply.ponder)) << position << ": ponder " << reply.ponder;
    }
    for (const Info& info : reply.infos) {
        TestEngine line;
        reference(line, position);
        for (const std::string& move : info.pv) ASSERT_TRUE(isLegalMove(line, move) && line.play(move)) << move;
    }
    // The best line is the last one shown first in its iteration.
    for (auto info = reply.infos.rbegin(); info != reply.infos.rend(); ++info) {
        if (info->has("multipv") && info->values.at("multipv") != 1) continue;
        EXPECT_EQ(info->pv.front(), reply.bestmove);
        break;
    }
}

TEST(Uci, HandshakeAndIdleCommands) {
    EngineSession session("uci");
    ASSERT_TRUE(session.ready());
    const Lines identity = {"id name Vortelan 2.73b", "id author the Vortelan developers",
                            "option name Hash type spin default 48 min 1 max 65536",
                            "option name Threads type spin default 1 min 1 max 256",
                            "option name Clear Hash type button",
                            "option name Ponder type check default false",
                            "option name MultiPV type spin default 1 min 1 max 256",
                            "option name OwnBook type check default true",
                            "option name UCI_LimitStrength type check default false",
                            "option name UCI_Elo type spin default 1940 min 1000 max 1940",
                            "option name Skill Level type spin default 20 min 0 max 20", "uciok"};
    EXPECT_EQ(session.linesUntil("uciok", 5000), identity);
    for (const char* line : {"setoption name Hash value 16", "debug on", "stop", "ponderhit", "nonsense", "",
                             "ucinewgame", "position startpos"})
        session.send(line);
    EXPECT_EQ(answerBeforeReady(session), Lines{});
    session.send("uci");
    EXPECT_EQ(answerBeforeReady(session), identity);
}

// Out-of-range and unknown options are answered; three threads sharing a
// small table search a sound move (under the thread sanitizer too).
TEST(Uci, ThreadsAndHashOptions) {
    UciSession session;
    for (const char* line : {"setoption name Threads value 0", "setoption name Hash value x",
                             "setoption name hash value 2", "setoption name Threads value 3",
                             "setoption name Clear Hash", "setoption name Nonsense value 1"})
        session.send(line);
    EXPECT_EQ(answerBeforeReady(session),
              (Lines{"info string Threads 0 is out of range: 1", "info string Hash needs a number, not \"x\"",
                     "info string unknown option Nonsense"}));
    const std::string position = "position startpos moves e2e4";
    session.send(position);
    session.send("go depth 6");
    expectSoundReply(position, awaitBestMove(session, 120000));
}

// Castling, en passant and a knight's promotion each give mate or
// stalemate only when played exactly; an illegal move ends the list, which
// the engine says; a 404-ply game arrives whole, mate included.
TEST(Uci, PositionsArePlayedAsHostsSendThem) {
    std::string longGame = "position startpos moves";
    for (int i = 0; i < 100; ++i) longGame += " g1f3 g8f6 f3g1 f6g8";
    const Lines positions = {
        "position fen 4rkr1/4p1p1/8/8/8/8/8/4K2R w K - 0 1 moves e1g1",
        "position fen k7/2Pp4/1K6/4P3/8/8/8/8 b - - 0 1 moves d7d5 e5d6",
        "position fen 6bb/5Ppk/7p/8/8/8/8/K7 w - - 0 1 moves f7f8n",
        "position fen 6bb/5Ppk/7p/8/8/8/8/K7 w - - 0 1 moves f7f8",
        "position startpos moves f2f3 e7e5 g2g4 d8h4",
        "position startpos moves f2f3 e7e5 g2g4 a1a5 d8h4",
        longGame + " f2f3 e7e5 g2g4 d8h4",
        longGame,
    };
    UciSession session;
    for (const std::string& position : positions) {
        session.send(position);
        session.send("go depth 1");
        const Reply reply = awaitBestMove(session, 20000);
        TestEngine game;
        reference(game, position);
        if (game.legalMoves().empty()) {
            EXPECT_EQ(reply.bestmove, "0000") << position;
            EXPECT_TRUE(reply.infos.empty());
        } else {
            const bool cut = position.find("a1a5") != std::string::npos;
            expectSoundReply(position, reply,
                             cut ? Lines{"info string illegal move: a1a5, the position stops before it"} : Lines{});
        }
    }
}

// "depth" as "sd": iterations from 2 to one past the limit. A position
// drawn by repetition is searched all the same, as hosts play on.
TEST(Uci, DepthLimitedSearches) {
    UciSession session;
    for (const std::string position :
         {"position startpos moves e2e4 c7c5 g1f3 d7d6", "position startpos moves b1c3 b8c6 c3b1 c6b8 b1c3 b8c6 c3b1 c6b8"}) {
        // The depth is the last iteration's: one ply for "go depth 1",
        // though iterations otherwise start at two.
        for (const int depth : {3, 1}) {
            session.send(position);
            session.send("go depth " + std::to_string(depth));
            const Reply reply = awaitBestMove(session, 30000);
            const int first = std::min(depth, 2);
            ASSERT_EQ(reply.infos.size(), static_cast<std::size_t>(depth - first + 1)) << position;
            for (std::size_t i = 0; i < reply.infos.size(); ++i) {
                const Info& info = reply.infos[i];
                EXPECT_EQ(info.values.at("depth"), static_cast<int>(i) + first);
                EXPECT_EQ(info.scoreKind, "cp");
                EXPECT_GT(info.values.at("nodes"), 0);
            }
            expectSoundReply(position, reply);
        }
    }
}

// Mate scores in moves, from the side to move's view.
TEST(Uci, MateScores) {
    UciSession session;
    const struct {
        const char *fen, *score, *move;
    } cases[] = {{"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", "mate 1", "a1a8"},
                 {"7k/4Q3/6K1/8/8/8/8/8 b - - 0 1", "mate -1", "h8g8"}};
    for (const auto& c : cases) {
        session.send(std::string("position fen ") + c.fen);
        session.send("go depth 4");
        const Reply reply = awaitBestMove(session, 20000);
        ASSERT_FALSE(reply.infos.empty());
        const Info& last = reply.infos.back();
        EXPECT_EQ(last.scoreKind + " " + std::to_string(last.values.at("score")), c.score);
        EXPECT_EQ(reply.bestmove, c.move);
    }
}

// The clock of the side to move sets the budget; "movetime" is kept.
TEST(Uci, ClocksAndMoveTime) {
    UciSession session;
    const std::string position = "position startpos moves e2e4 e7e5 g1f3";
    session.send(position);
    // The bounds are far below what a wrong clock gives (20 s and 15 s) and
    // far above what a slow build on a busy machine takes.
    session.send("go wtime 600000 btime 3000 winc 0 binc 0");  // Black's clock is short
    const Reply hurried = awaitBestMove(session, 10000);
    EXPECT_LT(hurried.milliseconds, 5000);
    expectSoundReply(position, hurried);

    session.send("go wtime 3000 btime 600000 movestogo 20");  // half a minute a move for Black
    EXPECT_EQ(awaitBestMove(session, 1500).bestmove, "");
    session.send("stop");
    expectSoundReply(position, awaitBestMove(session, 1000));

    session.send("go movetime 700");
    const Reply timed = awaitBestMove(session, 10000);
    EXPECT_LT(timed.milliseconds, 5000);
    expectSoundReply(position, timed);

    // A forced move keeps within the move time too (not a second).
    session.send("position fen 4k3/ppp5/8/8/8/5n1r/5P1P/6BK w - - 0 1");
    session.send("go movetime 50");
    const Reply forced = awaitBestMove(session, 5000);
    EXPECT_EQ(forced.bestmove, "h1g2");
    EXPECT_TRUE(!tightTimingHolds || forced.milliseconds < 700) << forced.milliseconds << " ms";
}

// "isready" is answered during a search, "stop" ends it with a legal move,
// and a late "stop" is ignored.
TEST(Uci, IsReadyAndStopDuringASearch) {
    UciSession session;
    const std::string position = "position startpos moves d2d4";
    session.send(position);
    session.send("go movetime 60000");
    ASSERT_FALSE(awaitBestMove(session, 1000).infos.empty());
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& line : answerBeforeReady(session)) EXPECT_EQ(line.rfind("info ", 0), 0u) << line;
    EXPECT_LT(millisecondsSince(start), 10000);  // not the 60 s the search would take
    session.send("stop");
    const Reply stopped = awaitBestMove(session, 1000);
    expectSoundReply(position, stopped);
    session.send("stop");
    EXPECT_EQ(answerBeforeReady(session), Lines{});
}

// "infinite" gives no move before "stop", though the mate ends the search.
TEST(Uci, InfiniteWaitsForStop) {
    UciSession session;
    session.send("position fen 6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
    session.send("go infinite");
    const Reply waiting = awaitBestMove(session, 1500);
    EXPECT_EQ(waiting.bestmove, "");
    EXPECT_EQ(answerBeforeReady(session), Lines{});
    session.send("stop");
    EXPECT_EQ(awaitBestMove(session, 1000).bestmove, "a1a8");
}

// "go ponder" answers only after "ponderhit" (then within the clock's
// budget) or "stop" (then at once), and names the reply it expects.
TEST(Uci, PonderWaitsForPonderhitOrStop) {
    UciSession session;
    const std::string position =
        "position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8";
    for (const char* end : {"ponderhit", "stop"}) {
        session.send(position);
        // Two seconds of budget, which a pondering search must not keep to.
        session.send("go ponder wtime 60000 btime 60000");
        EXPECT_EQ(awaitBestMove(session, 2500).bestmove, "") << end;
        session.send(end);
        const Reply reply = awaitBestMove(session, 30000);
        expectSoundReply(position, reply);
        EXPECT_NE(reply.ponder, "") << end;
    }
}

// Several lines: each iteration shows MultiPV lines with distinct first
// moves, best first. "nodes" and "searchmoves" bound the search, and no
// limit outlives its "go".
TEST(Uci, MultiPvNodesAndSearchMoves) {
    UciSession session;
    const std::string position =
        "position fen r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP2BPPP/R2QKB1R w KQ - 0 8";
    session.send("setoption name MultiPV value 3");
    session.send(position);
    session.send("go depth 4");
    const Reply several = awaitBestMove(session, 30000);
    expectSoundReply(position, several);
    ASSERT_EQ(several.infos.size(), 9u);
    for (std::size_t i = 0; i < several.infos.size(); ++i) {
        const Info& info = several.infos[i];
        EXPECT_EQ(info.values.at("depth"), static_cast<long long>(i / 3 + 2));
        EXPECT_EQ(info.values.at("multipv"), static_cast<long long>(i % 3 + 1));
        if (i % 3 == 0) continue;
        const Info& better = several.infos[i - 1];
        EXPECT_GE(better.values.at("score"), info.values.at("score"));
        for (std::size_t j = i - i % 3; j < i; ++j) EXPECT_NE(several.infos[j].pv.front(), info.pv.front());
    }
    EXPECT_EQ(several.bestmove, several.infos[6].pv.front());

    session.send("setoption name MultiPV value 1");
    session.send("go movetime 300");
    awaitBestMove(session, 10000);
    session.send("go nodes 20000");
    const Reply counted = awaitBestMove(session, 30000);
    expectSoundReply(position, counted);
    ASSERT_FALSE(counted.infos.empty());
    EXPECT_LT(counted.infos.back().values.at("nodes"), 40000);

    session.send("go depth 3 searchmoves a2a3 h2h3");
    const Reply chosen = awaitBestMove(session, 30000);
    expectSoundReply(position, chosen);
    EXPECT_TRUE(chosen.bestmove == "a2a3" || chosen.bestmove == "h2h3") << chosen.bestmove;
    for (const Info& info : chosen.infos) EXPECT_TRUE(info.pv.front() == "a2a3" || info.pv.front() == "h2h3");
}

// A weaker level says so at the start of every search and plays legal
// moves; UCI_Elo rules while the strength is limited, the skill level
// otherwise, and full strength says nothing.
TEST(Uci, PlayingLevels) {
    UciSession session;
    const std::string position = "position startpos moves e2e4 e7e5";
    const struct {
        const char* setting;
        const char* said;
    } rows[] = {{"Skill Level value 0", "info string level: Skill Level 0.0,"},
                {"UCI_LimitStrength value true", ""},
                {"UCI_Elo value 1500", "info string level: UCI_Elo 1500,"},
                {"UCI_LimitStrength value false", "info string level: Skill Level 0.0,"},
                {"Skill Level value 20", ""}};
    session.send("setoption name OwnBook value false");
    for (const auto& row : rows) {
        session.send(std::string("setoption name ") + row.setting);
        session.send(position);
        session.send("go wtime 10000 btime 10000");
        const Reply reply = awaitBestMove(session, 30000);
        TestEngine game;
        reference(game, position);
        EXPECT_TRUE(isLegalMove(game, reply.bestmove)) << row.setting << ": " << reply.bestmove;
        const std::string said = reply.otherLines.empty() ? "" : reply.otherLines.front();
        EXPECT_EQ(said.substr(0, std::string(row.said).size()), row.said) << row.setting;
        EXPECT_LE(reply.otherLines.size(), 1u) << row.setting;
    }
}

// A position the engine cannot use is reported, and no move is searched or
// named in the start position that stands in for it.
TEST(Uci, RefusedPositionGetsNoMove) {
    UciSession session;
    for (const char* position : {"position fen 8/8/8/8/8/8/8/8 w - - 0 1",
                                 "position fen 4k3/8/8/8/8/3n4/8/4K3 b - - 0 1 moves e2e4"}) {
        session.send(position);
        session.send("go depth 2");
        const Reply reply = awaitBestMove(session, 10000);
        EXPECT_EQ(reply.bestmove, "0000") << position;
        EXPECT_TRUE(reply.infos.empty()) << position;
        ASSERT_EQ(reply.otherLines.size(), 1u) << position;
        EXPECT_EQ(reply.otherLines[0].rfind("info string ", 0), 0u) << reply.otherLines[0];
    }
    session.send("position startpos moves e2e4");
    session.send("go depth 1");
    expectSoundReply("position startpos moves e2e4", awaitBestMove(session, 10000));
}

// "go infinite" analyses: in a position of the book the engine searches and
// shows its lines rather than naming a book move.
TEST(Uci, InfiniteAnalysesBookPositions) {
    const std::string binary = VORTELAN_BINARY;
    UciSession session(binary.substr(0, binary.rfind('/')));
    session.send("position startpos");
    session.send("go infinite");
    EXPECT_FALSE(awaitBestMove(session, 3000).infos.empty()) << "no analysis of a book position";
    session.send("stop");
    expectSoundReply("position startpos", awaitBestMove(session, 5000));
}

// "quit" and the end of input end the program at once with exit code 0,
// idle or searching, and without a move.
TEST(Uci, QuitAndEndOfInput) {
    for (const bool searching : {false, true}) {
        for (const bool endOfInput : {false, true}) {
            UciSession session;
            if (searching) {
                session.send("go movetime 60000");
                ASSERT_FALSE(awaitBestMove(session, 1000).infos.empty());
            }
            if (endOfInput)
                session.process().closeInput();
            else
                session.send("quit");
            EXPECT_EQ(session.process().waitExit(10000), 0) << searching << endOfInput;
            EXPECT_EQ(awaitBestMove(session, 200).bestmove, "");
        }
    }
}

}  // namespace
