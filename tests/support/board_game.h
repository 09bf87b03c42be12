// Shared set-up for the tests of the rules: a game played with the board's
// functions alone, no engine. Positions are set up from FEN and moves are
// played in coordinates, and the game line is kept for the repetition test,
// as the game driver keeps it.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "board/move_text.h"
#include "board/rules.h"

// The legal moves of the position in generation order (e2e4).
inline std::vector<std::string> legalMoveNames(Position& position, Rules& rules) {
    MoveList list;
    generateLegalMoves(position, list, rules);
    std::vector<std::string> names;
    for (int i = 0; i < list.count; ++i) names.push_back(moveText(list.from[i], list.to[i]));
    return names;
}

// Plays the moves in turn with the game's play(); false at the first one
// refused.
template <class Game>
bool playEach(Game& game, const std::vector<std::string>& moves) {
    for (const std::string& move : moves)
        if (!game.play(move)) return false;
    return true;
}

struct BoardGame {
    Rules rules;
    // Whether the full generation tests the game's positions for repetition.
    bool testRepetitions = true;
    // Entry i is the game after i plies; references into it stay valid.
    std::vector<Position> line = std::vector<Position>(512);
    int ply = 0;
    // The text the game was set up from.
    std::string setupText;

    explicit BoardGame(uint32_t seed = 12345u) {
        Random random(seed);
        rules.keys.draw(random);
        setBoard(startPositionText);
    }

    Rules* operator->() { return &rules; }
    Position& position() { return line[ply]; }
    // The positions before the current one, when repetitions are tested.
    EarlierPositions earlierPositions() const {
        return testRepetitions ? EarlierPositions{line.data(), ply} : EarlierPositions{};
    }

    // The full generation's status, or checkmate or stalemate when the side
    // to move has no legal move.
    int status() {
        MoveList legal;
        generateLegalMoves(position(), legal, rules, earlierPositions());
        if (legal.count == 0 && position().status() < Checkmate) markNoLegalMove(position());
        return position().status();
    }

    // Sets up the game from FEN (the start position when it is refused).
    Position& setBoard(const std::string& fen) {
        ply = 0;
        setupPosition(line[0], fen.c_str(), rules.keys, setupText);
        status();
        return position();
    }

    // Plays a move in coordinates (e2e4, e7e8n); false when refused.
    bool play(const std::string& text) {
        Move move;
        MoveList legal;
        if (!readCoordinateMove(text, move) || !generateLegalMoves(position(), legal, rules) ||
            !legal.contains(move.from, move.to))
            return false;
        line[ply + 1] = line[ply];
        ++ply;
        makeMove(move.from, move.to, position(), rules, move.promotion);
        switchSide(position());
        status();
        return true;
    }

    bool playAll(const std::vector<std::string>& moves) { return playEach(*this, moves); }
    std::vector<std::string> legalMoves() { return legalMoveNames(position(), rules); }
    bool isLegal(const std::string& move) {
        const std::vector<std::string> moves = legalMoves();
        return std::find(moves.begin(), moves.end(), move) != moves.end();
    }
};

inline Square sq(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }
