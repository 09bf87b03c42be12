// Shared set-up for in-process tests: an engine with a fixed seed whose
// output is captured, driven through the real command loop (in xboard mode,
// so no board diagrams unless a test asks for them).
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "board/types.h"
#include "engine/command_loop.h"
#include "engine/engine.h"

struct TestEngine {
    std::ostringstream out;
    std::unique_ptr<Engine> engine;
    CommandLoop loop;

    // Tests do not depend on data files that happen to lie in the working
    // directory: the tables start at zero and the books empty.
    explicit TestEngine(bool xboard = true) : engine(std::make_unique<Engine>(12345u, out)), loop(*engine) {
        engine->tables = PieceSquareTables{};
        engine->whiteBook.clear();
        engine->blackBook.clear();
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

    // Plays several moves; false at the first one refused.
    bool playAll(const std::vector<std::string>& moves) {
        for (const std::string& move : moves)
            if (!play(move)) return false;
        return true;
    }

    // The legal moves of the current position in generation order (e2e4).
    std::vector<std::string> legalMoves() {
        MoveList list;
        engine->generateLegalMoves(position(), list);
        std::vector<std::string> names;
        for (int i = 0; i < list.count; ++i) names.push_back(squareName(list.from[i]) + squareName(list.to[i]));
        return names;
    }

    bool isLegal(const std::string& move) {
        for (const std::string& m : legalMoves())
            if (m == move) return true;
        return false;
    }

    // What the engine printed since the last call.
    std::string takeOutput() {
        std::string text = out.str();
        out.str("");
        return text;
    }
};

inline Square sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }
