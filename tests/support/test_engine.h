// Shared set-up for in-process tests: an engine with a fixed seed whose
// output is captured, driven through the real command loop (in xboard mode,
// so no board diagrams unless a test asks for them).
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "board/types.h"
#include "engine/command_loop.h"
#include "engine/engine.h"

struct TestEngine {
    std::ostringstream out;
    std::unique_ptr<Engine> engine;
    CommandLoop loop;

    explicit TestEngine(bool xboard = true) : engine(std::make_unique<Engine>(12345u, out)), loop(*engine) {
        if (xboard) loop.handleLine("xboard");
    }

    Engine* operator->() { return engine.get(); }
    Engine& operator*() { return *engine; }
    Position& position() { return *engine->currentPosition; }

    // Sets up the game from FEN as "setboard" does; returns the position.
    Position& setBoard(const std::string& fen) {
        loop.handleLine("setboard " + fen);
        return position();
    }

    // Plays a user move in coordinates (e2e4, e7e8n); false when refused.
    bool play(const std::string& move) {
        const int before = engine->ply;
        loop.handleLine(move);
        return engine->ply == before + 1;
    }

    // What the engine printed since the last call.
    std::string takeOutput() {
        std::string text = out.str();
        out.str("");
        return text;
    }
};

inline Square sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }
