// How the program ends, and how it starts in a bare or damaged folder: the
// end of input and "quit" end it at once with exit code 0 whatever it is
// doing, SIGTERM ends it, SIGINT ends it at the console but is ignored once
// a GUI has said "xboard", and missing or unusable data files change nothing
// but its play.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "engine_session.h"
#include "test_engine.h"

namespace {

using Lines = std::vector<std::string>;

std::string describeStatus(int status) {
    if (status == -1) return "still running";
    if (WIFEXITED(status)) return "exit code " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

// A session analysing the start position with a minute to spend.
void startAnalysis(EngineSession& session) {
    session.send("new");
    session.send("force");
    session.send("st 60");
    session.send("analyze");
    ASSERT_TRUE(session.waitForThinking());
}

TEST(Lifecycle, EndOfInputQuitsCleanly) {
    // A last line without a line break is still acted on. The program has
    // only just started, and a sanitizer build takes seconds to set up its
    // tables: this is about how it ends, not how fast (see the next test).
    ChildProcess idle({VORTELAN_BINARY});
    idle.send("xboard\nprotover 2");
    idle.closeInput();
    EXPECT_EQ(idle.waitExit(10000), 0);
    EXPECT_NE(idle.readAll(1000).find("feature done=1\n"), std::string::npos);

    // In the middle of an analysis.
    EngineSession analysing;
    ASSERT_TRUE(analysing.ready());
    startAnalysis(analysing);
    analysing.process().closeInput();
    EXPECT_EQ(analysing.process().waitExit(10000), 0);
}

TEST(Lifecycle, QuitDuringAnAnalysisEndsAtOnce) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    startAnalysis(session);
    // An analysis never ends by itself: an exit within the bound is the
    // "quit", however slow a sanitizer build on a busy machine may be.
    session.send("quit");
    EXPECT_EQ(session.process().waitExit(10000), 0);
}

// A board crowded with queens, where every capture search is enormous: the
// set-up is answered at once, and "quit" ends a search of it, or an
// analysis, as quickly as any other.
TEST(Lifecycle, QuitEndsTheSearchOfACrowdedBoard) {
    for (const char* mode : {"go", "analyze"}) {
        EngineSession session;
        ASSERT_TRUE(session.ready());
        session.send("force");
        session.send("st 60");
        session.send("setboard qqqqq1qk/6qq/8/8/8/8/QQ6/KQQQQQQ1 w - - 0 1");
        EXPECT_EQ(session.quietAnswer(), Lines{});
        session.send(mode);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        session.send("quit");
        // Seconds under the thread sanitizer; minutes when the search does
        // not listen.
        EXPECT_EQ(session.process().waitExit(5000), 0) << mode;
    }
}

// SIGTERM has no handler of the program's own: it ends the program at once,
// idle or thinking, as the signal's default action.
TEST(Lifecycle, TerminateEndsTheProgram) {
    for (const bool thinking : {false, true}) {
        EngineSession session;
        ASSERT_TRUE(session.ready());
        if (thinking) {
            startAnalysis(session);
        } else {
            EXPECT_TRUE(session.quietAnswer().empty());
        }
        session.process().sendSignal(SIGTERM);
        const int status = session.process().waitStatus(1000);
        std::cout << "SIGTERM while " << (thinking ? "thinking" : "idle") << ": " << describeStatus(status) << "\n";
        ASSERT_NE(status, -1) << "the program did not end";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << describeStatus(status);
    }
}

// Before "xboard" Ctrl-C at the console ends the program.
TEST(Lifecycle, InterruptEndsTheProgramAtTheConsole) {
    ChildProcess engine({VORTELAN_BINARY});
    engine.send("protover 2\n");
    ASSERT_TRUE(engine.waitFor("feature done=1\n"));
    engine.sendSignal(SIGINT);
    const int status = engine.waitStatus(1000);
    EXPECT_TRUE(status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << describeStatus(status);
}

// xboard sends SIGINT before commands, also while the engine thinks: the
// engine neither dies nor stops thinking, and moves as it would have.
TEST(Lifecycle, InterruptIsIgnoredUnderXboard) {
    EngineSession session;
    ASSERT_TRUE(session.ready());
    EXPECT_TRUE(session.quietAnswer().empty());
    session.process().sendSignal(SIGINT);
    EXPECT_TRUE(session.quietAnswer().empty());

    session.send("new");
    session.send("st 1");
    session.send("e2e4");
    ASSERT_TRUE(session.waitForThinking());
    for (int i = 0; i < 3; ++i) {
        session.process().sendSignal(SIGINT);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const EngineReply reply = awaitMove(session, 10000);
    TestEngine game;
    ASSERT_TRUE(game.play("e2e4"));
    EXPECT_TRUE(game.play(reply.move)) << reply.move;
    EXPECT_TRUE(session.quietAnswer().empty());
    session.send("quit");
    EXPECT_EQ(session.process().waitExit(10000), 0);
}

// A folder of the program's own for one test.
class Folder {
public:
    Folder() {
        char name[] = "/tmp/vortelan-folder-XXXXXX";
        if (mkdtemp(name)) path_ = name;
    }
    ~Folder() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::string& path() const { return path_; }
    void file(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + "/" + name, std::ios::binary) << bytes;
    }
    void directory(const std::string& name) const { mkdir((path_ + "/" + name).c_str(), 0755); }

private:
    std::string path_;
};

// Plays eight moves of a game in the folder: the banner and the diagram come
// as always, and after them only protocol lines.
void expectNormalPlay(const std::string& folder) {
    ChildProcess engine({VORTELAN_BINARY}, folder);
    const std::string diagramEnd = "  a b c d e f g h\n\n";
    ASSERT_TRUE(engine.waitFor(diagramEnd)) << folder;
    const std::size_t banner = engine.output().find(diagramEnd) + diagramEnd.size();
    engine.send("xboard\nprotover 2\nnew\nsd 2\n");
    TestEngine game;
    for (int move = 0; move < 8; ++move) {
        const Lines legal = game.legalMoves();
        const std::string mine = legal[static_cast<std::size_t>(move * 7) % legal.size()];
        ASSERT_TRUE(game.play(mine));
        engine.send(mine + "\n");
        const std::size_t seen = engine.output().size();
        ASSERT_TRUE(engine.waitFor("move ", 20000)) << folder;
        ASSERT_TRUE(engine.waitFor("\n", 1000));
        const std::string answer = engine.output().substr(engine.output().find("move ", seen) + 5);
        const std::string theirs = answer.substr(0, answer.find('\n'));
        ASSERT_TRUE(game.play(theirs.substr(0, 4))) << folder << ": " << theirs;
        if (game.gameStatus() >= Checkmate) break;
    }
    engine.send("quit\n");
    EXPECT_EQ(engine.waitExit(2000), 0);
    std::istringstream rest(engine.output().substr(banner));
    for (std::string line; std::getline(rest, line);) {
        ThinkingLine thinking;
        EXPECT_TRUE(parseThinkingLine(line, thinking) || isMoveLine(line) || isFeatureLine(line))
            << folder << ": unexpected line \"" << line << "\"";
    }
}

TEST(Lifecycle, MissingOrUnusableDataFilesChangeNothingButThePlay) {
    Folder empty;
    expectNormalPlay(empty.path());

    // Folders where the files should be, empty and cut-short tables.
    Folder odd;
    odd.directory("blancas.ape");
    odd.directory("negras.ape");
    odd.file("tablapiezasavanzadas", "");
    odd.file("tablapiezasnormales", std::string(1000, '\x7f'));
    expectNormalPlay(odd.path());

    // Tables the size of the real ones but full of noise; a book of noise.
    Folder noise;
    std::string bytes;
    for (std::size_t i = 0; i < PieceSquareTables::advancedSize; ++i)
        bytes += static_cast<char>((i * 2654435761u) >> 13);
    noise.file("tablapiezasavanzadas", bytes);
    noise.file("tablapiezasnormales", bytes.substr(0, PieceSquareTables::normalSize));
    noise.file("blancas.ape", bytes.substr(0, 5000));
    noise.file("negras.ape", bytes.substr(5000, 5000));
    expectNormalPlay(noise.path());
}

}  // namespace
