// The thinker: chooses the engine's move or analyses, from the book or by
// iterative deepening of the search, within the limits of one search; it
// decides when to stop, when a hard move may take longer, and hands each
// iteration to whoever asked, as a value, for it to show as it likes.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "board/random.h"
#include "book/book.h"
#include "engine/clock.h"
#include "engine/game.h"
#include "engine/thread_pool.h"
#include "search/search.h"

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
};

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
    // The root is searched as a position of a game that goes on, where a
    // draw could be claimed but the game was played on.
    bool rootPlaysOn = false;
};

// With several threads, every thread searches the same root and they share
// the table: the helpers fill it for each other and for the main thread,
// which alone decides the move, reads the input and shows the lines.
class Thinker : private SearchPoll {
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
    SearchStatus poll() override;
    // The score of an iteration's best move: the search's score when the
    // iteration finished, else the move's own score if it was searched to
    // the end in it; false when there is only a bound.
    bool iterationScore(const SearchResult& result, int& score) const;
    ThinkingReport makeReport(int depth, const SearchResult& result) const;
    void showProgress(int64_t now);
    // The nodes of every thread.
    int64_t totalNodes() const;
    // Helper index (1 on) searches the root until the main thread is done.
    void helperSearch(int index, const Game& game, const ThinkRequest& request, const MoveList& rootMoves);

    // A helper stops when the main thread does.
    struct HelperPoll : SearchPoll {
        std::atomic<bool> stop{false};
        SearchStatus poll() override { return stop.load(std::memory_order_relaxed) ? Aborted : Completed; }
    };

    const Rules& rules_;
    const Evaluator& evaluator_;
    TranspositionTable& table_;
    const OpeningBook& book_;
    Random& random_;
    // The main thread's search first, then one per helper thread.
    std::vector<std::unique_ptr<Search>> searches_;
    std::unique_ptr<ThreadPool> helpers_;
    HelperPoll helperPoll_;

    // The search running.
    ThinkingSink* sink_ = nullptr;
    SearchLimits limits_;
    bool analysing_ = false;
    int64_t searchStart_ = 0;
    int iterationDepth_ = 0;
    // The last line shown, and when: a long analysis repeats it.
    struct ShownLine {
        int depth = 0;
        int score = 0;
        uint8_t from = 0;
        uint8_t to = 0;
    } shownLine_;
    int64_t shownAt_ = 0;
};
