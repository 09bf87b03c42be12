// The search: alpha-beta with its transposition table, move ordering,
// history counters and capture search, over the positions of a game line.
// It knows the rules and the evaluation, and asks whoever runs it, through a
// small interface, whether to stop; it knows nothing of clocks or protocols.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "board/rules.h"
#include "eval/evaluate.h"
#include "search/hash_table.h"
#include "search/root_moves.h"
#include "search/search_settings.h"

// What the search asks of the program that runs it while it searches.
class SearchPoll {
public:
    // Completed to go on; otherwise why the search stops now: the game
    // changed (Aborted), the move is wanted at once (MoveNow) or the time is
    // up (TimeUp).
    virtual SearchStatus poll() = 0;

protected:
    ~SearchPoll() = default;
};

// Capture-search nodes between two looks at the clock and the input.
constexpr int64_t quiescencePollInterval = 4096;

// Plies kept free above the game's current position for the search's line.
constexpr int searchLineReserve = 256;

// What a node of the search hands back: how it ended and its score from the
// side to move's point of view (a bound, or alpha, when it was stopped).
struct NodeResult {
    SearchStatus status;
    int score;
};

// What one search from the root hands back: how it ended, the score (from
// the side to move's point of view) and the best move found.
struct SearchResult {
    SearchStatus status = Completed;
    int score = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;
};

class Search {
public:
    // The positions of the line searched are kept in the game's history after
    // the game's own, from entry ply on; ply and positionCount follow the
    // line down and come back with it, so that the repetition test sees the
    // whole game.
    Search(Rules& gameRules, const Evaluator& evaluation, std::vector<Position>& history, int& ply, int& positionCount);

    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    // One search of the root moves (the list the root search keeps in
    // rootMoves) to the given depth.
    SearchResult searchRoot(Position& position, MoveList& moves, int alpha, int beta, int depth);

    // One node of the main search.
    NodeResult alphaBeta(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                         int extensions);
    // The capture search at the horizon; returns the score.
    int quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft, int searchPly);
    // A plain fixed-depth search; marks checkmate and stalemate when the side
    // to move has no legal move.
    NodeResult shallowSearch(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly);

    void clearHashTable();
    int probeHash(const Position& position, int depth, int alpha, int beta);
    void storeHash(const Position& position, int depth, int64_t nodes, int score, NodeBound bound, int from, int to);
    // The position's table entry when it may give a move: keys and side
    // match and the bound is not an upper one.
    const HashEntry* tableMoveEntry(const Position& position) const;

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

    Rules& rules;
    const Evaluator& evaluator;
    // Asked at the nodes where the search may stop; none: it never stops.
    SearchPoll* poller = nullptr;

    SearchSettings settings;
    HashTableStorage hashTable;
    std::unique_ptr<RootMoveList> rootMoves;
    PvLine* currentRootLine = nullptr;
    RootResults rootResults;
    PvStack pvStack;
    // The history counters of each colour (by colour index), one per from-to
    // pair, and the largest of them.
    int historyCounters[2][4096] = {};
    int historyMax[2] = {};
    int64_t nodeCount = 0;
    // The capture search asks quiescenceMayGoOn once nodeCount reaches this.
    // A crowded board (queens everywhere) can keep it below the main
    // search's polls for minutes, so during the iterations it polls itself
    // every quiescencePollInterval nodes; the root's one-ply pre-search,
    // which reads no input, just stops there.
    int64_t quiescenceNodeLimit = INT64_MAX;
    bool quiescencePolls = false;
    // A stop found by the capture search, for its caller to return.
    SearchStatus quiescenceStop = Completed;
    // The index of the move the last move loop took up. A child reads it as
    // its parent's: no null move right after the parent's first move. A
    // re-search of the same child sees what the first pass left here.
    int currentMoveIndex = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;

private:
    // Root move t, just searched to its score: its line and its order.
    void keepRootLine(int t, int score);
    SearchStatus checkTimeAndInput();
    bool quiescenceMayGoOn();
    NodeResult takeQuiescenceStop(int alpha);
    // True, with the score, when the node's game is over.
    bool scoreFinishedGame(const Position& position, int searchPly, int& score);
    // The score at the search's horizon.
    int horizonScore(Position& position, MoveList& moves, int alpha, int beta, int searchPly);

    std::vector<Position>& history_;
    int& ply_;
    int& positionCount_;
};
