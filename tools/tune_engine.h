// Everything the tuner asks of the engine, in one place: replaying a game
// with the engine's rules and picking out its quiet positions, each with its
// evaluation split into the part the piece-square tables give and the rest.
#pragma once

#include <memory>

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
    int addGame(const GameRecord& game, float result, int gameNumber, const QuietPositionRules& rules, TuneSet& set);

private:
    std::unique_ptr<Engine> engine_;
};
