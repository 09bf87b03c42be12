// Shared set-up for in-process tests: an engine with a fixed seed whose
// output is captured, driven through the real xboard loop (in xboard mode,
// so no board diagrams unless a test asks for them), and the few things
// tests ask of its pieces.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "board_game.h"
#include "engine/engine.h"
#include "engine/output.h"
#include "engine/xboard.h"
#include "eval/evaluators.h"

// The book's choice for the game as it stands; 0 when it has none.
inline int bookMove(Engine& engine, uint8_t& from, uint8_t& to) {
    const GameView game = engine.game.view();
    Position current = engine.game.current();
    return engine.book.chooseMove(game.positions, game.count, current, engine.rules, engine.random, from, to);
}

struct TestEngine {
    std::ostringstream out;
    std::unique_ptr<Engine> engine;
    Output output{out};
    XboardLoop loop;

    // Tests do not depend on data files that happen to lie in the working
    // directory: the tables start at zero and the books empty.
    explicit TestEngine(bool xboard = true) : engine(std::make_unique<Engine>(12345u)), loop(*engine, output) {
        engine->evaluator.tables = PieceSquareTables{};
        engine->book.whiteBook.clear();
        engine->book.blackBook.clear();
        if (xboard) loop.handleLine("xboard");
    }

    Engine* operator->() { return engine.get(); }
    Engine& operator*() { return *engine; }
    // A copy of the game's current position, for the rules and the
    // evaluation to work on; it is refreshed at every call.
    Position& position() {
        scratch_ = engine->game.current();
        return scratch_;
    }
    Search& search() { return engine->thinker.search(); }
    const SearchLimits& limits() const { return engine->clock.limits(); }
    int ply() const { return engine->game.ply(); }
    int gameStatus() const { return engine->game.status(); }
    EvalContext evalContext() { return {engine->evaluator, engine->rules}; }

    // Sets up the game from FEN as "setboard" does; returns the position.
    Position& setBoard(const std::string& fen) {
        loop.handleLine("setboard " + fen);
        return position();
    }

    // Plays a user move in coordinates (e2e4, e7e8n); false when refused.
    bool play(const std::string& move) {
        const int before = ply();
        loop.handleLine(move);
        return ply() == before + 1;
    }

    // Several moves; false at the first one refused.
    bool playAll(const std::vector<std::string>& moves) { return playEach(*this, moves); }

    // The legal moves of the current position in generation order (e2e4).
    std::vector<std::string> legalMoves() { return legalMoveNames(position(), engine->rules); }

    bool isLegal(const std::string& move) {
        const std::vector<std::string> moves = legalMoves();
        return std::find(moves.begin(), moves.end(), move) != moves.end();
    }

    // Thinks about the current position within the clock's limits (the depth
    // given, when it is not negative), showing its lines as the xboard loop
    // does; the side to move is the engine's when enginesMove is set.
    SearchResult think(int depthLimit = -1, bool enginesMove = false) {
        ThinkRequest request;
        request.limits = engine->clock.limits();
        if (depthLimit >= 0) request.limits.depth = depthLimit;
        request.enginesMove = enginesMove;
        MoveList moves = engine->game.legalMoves();
        return engine->thinker.think(engine->game, moves, request, loop);
    }

    // What the engine printed since the last call.
    std::string takeOutput() {
        std::string text = out.str();
        out.str("");
        return text;
    }

private:
    Position scratch_;
};
