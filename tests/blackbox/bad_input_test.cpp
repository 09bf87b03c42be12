// Bad input as a careless GUI or a hostile user sends it: every case gets
// the answer a GUI needs, or acts as it should, and nothing sent is lost.
// One row a case: the lines sent ("+N" waits N ms first), and what the
// engine says in answer besides its thinking lines, each line given by its
// start.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine_session.h"

namespace {

using Lines = std::vector<std::string>;

struct Case {
    const char* what;
    const char* greeting;  // "xboard" or "uci"
    Lines send;
    Lines answer;
    // A FIFO named like the white book waits in the working folder.
    bool fifoBook = false;
};

const std::string middleGame = "setboard r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";

const std::vector<Case> cases = {
    {"illegal move", "xboard", {"new", "st 0.2", "e2e5"}, {"Illegal move: e2e5"}},
    {"unknown word, silent commands", "xboard", {"foo", "result 1-0 {x}", "accepted setboard", "computer"},
     {"Error (unknown command): foo"}},
    {"move without a position", "xboard", {"setboard 8/8/8/8/8/8/8/8 w - - 0 1", "e2e4"},
     {"tellusererror Illegal position", "Error (no position): e2e4"}},
    {"illegal move in a UCI list", "uci", {"position startpos moves e2e4 e7e5 e1g1"},
     {"info string illegal move: e1g1, the position stops before it"}},
    {"two black kings", "xboard", {"setboard k6k/8/8/8/8/8/2Q5/K6K w - - 0 1", "st 0.1", "go"},
     {"tellusererror Illegal position"}},
    {"two white kings", "xboard", {"setboard 4k3/8/8/8/8/8/r7/K6K b - - 0 1"}, {"tellusererror Illegal position"}},
    {"sixteen pawns", "xboard", {"setboard 4k3/pppppppp/pppppppp/8/8/8/8/4K3 w - - 0 1"},
     {"tellusererror Illegal position"}},
    {"impossible UCI position", "uci", {"position fen k6k/8/8/8/8/8/2Q5/K6K w - - 0 1"},
     {"info string illegal position: "}},
    {"half-move clock past a byte", "xboard", {"setboard 4k3/8/8/8/8/8/3Q4/4K3 w - - 150 100000", "go"},
     {"1/2-1/2 {50 moves rule}"}},
    {"no side to move", "xboard", {"setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"},
     {"tellusererror Illegal position"}},
    {"unknown side to move", "xboard", {"setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1"},
     {"tellusererror Illegal position"}},
    {"placement and side alone", "xboard", {"setboard rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", "e2e4"}, {}},
    {"UCI position without a FEN", "uci", {"position fen"}, {"info string illegal position: "}},
    {"moves to go beyond any number", "uci",
     {"position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5 a7a6 b5a4 g8f6",
      "go wtime 1000 movestogo 9223372036854775807", "stop"},
     {"bestmove "}},
    {"setboard during the engine's search", "xboard",
     {"force", middleGame, "st 3", "go", "+700", "setboard 4k3/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1"}, {}},
    {"undo during the engine's search", "xboard", {"new", "st 3", "e2e4", "+500", "undo", "e2e4", "force"}, {}},
    {"lines during a search wait for the move", "xboard",
     {"new", "st 30", "e2e4", "+300", "ping 7", "sd 1", "?", "d2d4"},
     {"move ", "pong 7", "move "}},
    {"protover 3", "xboard", {"protover 3"},
     {"feature setboard=1", "feature ping=1", "feature myname=\"Vortelan 2.73b\"", "feature analyze=1", "feature memory=1", "feature smp=1", "feature option=\"MultiPV -spin 1 1 256\"", "feature option=\"OwnBook -check 1\"", "feature option=\"Clear Hash -button\"",
      "feature option=\"Skill Level -spin 20 0 20\"", "feature option=\"UCI_LimitStrength -check 0\"",
      "feature option=\"UCI_Elo -spin 1940 1000 1940\"", "feature done=1"}},
    {"a FIFO for a book", "xboard", {"new", "sd 1", "e2e4"}, {"move "}, true},
};

bool isThinking(const std::string& line) {
    ThinkingLine parsed;
    return parseThinkingLine(line, parsed) || line.rfind("info depth", 0) == 0;
}

TEST(BadInput, EveryCaseGetsItsAnswer) {
    for (const Case& c : cases) {
        ScratchDirectory folder;
        const std::string fifo = folder.path() + "/blancas.ape";
        if (c.fifoBook) {
            ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
        }
        const bool uci = std::string(c.greeting) == "uci";
        {
            EngineSession session(c.greeting, folder.path());
            ASSERT_TRUE(session.ready()) << c.what;
            if (uci) session.linesUntil("uciok", 5000);
            for (const std::string& line : c.send) {
                if (line[0] == '+')
                    std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(line.substr(1))));
                else
                    session.send(line);
            }
            // The answer to a probe comes after everything sent before it.
            const std::string probe = uci ? "readyok" : "pong 424242";
            session.send(uci ? "isready" : "ping 424242");
            Lines said = session.linesUntil(probe, 15000);
            EXPECT_TRUE(!said.empty() && said.back() == probe) << c.what << ": no answer to the probe";
            if (!said.empty() && said.back() == probe) said.pop_back();
            Lines answer;
            for (const std::string& line : said)
                if (!isThinking(line)) answer.push_back(line);
            bool matches = answer.size() == c.answer.size();
            for (std::size_t i = 0; matches && i < answer.size(); ++i) matches = answer[i].rfind(c.answer[i], 0) == 0;
            EXPECT_TRUE(matches) << c.what << ": said " << ::testing::PrintToString(answer);
        }
        if (c.fifoBook) std::remove(fifo.c_str());
    }
}

}  // namespace
