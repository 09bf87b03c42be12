// The thinker: chooses the engine's move or analyses, from the book or by
// iterative deepening of the search, within the limits of one search; it
// decides when to stop, when a hard move may take longer, and hands each
// iteration to whoever asked, as a value, for it to show as it likes.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "board/random.h"
#include "book/book.h"
#include "engine/clock.h"
#include "engine/game.h"
#include "engine/thread_pool.h"
#include "search/search.h"

// A weaker level's choice among its best lines, scored best first: each
// line's score is raised by a random share (up to weakness / 128) of the
// spread of the lines, capped at a pawn, and by that share of its shortfall
// from the best, also counted up to a pawn only: a level may prefer a move
// a little worse, but never one that its own search sees losing a piece.
int chooseLine(const int* scores, int count, int weakness, Random& random);

// One iteration of the search, finished or cut short, or the progress of a
// long one.
struct ThinkingReport {
    // An iteration still running: its best move so far, or the last line
    // shown again.
    bool progress = false;
    SearchStatus status = Completed;
    int depth = 0;
    // An iteration cut short has a score only if its best move was searched
    // to the end in it.
    bool hasScore = false;
    int score = 0;
    int64_t elapsedMs = 0;
    int64_t nodes = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;
    // The best move's line, as far as it is legal (none in a progress
    // report).
    PvLine line;
    // Which of the best lines this is, best first from 1, when several are
    // searched.
    int multiPv = 1;
    // The deepest ply a line reached, and the share of the table in use in
    // thousandths.
    int selectiveDepth = 0;
    int hashPermille = 0;
};

// The moves of a line in coordinates from the position it starts in,
// separated by spaces, as both protocols show a line.
std::string lineText(const Position& start, const PvLine& line, const Rules& rules);

// What the thinker asks of the one who asked it to think: the input that
// arrived meanwhile, and what to show of each iteration.
class ThinkingSink {
public:
    // Completed to go on; otherwise why to stop now: the game changes
    // (Aborted) or the move is wanted at once (MoveNow).
    virtual SearchStatus readInput() = 0;
    // Returns whether the report was shown.
    virtual bool report(const ThinkingReport& report) = 0;

protected:
    ~ThinkingSink() = default;
};

struct ThinkRequest {
    SearchLimits limits;
    // The engine plays the side to move: the book may answer, a forced move
    // is played at once, and a swing of the score may take more time.
    bool enginesMove = true;
    // No book and no time limit: until the input stops it.
    bool analysing = false;
    // The limits' time budget holds; without it only the depth, the nodes,
    // a mate or the input end the search.
    bool timed = true;
    // Thinking on the opponent's time: no limit until ponderHit turns it
    // into the engine's own search.
    bool pondering = false;
    bool useBook = true;
    // The root is searched as a position of a game that goes on, where a
    // draw could be claimed but the game was played on.
    bool rootPlaysOn = false;
    // The depth of the first iteration (1 or 2).
    int firstDepth = 2;
    // The search stops near this many nodes (0: no limit), or once it proves
    // a mate in this many moves or fewer (0: it goes on).
    int64_t nodes = 0;
    int mateMoves = 0;
    // How many of the best root moves each iteration searches in full, and
    // how many of them are shown (0: all).
    int lines = 1;
    int shownLines = 0;
    // A weaker level's weight of chance in the choice among those lines; 0
    // plays the best line. A weaker level searches on one thread.
    int weakness = 0;
};

// With several threads, every thread searches the same root and they share
// the table: the helpers fill it for each other and for the main thread,
// which alone decides the move, reads the input and shows the lines.
class Thinker {
public:
    Thinker(const Rules& rules, const Evaluator& evaluator, TranspositionTable& table, const OpeningBook& book,
            Random& random);
    ~Thinker();

    // The most search threads, the main one included.
    static constexpr int maxThreads = 256;
    // Sets the number of search threads (the main one included), from the
    // next search on; false, with the threads as they were, when the system
    // gives no more.
    bool setThreads(int count);
    int threads() const { return static_cast<int>(searches_.size()); }

    // Chooses a move for the game's current position from its legal moves
    // (at least one), which it leaves in the order of the last iteration.
    SearchResult think(const Game& game, MoveList& moves, const ThinkRequest& request, ThinkingSink& sink);

    // The opponent played the move pondered on: from now on the search is
    // the engine's own, with these limits, counted from now. The sink calls
    // it while it reads the input; after a search that ended while
    // pondering it only ends the pondering.
    void ponderHit(const SearchLimits& limits);
    bool pondering() const { return pondering_; }

    // The reply expected to the move (from, to) from the root of the last
    // search: the second move of its line, else the table's move after it;
    // false when neither is known.
    bool expectedReply(uint8_t from, uint8_t to, uint8_t& replyFrom, uint8_t& replyTo) const;

    // A new game: the book is on again and the scores are forgotten.
    void newGame() { memory = GameMemory{}; }
    // A game starts from a new set-up: the ordering forgets what it learnt.
    void startGame() {
        for (auto& search : searches_) search->clearHistoryCounters();
    }

    // The main thread's search.
    Search& search() { return *searches_[0]; }

    // What the thinker remembers of the game so far: whether the book may
    // still answer, and by colour index each side's last root score and how
    // often its moves were lengthened for a swing of the score.
    struct GameMemory {
        bool bookActive = true;
        int prevScore[2] = {noScore, noScore};
        int extensionsUsed[2] = {0, 0};
    } memory;

private:
    // Whether the main thread's search stops now: the input, the nodes,
    // the clock.
    SearchStatus poll();
    // The score of an iteration's best move: the search's score when the
    // iteration finished, else the move's own score if it was searched to
    // the end in it; false when there is only a bound.
    bool iterationScore(const SearchResult& result, int& score) const;
    ThinkingReport makeReport(int depth, const SearchResult& result) const;
    // The limits of the search from the given time on, shortened for a
    // forced move.
    void startClock(const SearchLimits& limits, int64_t startMs);
    bool clockRuns() const { return timed_ && !analysing_ && !pondering_; }
    bool nodeLimitReached() const {
        return nodeLimit_ > 0 && !pondering_ && iterationsDone_ > 0 && totalNodes() >= nodeLimit_;
    }
    // One iteration that searches each of the best lines in full in turn;
    // the result is the best line's.
    void searchLines(int depth, const ThinkRequest& request, MoveList& moves, SearchResult& result);
    // A weaker level's choice among the best lines of the last iteration.
    void chooseAmongLines(int weakness, SearchResult& result);
    void showProgress(int64_t now);
    // The nodes of every thread.
    int64_t totalNodes() const;
    // Helper index (1 on) searches the root until the main thread is done.
    void helperSearch(int index, const Game& game, const ThinkRequest& request, const MoveList& rootMoves);

    const Rules& rules_;
    const Evaluator& evaluator_;
    TranspositionTable& table_;
    const OpeningBook& book_;
    Random& random_;
    // The main thread's search first, then one per helper thread.
    std::vector<std::unique_ptr<Search>> searches_;
    std::unique_ptr<ThreadPool> helpers_;
    // Set when the main thread is done: the helpers stop.
    std::atomic<bool> helpersStop_{false};

    // The search running.
    ThinkingSink* sink_ = nullptr;
    SearchLimits limits_;
    bool analysing_ = false;
    bool timed_ = true;
    bool pondering_ = false;
    // The node limit holds once an iteration has completed: the first one,
    // however small the limit, gives every line a score.
    int64_t nodeLimit_ = 0;
    int iterationsDone_ = 0;
    // The legal moves of a root where the engine is to move (0 otherwise):
    // one or two of them need little time.
    int forcedChoice_ = 0;
    // The budget runs from clockStart_; the times shown from searchStart_.
    int64_t searchStart_ = 0;
    int64_t clockStart_ = 0;
    int iterationDepth_ = 0;
    // The line being searched, from 0, when several are.
    int currentLine_ = 0;
    // Leaving the book lengthened the move (or will, after a ponder hit).
    bool bookMissed_ = false;
    // The scores of the best lines of the last iteration that completed
    // any, best first, and how many it completed.
    int lineScores_[MoveList::capacity] = {};
    int linesDone_ = 0;
    // The last line shown, and when: a long analysis repeats it.
    struct ShownLine {
        int depth = 0;
        int score = 0;
        uint8_t from = 0;
        uint8_t to = 0;
    } shownLine_;
    int64_t shownAt_ = 0;
};
