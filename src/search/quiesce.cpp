// The capture search at the horizon and the small fixed-depth search. Both
// keep their children in their own frames, so the search's line is
// untouched.
#include "search/move_order.h"
#include "search/search.h"

// Once a poll has stopped it, every node returns at once (its stand-pat
// score) and its caller hands the stop on.
int Search::quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft, int searchPly,
                    SearchStatus& stop) {
    if (searchPly > selectiveDepth_) selectiveDepth_ = searchPly;
    int status = Normal;
    const int standPat = evaluator.evaluate(position, &status, moves, alpha, beta, rules);
    if (standPat >= beta) return beta;
    if (standPat > alpha) alpha = standPat;
    if (depthLeft <= 0) return standPat;
    if (nodes_ >= quiescenceNodeLimit_ && !quiescenceMayGoOn(stop)) return standPat;

    scoreCaptures(position, moves);
    Position child;
    MoveList childMoves;
    for (int i = 0; i < moves.count && i < settings.quiescenceMaxMoves; ++i) {
        pickNextMove(i, moves);
        const Square from = moves.from[i];
        const Square to = moves.to[i];
        const int victim = kindOf(position.board[to]);
        const bool promotion = isPromotingPawn(position.board[from], from);
        // Quiet moves sort last, so the first one ends the captures.
        if (victim == EMPTY && !promotion) return alpha;
        ++nodes_;
        int score = standPat;
        // Delta pruning: a capture that cannot lift the score near alpha is
        // not worth playing out.
        if (promotion || standPat + orderingValues_[victim] + 500 > alpha || !settings.useDeltaPruning) {
            copyState(child, position);
            makeMove(from, to, child, rules);
            table_.prefetch(child.hashKey);
            switchSide(child);
            // A capture can never repeat an earlier position: no test.
            if (generate(child, childMoves, 0))
                score = -quiesce(child, childMoves, -beta, -alpha, depthLeft - 1, searchPly + 1, stop);
        }
        if (score > alpha) alpha = score;
        if (settings.useCutoffs && alpha >= beta) return beta;
    }
    return alpha;
}

int Search::quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft) {
    orderingValues_ = position.pieceValues;
    SearchStatus stop = Completed;
    return quiesce(position, moves, alpha, beta, depthLeft, 0, stop);
}

// A side mated at the node scores by its distance from the root, so that
// a nearer mate is worth more to the winner; draws score 0.
bool Search::scoreFinishedGame(const Position& position, int searchPly, int& score) {
    const int status = position.status();
    if (status == Checkmate) {
        score = mateScore + 1000 * searchPly;
        return true;
    }
    if (status >= Stalemate) {
        score = 0;
        return true;
    }
    return false;
}

// Without a legal move the side to move is mated or stalemated; the
// position is marked so that the game driver can announce it.
int Search::scoreNoLegalMove(Position& position, int searchPly) {
    markNoLegalMove(position);
    return position.inCheck ? mateScore + 1000 * searchPly : 0;
}

bool Search::quiescenceMayGoOn(SearchStatus& stop) {
    if (!quiescencePolls_ || stop != Completed) return false;
    stop = checkTimeAndInput();
    if (stop != Completed) return false;
    quiescenceNodeLimit_ = nodes_ + quiescencePollInterval;
    return true;
}

NodeResult Search::horizonScore(Position& position, MoveList& moves, int alpha, int beta, int searchPly) {
    if (!settings.useQuiescence) {
        int status = Normal;
        return {Completed, evaluator.evaluate(position, &status, moves, alpha, beta, rules)};
    }
    SearchStatus stop = Completed;
    const int score = quiesce(position, moves, alpha, beta, settings.quiescenceDepth, searchPly, stop);
    return {stop, score};
}

NodeResult Search::shallowSearch(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                                 int earlierCount) {
    if (int gameScore = 0; scoreFinishedGame(position, searchPly, gameScore)) return {Completed, gameScore};
    if (depth <= 0) {
        const NodeResult horizon = horizonScore(position, moves, alpha, beta, searchPly);
        if (horizon.status != Completed) return {horizon.status, alpha};
        return horizon;
    }

    scoreMoves(position, moves, searchPly);
    int legalMoves = 0;
    uint8_t bestFrom = 0;
    uint8_t bestTo = 0;
    Position child;
    MoveList childMoves;
    for (int i = 0; i < moves.count; ++i) {
        pickNextMove(i, moves);
        ++nodes_;
        copyState(child, position);
        makeMove(moves.from[i], moves.to[i], child, rules);
        table_.prefetch(child.hashKey);
        switchSide(child);
        if (!generate(child, childMoves, earlierCount)) continue;
        const NodeResult result =
            shallowSearch(child, childMoves, -beta, -alpha, depth - 1, searchPly + 1, earlierCount);
        if (result.status != Completed) return {result.status, alpha, bestFrom, bestTo};
        const int score = -result.score;
        ++legalMoves;
        if (score > alpha) {
            alpha = score;
            bestFrom = moves.from[i];
            bestTo = moves.to[i];
        }
        if (settings.useCutoffs && alpha >= beta) {
            alpha = beta;
            break;
        }
    }

    if (legalMoves == 0) return {Completed, scoreNoLegalMove(position, searchPly)};
    return {Completed, alpha, bestFrom, bestTo};
}
