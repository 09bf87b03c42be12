// Everything the tuner asks of the engine, in one place: replaying a game
// with the engine's rules and picking out its quiet positions, each with its
// evaluation split into the part the piece-square tables give and the rest.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "book_game.h"
#include "eval/piece_square.h"
#include "tune_set.h"

struct QuietPositionRules {
    // Plies at the start of each game left out: the book and the opening
    // lines the games were started from say nothing about the tables.
    int skipPlies = 16;
    // Positions whose static score lies further than this (engine units)
    // from level are left out: the result is settled and the tables cannot
    // move the prediction.
    int maxScore = 4000;
};

class Engine;

class TunePositionSource {
public:
    // The tables decide which positions are quiet: those where the capture
    // search finds nothing better than the static evaluation.
    explicit TunePositionSource(const PieceSquareTables& tables);
    ~TunePositionSource();

    // Replays the game and adds its quiet positions, labelled with result
    // (for White) and game, to set. Returns the number of positions added;
    // the replay stops at the first move that cannot be read or played.
    // With positionsOut, each position added is also written there as a
    // line: the game number, then the moves from the start that reach it in
    // coordinate notation, for a stronger engine to label.
    int addGame(const GameRecord& game, float result, int gameNumber, const QuietPositionRules& rules, TuneSet& set,
                std::ostream* positionsOut = nullptr);

    // Plays moves (coordinate notation) from the start and adds the position
    // they reach, labelled with result and game, when it is one the tables
    // are tuned on. False when a move cannot be played or the position is
    // not quiet.
    bool addPosition(const std::vector<std::string>& moves, float result, int gameNumber,
                     const QuietPositionRules& rules, TuneSet& set);

private:
    bool addIfQuiet(const Position& position, std::size_t ply, float result, int gameNumber,
                    const QuietPositionRules& rules, TuneSet& set);

    std::unique_ptr<Engine> engine_;
    std::vector<uint32_t> entries_;  // one position's, reused
};
