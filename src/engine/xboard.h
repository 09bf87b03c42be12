// The xboard protocol, and the console a person plays on: reads one line
// per pass, takes its first word as a command and acts on it; a word that
// is no command is tried as a move. Every word read and every line printed
// under this protocol, during a search too, is handled here.
#pragma once

#include <string>

#include "board/move_text.h"
#include "engine/engine.h"
#include "engine/output.h"
#include "input/mailbox.h"

enum LoopMode { PlayMode = 0, WaitMode = 1, AnalyseMode = 2 };

// Who plays a colour. The values are the letters the game has always shown
// for them.
enum Player : char { Human = 'H', Computer = 'C' };

class XboardLoop : public ThinkingSink {
public:
    XboardLoop(Engine& engine, Output& output) : engine_(engine), out_(output) {}

    // Runs until "quit" (or the end of input), or until "uci" hands the rest
    // of the run to the UCI front end; returns the exit code.
    int run(InputMailbox& mailbox);

    // Acts on one input line; false when the line asks the program to end.
    bool handleLine(const std::string& line);
    // Prints the board for a person at the console.
    void showBoard();

    int loopMode() const { return loopMode_; }
    bool analysisDone() const { return analysisDone_; }
    bool xboardMode() const { return xboardMode_; }
    bool uciRequested() const { return uciRequested_; }
    // The last "setboard" was refused: no game is shared with the GUI.
    bool positionRefused() const { return positionRefused_; }
    Player whitePlayer() const { return whitePlayer_; }
    Player blackPlayer() const { return blackPlayer_; }

    // The loop and the search read at most this much of a line.
    static constexpr std::size_t lineCapacity = 255;

private:
    void thinkIfAsked();
    void analyse();
    // Searches and plays the engine's move; false when the search was
    // stopped and nothing was played.
    bool engineMove();
    // Prints and plays the move the search chose, and keeps the reply it
    // expects for pondering.
    void playEnginesMove(const SearchResult& result);
    // With pondering on, after the engine's move: plays the reply it
    // expects and thinks on it until the opponent moves. True when the
    // opponent played that reply and the engine has answered it.
    bool ponder();
    bool mayPonder() const;
    // Reads the lines that arrive while pondering: the expected reply turns
    // the search into the engine's own, lines that need no game act at
    // once, and any other line stops it.
    SearchStatus readWhilePondering();
    // Takes the next waiting line out of the mailbox and acts on it now.
    void actOnWaitingLine();
    void userMove(const std::string& word);
    void printResult();
    // The request for a search of the game's current position.
    ThinkRequest thinkRequest(bool analysing) const;
    // The time controls, each given its whole command line; a missing or
    // non-numeric number leaves everything unchanged.
    void setLevel(const std::string& line);
    void setClock(const std::string& line);
    void setMoveTime(const std::string& line);
    void setDepth(const std::string& line);
    void setMemory(const std::string& line);
    void setCores(const std::string& line);
    void setOption(const std::string& line);

    // "?" asks for the move now; "force", "new", "quit", "setboard",
    // "undo" and "remove" abort the search, and so does, while analysing,
    // any line that changes the game. While analysing, the lines that need
    // neither the game nor the search ("ping", the clocks) act at once;
    // every other line stays for the loop, which acts on it after the
    // search, in order.
    SearchStatus readInput() override;
    bool report(const ThinkingReport& report) override;
    // While analysing: a line that changes the game waits.
    bool gameChangeWaiting() const;
    // The command word of a waiting line, as the loop will read it.
    std::string waitingWord(std::size_t index) const;

    Engine& engine_;
    Output& out_;
    InputMailbox* mailbox_ = nullptr;
    int loopMode_ = WaitMode;
    bool analysisDone_ = true;
    bool xboardMode_ = false;
    bool uciRequested_ = false;
    bool positionRefused_ = false;
    bool analysing_ = false;
    // The waiting lines the running search has looked at.
    std::size_t examined_ = 0;
    // "hard": the engine thinks on the opponent's time.
    bool ponderOn_ = false;
    // The reply the engine expects to its last move.
    bool replyExpected_ = false;
    Move expectedReply_;
    // The expected reply is on the board and the search thinks on it.
    bool pondering_ = false;
    // The opponent played it.
    bool ponderHit_ = false;
    Player whitePlayer_ = Human;
    Player blackPlayer_ = Computer;
};
