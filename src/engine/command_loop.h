// The xboard command loop: reads one line per pass, takes its first word as
// a command and acts on it; a word that is no command is tried as a move.
#pragma once

#include <string>

#include "engine/engine.h"
#include "input/mailbox.h"

enum LoopMode { PlayMode = 0, WaitMode = 1, AnalyseMode = 2 };

class CommandLoop {
public:
    explicit CommandLoop(Engine& engine) : engine_(engine) {}

    // Runs until "quit" (or the end of input); returns the exit code.
    int run(InputMailbox& mailbox);

    // Acts on one input line; false when the line asks the program to end.
    bool handleLine(const std::string& line);

    int loopMode() const { return loopMode_; }
    bool analysisDone() const { return analysisDone_; }
    bool xboardMode() const { return xboardMode_; }

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
};
