// The Engine: the game driver. It holds a whole game (its history, the
// rules, the evaluation, the search, the books and the clock) and binds the
// layers below to it; its own operations are defined in engine/. The xboard
// command loop and the UCI front end drive it.
#pragma once

#include <cstdint>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "board/position.h"
#include "board/random.h"
#include "board/rules.h"
#include "book/book.h"
#include "eval/evaluate.h"
#include "input/mailbox.h"
#include "search/search.h"

// Who plays a colour. The values are the letters the game has always shown
// for them.
enum Player : char { Human = 'H', Computer = 'C' };

// The Engine is also what its search polls: the clock and the input.
class Engine : private SearchPoll {
public:
    // The seed drives the hash keys (and later the book's choices); the
    // program passes one that differs from run to run, tests and tools a
    // number of their choosing.
    explicit Engine(uint32_t seed, std::ostream& out = std::cout);

    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // ---- Evaluation (eval/) ----

    Evaluator evaluator;

    // ---- Root search (engine/root_search.cpp) ----

    // Chooses the move: from the book, else by iterative deepening within the
    // time budget up to depth lastDepth + 1, printing a thinking line per
    // iteration.
    SearchResult rootSearch(Position& position, MoveList& moves, int alpha, int beta, int lastDepth);
    // Clears the transposition table.
    void clearHashTable() { search.clearHashTable(); }

    // ---- Opening book (book/) ----

    OpeningBook book;
    // A weighted random continuation of the game from the book of the side to
    // move; 0 when the book has none.
    int bookMove(uint8_t& from, uint8_t& to) {
        return book.chooseMove(history.data(), positionCount, *currentPosition, rules, random, from, to);
    }

    // ---- Game driver (engine/) ----

    // Plays a legal user move into the history (the caller switches the
    // side); 0 when the move is not legal here.
    int acceptUserMove(Square from, Square to, Position& position);
    // Brings currentPosition and gameStatus up to date after ply changed.
    void refreshPosition();
    // Plays the engine's chosen move into the game and refreshes.
    void playMove(Square from, Square to);
    void newGame();
    // Starts the game afresh from FEN text (the start position when the text
    // is null or refused): the history holds the set-up alone, the search's
    // history counters and the clock's period start again, and the position
    // is refreshed. Returns why the text was refused, or null. Table, book
    // and players are left as they are.
    const char* setupGame(const char* text);
    // A new game from FEN text; returns why the text was refused (the start
    // position is set up instead), or null.
    const char* setBoard(const char* text);
    // Prints one line and flushes it, unless output is held.
    void printLine(const std::string& text);
    void printResult();
    // Lines printed while output is held leave together, in one write, at
    // release: a GUI then reads a move and the result line that ends the
    // game at once, and never takes the result, read late, for a claim in
    // the game it has started since.
    void holdOutput() { outputHeld_ = true; }
    void releaseOutput();
    void printBoard();
    // "level", "time", "st" and "sd", each given its whole command line.
    void setLevel(const char* line);
    void setClock(const char* line);
    void setMoveTime(const char* line);
    void setDepth(const char* line);
    // The same rules with their numbers in milliseconds, as UCI gives them:
    // a period of moves (0: the clock is for the whole game), its base time
    // and the increment per move; the side's clock; a fixed time per move;
    // a depth in plies.
    void applyLevel(long long moves, long long baseMs, long long incrementMs);
    void applyClock(long long clockMs);
    void applyMoveTime(long long ms);
    void applyDepth(long long depth);
    // Doubles the budget for a hard move, within what the clock allows.
    void lengthenBudget();

    // ---- State ----

    Random random;
    // The hash keys, the promotion piece, the repetition test's game line
    // (this history up to ply) and the piece values of the last full
    // generation.
    Rules rules;
    // The repetition switch of the rules, by its name in the game: the full
    // generation tests for repetitions only while it is on.
    bool& repetitionCheckOn = rules.repetitionCheckOn;

    // The FEN text the game was set up from.
    std::string setupText;

    // By colour index: each side's last root score, and how often its moves
    // were lengthened for a swing of the score this game.
    int prevScore[2] = {noScore, noScore};
    int extensionsUsed[2] = {0, 0};

    // Entry i is the game after i plies since the last set-up. The history
    // grows between commands so that the game and the deepest search line
    // always fit; it never moves while anything points into it.
    std::vector<Position> history;
    int ply = 0;
    int positionCount = 1;
    Position* currentPosition = nullptr;
    int gameStatus = Normal;

    bool bookActive = true;
    Player whitePlayer = Human;
    Player blackPlayer = Computer;

    // The search over this game's history, and the state of the one running.
    Search search{rules, evaluator, history, ply, positionCount};
    int64_t searchStart = 0;
    int elapsedSeconds = 0;
    int rootPly = 0;
    int rootPositionCount = 0;
    bool abortRequested = false;
    bool moveNowRequested = false;
    int iterationDepth = 0;
    // The last thinking line printed, and when: a long analysis repeats it.
    struct ShownLine {
        int depth = 0;
        int score = 0;
        uint8_t from = 0;
        uint8_t to = 0;
    } shownLine;
    int64_t shownAt = 0;
    // Polled while searching; tests may run without one.
    InputMailbox* mailbox = nullptr;
    // While analysing, the search has neither a time budget nor the book,
    // and lines that change the game stop it too.
    bool analysing = false;

    // ---- UCI front end (engine/uci_loop.cpp) ----

    // After "uci": each iteration prints a UCI "info" line instead of the
    // xboard thinking line, and lines polled while searching are UCI
    // commands.
    bool uciMode = false;
    // Acts on the first word of a line that arrives during a UCI search:
    // "isready" is answered and dropped, "quit" aborts, "stop" and the lines
    // that start another search or game ask for the move now (those stay
    // waiting for the loop); anything else is dropped.
    void answerPolledUciLine(const char* word);

    // Time control.
    int timeBudgetMs = 15000;
    int depthLimit = 15;
    int movesPerPeriod = 0;
    bool extensionAllowed = true;
    int defaultDepth = 25;
    int defaultMaxSeconds = 300;
    // The increment per move of the last "level".
    int incrementMs = 0;
    // The last "level" gave no period: its clock lasts the whole game.
    bool clockForWholeGame = false;
    // "st" is in force (until the next "level" or "sd"): "time" leaves the
    // budget alone and nothing lengthens a move.
    bool moveTimeFixed = false;
    // The most a budget may be lengthened to: half the last clock, or the
    // fixed time per move.
    int budgetCeilingMs = std::numeric_limits<int>::max();

private:
    // Makes room for the next ply of the game plus a full search line.
    void reserveHistory();
    // Copies the current position into the next history entry and plays the
    // move there.
    void advanceHistory(Square from, Square to);
    // While analysing under xboard: a line that changes the game waits.
    bool gameChangeWaiting() const;
    // Looks at the clock and the mailbox for the search.
    SearchStatus poll() override;
    // The score of an iteration's best move: the search's score when the
    // iteration finished, else the move's own score if it was searched to
    // the end in it; false when there is only a bound.
    bool iterationScore(const SearchResult& result, int& score) const;
    void showProgress(int64_t now);
    void printShownLine();
    // One line per iteration; the status tells a finished iteration from
    // one cut short.
    void printThinking(int depth, const SearchResult& result);
    void printUciInfo(int depth, const SearchResult& result);

    std::ostream& out_;
    bool outputHeld_ = false;
};
