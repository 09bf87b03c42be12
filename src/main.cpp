// Vortelan: a chess engine for the console and for xboard-protocol GUIs.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <new>

#include "engine/command_loop.h"
#include "engine/engine.h"
#include "input/mailbox.h"


int main() {
    std::cout << "Vortelan Version 2.73b\n"
              << "A chess engine for the console and for xboard-protocol interfaces\n"
              << "Type \"new\" to play Black against it, or enter a move such as e2e4\n"
              << "\n\n"
              << std::flush;

    std::unique_ptr<Engine> engine;
    try {
        engine = std::make_unique<Engine>(static_cast<uint32_t>(std::time(nullptr)));
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "vortelan: not enough memory for the engine's tables\n");
        return 1;
    }
    engine->printBoard();

    // The reader thread is never joined: its mailbox lives as long as the
    // process (it has nothing to destroy).
    static InputMailbox mailbox;
    if (!mailbox.startReader(stdin)) {
        std::fprintf(stderr, "vortelan: cannot start the input reader thread\n");
        return 1;
    }
    mailbox.requestLine();
    CommandLoop loop(*engine);
    return loop.run(mailbox);
}
