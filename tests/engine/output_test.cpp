// How the engine's output leaves the process: the move that ends a game and
// its result line go out in one write, so that a GUI or a tournament manager
// that starts the next game at once never reads the result alone, late, and
// takes it for a claim in the new game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"
#include "engine/output.h"
#include "engine/xboard.h"

namespace {

// Records what each flush of the stream carries.
class FlushRecorder : public std::stringbuf {
public:
    std::vector<std::string> writes;

protected:
    int sync() override {
        writes.push_back(str());
        str("");
        return 0;
    }
};

// The reader thread is detached and never joined, so its mailbox lives as
// long as the process, as the program's own does: it is never destroyed.
InputMailbox& mailbox = *new InputMailbox;

TEST(EngineOutput, AMateAndItsResultLeaveInOneWrite) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::FILE* input = fdopen(ends[0], "r");
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(mailbox.startReader(input));

    FlushRecorder recorder;
    std::ostream out(&recorder);
    Engine engine(12345u);
    engine.evaluator.tables = PieceSquareTables{};
    Output output(out);
    XboardLoop loop(engine, output);

    // The input stays open until the engine has had ample time to move: its
    // end reads as "quit", which would stop the search.
    std::thread feeder([write = ends[1]] {
        const std::string script = "xboard\nsd 2\nsetboard 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ngo\n";
        if (::write(write, script.data(), script.size()) != static_cast<ssize_t>(script.size())) std::abort();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        close(write);
    });
    EXPECT_EQ(loop.run(mailbox), 0);
    feeder.join();

    bool found = false;
    for (const std::string& chunk : recorder.writes)
        if (chunk.find("move a1a8") != std::string::npos) {
            EXPECT_EQ(chunk, "move a1a8\n1-0 {White mates}\n");
            found = true;
        }
    EXPECT_TRUE(found);
}

}  // namespace
