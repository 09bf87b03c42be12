// Shared set-up for in-process tests: an engine with a fixed seed whose
// output is captured, driven through the real command loop (in xboard mode,
// so no board diagrams unless a test asks for them).
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "board_game.h"
#include "engine/command_loop.h"
#include "engine/engine.h"
#include "eval/evaluators.h"

struct TestEngine {
    std::ostringstream out;
    std::unique_ptr<Engine> engine;
    CommandLoop loop;

    // Tests do not depend on data files that happen to lie in the working
    // directory: the tables start at zero and the books empty.
    explicit TestEngine(bool xboard = true) : engine(std::make_unique<Engine>(12345u, out)), loop(*engine) {
        engine->evaluator.tables = PieceSquareTables{};
        engine->book.whiteBook.clear();
        engine->book.blackBook.clear();
        if (xboard) loop.handleLine("xboard");
    }

    Engine* operator->() { return engine.get(); }
    Engine& operator*() { return *engine; }
    Position& position() { return *engine->currentPosition; }
    EvalContext evalContext() { return {engine->evaluator, engine->rules}; }

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

    // Several moves; false at the first one refused.
    bool playAll(const std::vector<std::string>& moves) { return playEach(*this, moves); }

    // The legal moves of the current position in generation order (e2e4).
    std::vector<std::string> legalMoves() { return legalMoveNames(position(), engine->rules); }

    bool isLegal(const std::string& move) {
        const std::vector<std::string> moves = legalMoves();
        return std::find(moves.begin(), moves.end(), move) != moves.end();
    }

    // What the engine printed since the last call.
    std::string takeOutput() {
        std::string text = out.str();
        out.str("");
        return text;
    }
};
