// The xboard command loop: reads one line per pass, takes its first word as
// a command and acts on it; a word that is no command is tried as a move.
#pragma once

#include <string>

#include "engine/engine.h"
#include "input/mailbox.h"

enum LoopMode { PlayMode = 0, WaitMode = 1, AnalyseMode = 2 };

// Plays a move in coordinates (e2e4, e7e8n; a pawn without a letter becomes
// a queen) for the side to move, as a user's move: false, with the game
// unchanged, when the word is no move or the move is not legal here.
bool playUserMove(Engine& engine, const std::string& word);

class CommandLoop {
public:
    explicit CommandLoop(Engine& engine) : engine_(engine) {}

    // Runs until "quit" (or the end of input); returns the exit code.
    // "uci" hands the rest of the run to the UCI front end.
    int run(InputMailbox& mailbox);

    // Acts on one input line; false when the line asks the program to end.
    bool handleLine(const std::string& line);

    int loopMode() const { return loopMode_; }
    bool analysisDone() const { return analysisDone_; }
    bool xboardMode() const { return xboardMode_; }
    bool uciRequested() const { return uciRequested_; }
    // The last "setboard" was refused: no game is shared with the GUI.
    bool positionRefused() const { return positionRefused_; }

    // The loop and the search read at most this much of a line.
    static constexpr std::size_t lineCapacity = 255;

private:
    void thinkIfAsked();
    void analyse();
    void engineMove();
    void userMove(const std::string& word);
    void showBoard();

    Engine& engine_;
    int loopMode_ = WaitMode;
    bool analysisDone_ = true;
    bool xboardMode_ = false;
    bool uciRequested_ = false;
    bool positionRefused_ = false;
};
