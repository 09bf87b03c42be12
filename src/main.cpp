// Vortelan: a chess engine for the console and for xboard-protocol GUIs.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <iostream>
#include <memory>
#include <new>
#include <random>

#include "engine/board_diagram.h"
#include "engine/engine.h"
#include "engine/output.h"
#include "engine/uci.h"
#include "engine/version.h"
#include "engine/xboard.h"
#include "input/mailbox.h"

namespace {

// Every run draws other hash keys and other book moves: the time is mixed
// with the system's random device and the fine clock, so that engines a GUI
// starts within the same second differ too.
uint32_t startupSeed() {
    uint64_t entropy = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    try {
        std::random_device device;
        entropy ^= static_cast<uint64_t>(device()) << 32;
    } catch (const std::exception&) {
        // Without a random device the fine clock alone has to do.
    }
    return mixSeed(static_cast<uint64_t>(std::time(nullptr)), entropy);
}

}  // namespace

int main() {
    std::cout << engineName << " Version " << engineVersion << "\n"
              << "A chess engine for the console and for xboard-protocol interfaces\n"
              << "Type \"new\" and a move such as e2e4 to play White against it; \"go\" makes it move\n"
              << "\n\n"
              << std::flush;

    std::unique_ptr<Engine> engine;
    try {
        engine = std::make_unique<Engine>(startupSeed());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "vortelan: not enough memory for the engine's tables\n");
        return 1;
    }
    Output output(std::cout);
    for (const std::string& line : boardDiagram(engine->game.current())) output.printLine(line);

    // The reader thread is never joined and may still be blocked in a read
    // when main() returns, so its mailbox is never destroyed: a static one
    // would have its mutex destroyed at exit under the running thread. The
    // static pointer keeps it reachable for leak checkers.
    static InputMailbox* const mailbox = new InputMailbox;
    if (!mailbox->startReader(stdin)) {
        std::fprintf(stderr, "vortelan: cannot start the input reader thread\n");
        return 1;
    }
    // The program starts in xboard mode (or at the console); "uci" hands the
    // rest of the run to the UCI front end.
    XboardLoop xboard(*engine, output);
    const int code = xboard.run(*mailbox);
    if (!xboard.uciRequested()) return code;
    return UciLoop(*engine, output).run(*mailbox);
}
