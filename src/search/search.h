// The search: alpha-beta with its transposition table, move ordering,
// history counters and capture search, over a line of positions it owns.
// It knows the rules and the evaluation, and asks whoever runs it, through a
// function it is handed, whether to stop; it knows nothing of clocks or
// protocols.
// One Search is one thread's: it needs nothing from the game but a table
// and a read-only view of the game's positions.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "board/rules.h"
#include "eval/evaluate.h"
#include "search/hash_table.h"
#include "search/root_moves.h"
#include "search/search_settings.h"

// Capture-search nodes between two looks at the clock and the input.
constexpr int64_t quiescencePollInterval = 4096;

// The deepest line the main search can reach from its root.
constexpr int searchLineReserve = 256;

// The game's positions up to and including the one searched from, oldest
// first.
struct GameView {
    const Position* positions = nullptr;
    int count = 0;
};

// What a node of the search hands back: how it ended, its score from the
// side to move's point of view (a bound, or alpha, when it was stopped) and
// the move that raised alpha last (from == to when none did).
struct NodeResult {
    SearchStatus status = Completed;
    int score = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;

    bool hasMove() const { return bestFrom != bestTo; }
};

// What one search from the root hands back: how it ended, the score (from
// the side to move's point of view), the best move found and the nodes it
// took, those of every thread.
struct SearchResult {
    SearchStatus status = Completed;
    int score = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;
    int64_t nodes = 0;
};

class Search {
public:
    Search(const Rules& chessRules, const Evaluator& evaluation, TranspositionTable& table);

    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // Takes the last position of the game as the root of the searches that
    // follow, with the game's positions the repetition test can reach
    // behind it (those since the last change of material, at most a
    // fifty-move rule's worth). A root that plays on is searched as a
    // position of a game that goes on, even where a draw could be claimed.
    void setRoot(GameView game, bool playsOn = false);
    const Position& root() const { return line_[rootIndex_]; }

    // Starts a search from the root: fresh history counters, node count and
    // polling, the ordering's piece values those of the root, and the root
    // moves given, ordered, as the list the iterations keep.
    void startRoot(MoveList& moves);
    // A one-ply search of the root, so that a legal move exists even if the
    // first iteration is stopped at once. It reads no input, so its capture
    // search stops where a crowded board (queens everywhere) would make it
    // run for seconds; a usual position needs a few thousand nodes.
    NodeResult preSearch(MoveList& moves);
    // Counting and polling as the iterations do.
    void startIterations();
    // One search of the root moves (the list kept in rootMoves) to the
    // given depth; with a first move above 0, of the moves from that one on,
    // so that the best few lines can each be searched in full in turn.
    NodeResult searchRoot(MoveList& moves, int alpha, int beta, int depth, int firstMove = 0);
    // Brings root move (from, to), at firstMove or later, to firstMove with
    // its line; the moves between keep their order.
    void bringRootMoveTo(int firstMove, uint8_t from, uint8_t to);
    // The searches are over: the capture search stops polling.
    void finish();

    // One node of the main search, of the position at the given ply of the
    // line (the root is ply 0).
    NodeResult alphaBeta(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                         int extensions);
    // The capture search at the horizon; returns the score. A stop that a
    // poll returned is handed back in stop; every node then returns at once.
    int quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft, int searchPly,
                SearchStatus& stop);
    // The same for a caller that never polls, from a position just
    // generated.
    int quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft);
    // A plain fixed-depth search whose children are tested for repetitions
    // against the first earlierCount positions of the line; marks checkmate
    // and stalemate when the side to move has no legal move.
    NodeResult shallowSearch(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                             int earlierCount);

    // The table, through this search's settings. A probe tests the position
    // (at the given ply of the line) for a repetition, which is always
    // searched.
    int probeHash(const Position& position, int searchPly, int depth, int alpha, int beta);
    void storeHash(const Position& position, int depth, int64_t nodes, int score, NodeBound bound, int from, int to);
    // The position's table entry, when it may give a move: keys and side
    // match and the bound is not an upper one.
    bool tableMove(const Position& position, HashEntry& entry) const;

    // Ordering scores for the full-width searches (searchPly -1: the root
    // list before the iterations) and for the capture search.
    void scoreMoves(const Position& position, MoveList& moves, int searchPly);
    void scoreCaptures(const Position& position, MoveList& moves);
    // Credits a quiet move that cut off or stayed best with depth squared.
    void addHistory(uint8_t side, int from, int to, int depth);
    void clearHistoryCounters();
    // Halves one side's counters and their maximum, keeping their proportions.
    void halveHistory(uint8_t side);

    // Marks a node without a legal move (checkmate or stalemate) and returns
    // its score.
    int scoreNoLegalMove(Position& position, int searchPly);

    // Nodes searched since the iterations started.
    int64_t nodes() const { return nodes_; }
    // The same as another thread sees it: brought up to date at every poll
    // and at the end of every search from the root.
    int64_t publishedNodes() const { return publishedNodes_.load(std::memory_order_relaxed); }
    // The root moves in the order of the last iteration, each with its line.
    RootMoveList& rootMoves() { return *rootMoves_; }
    const RootMoveList& rootMoves() const { return *rootMoves_; }
    // The root moves completed in the running iteration.
    const RootResults& rootResults() const { return rootResults_; }
    // The deepest ply any line reached since the iterations started.
    int selectiveDepth() const { return selectiveDepth_; }

    const Rules& rules;
    const Evaluator& evaluator;
    // Asked at the nodes where the search may stop: Completed to go on;
    // otherwise why the search stops now: the game changed (Aborted), the
    // move is wanted at once (MoveNow) or the time is up (TimeUp). None: it
    // never stops.
    std::function<SearchStatus()> stopCheck;
    SearchSettings settings;
    // The history counters of each colour (by colour index), one per from-to
    // pair, and the largest of them.
    int historyCounters[2][4096] = {};
    int historyMax[2] = {};

private:
    // The full generation of a position of the search; the ordering reads
    // the piece values it found (see orderingValues_).
    int generate(Position& position, MoveList& moves, int earlierCount);
    // Root move t, just searched to its score: its line and its order.
    void keepRootLine(int t, int score);
    SearchStatus checkTimeAndInput();
    bool quiescenceMayGoOn(SearchStatus& stop);
    // True, with the score, when the node's game is over.
    bool scoreFinishedGame(const Position& position, int searchPly, int& score);
    // The score at the search's horizon; a stop of its capture search comes
    // back as the status.
    NodeResult horizonScore(Position& position, MoveList& moves, int alpha, int beta, int searchPly);

    TranspositionTable& table_;
    // The line: the game's positions the repetition test can reach, the
    // root at rootIndex_, then one slot per ply of the deepest line.
    std::vector<Position> line_;
    int rootIndex_ = 0;
    std::unique_ptr<RootMoveList> rootMoves_;
    const PvLine* currentRootLine_ = nullptr;
    // The first root move of the running search from the root.
    int firstRootMove_ = 0;
    int selectiveDepth_ = 0;
    RootResults rootResults_;
    PvStack pvStack_;
    int64_t nodes_ = 0;
    std::atomic<int64_t> publishedNodes_{0};
    // The capture search polls once nodes_ reaches this. A crowded board
    // (queens everywhere) can keep it below the main search's polls for
    // minutes, so during the iterations it polls itself every
    // quiescencePollInterval nodes; the root's pre-search, which reads no
    // input, just stops there.
    int64_t quiescenceNodeLimit_ = INT64_MAX;
    bool quiescencePolls_ = false;
    // Two channels the engine's play has always depended on, kept so that it
    // plays as it did; changing either is a change of play to be measured.
    // The piece values of the last full generation anywhere in the tree,
    // often a sibling's: move ordering, futility and delta pruning read them.
    const int* orderingValues_ = middlegamePieceValues;
    // The index of the move the last move loop took up. A child reads it as
    // its parent's (no null move right after the parent's first move), and a
    // re-search of the same child sees what the first pass left here.
    int lastLoopMoveIndex_ = 0;
};
