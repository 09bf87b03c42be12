// The capture search at the horizon and the small fixed-depth search. Both
// keep their positions in their own frames, so the game history is untouched.
#include "search/search.h"
#include "search/move_order.h"

int Search::quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft, int searchPly) {
    int status = Normal;
    const int standPat = evaluator.evaluate(position, &status, moves, alpha, beta, rules);
    if (standPat >= beta) return beta;
    if (standPat > alpha) alpha = standPat;
    if (depthLeft <= 0) return standPat;
    if (nodeCount >= quiescenceNodeLimit && !quiescenceMayGoOn(alpha)) return standPat;

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
        ++nodeCount;
        int score = standPat;
        // Delta pruning: a capture that cannot lift the score near alpha is
        // not worth playing out.
        if (promotion || standPat + rules.pieceValues[victim] + 500 > alpha || !settings.useDeltaPruning) {
            copyState(child, position);
            makeMove(from, to, child, rules);
            prefetchHashEntry(hashTable.get(), child.hashKey);
            switchSide(child);
            if (generateMoves(child, childMoves, Generation::Full, rules))
                score = -quiesce(child, childMoves, -beta, -alpha, depthLeft - 1, searchPly + 1);
        }
        if (score > alpha) alpha = score;
        if (settings.useCutoffs && alpha >= beta) return beta;
    }
    return alpha;
}

// A side mated at the node scores by its distance from the root, so that
// a nearer mate is worth more to the winner; draws score 0.
bool Search::scoreFinishedGame(const Position& position, int searchPly) {
    const int status = position.status();
    if (status == Checkmate) {
        searchScore = mateScore + 1000 * searchPly;
        return true;
    }
    if (status >= Stalemate) {
        searchScore = 0;
        return true;
    }
    return false;
}

// Without a legal move the side to move is mated or stalemated; the
// position is marked so that the game driver can announce it.
void Search::scoreNoLegalMove(Position& position, int searchPly) {
    searchScore = position.inCheck ? mateScore + 1000 * searchPly : 0;
    markNoLegalMove(position);
}

// The capture search has no stop status of its own: once stopped, every
// node of it returns at once, and the search that called it returns the
// stop as soon as the capture search is over.
bool Search::quiescenceMayGoOn(int alpha) {
    if (!quiescencePolls || quiescenceStop != Completed) return false;
    quiescenceStop = checkTimeAndInput(alpha);
    if (quiescenceStop != Completed) return false;
    quiescenceNodeLimit = nodeCount + quiescencePollInterval;
    return true;
}

SearchStatus Search::takeQuiescenceStop(int alpha) {
    const SearchStatus stop = quiescenceStop;
    quiescenceStop = Completed;
    searchScore = alpha;
    return stop;
}

// The capture search runs without repetition tests: a capture can never
// repeat an earlier position.
int Search::horizonScore(Position& position, MoveList& moves, int alpha, int beta, int searchPly) {
    if (!settings.useQuiescence) {
        int status = Normal;
        return evaluator.evaluate(position, &status, moves, alpha, beta, rules);
    }
    rules.repetitionCheckOn = false;
    const int score = quiesce(position, moves, alpha, beta, settings.quiescenceDepth, searchPly);
    rules.repetitionCheckOn = true;
    return score;
}

SearchStatus Search::shallowSearch(Position& position, MoveList& moves, int alpha, int beta, int depth,
                                   int searchPly) {
    if (scoreFinishedGame(position, searchPly)) return Completed;
    if (depth <= 0) {
        searchScore = horizonScore(position, moves, alpha, beta, searchPly);
        if (quiescenceStop != Completed) return takeQuiescenceStop(alpha);
        return Completed;
    }

    scoreMoves(position, moves, searchPly);
    int legalMoves = 0;
    Position child;
    MoveList childMoves;
    for (int i = 0; i < moves.count; ++i) {
        pickNextMove(i, moves);
        ++nodeCount;
        copyState(child, position);
        makeMove(moves.from[i], moves.to[i], child, rules);
        prefetchHashEntry(hashTable.get(), child.hashKey);
        switchSide(child);
        if (!generateMoves(child, childMoves, Generation::Full, rules)) continue;
        const SearchStatus result = shallowSearch(child, childMoves, -beta, -alpha, depth - 1, searchPly + 1);
        if (result != Completed) {
            searchScore = alpha;
            return result;
        }
        const int score = -searchScore;
        ++legalMoves;
        if (score > alpha) {
            alpha = score;
            if (searchPly == 0) {
                bestFrom = moves.from[i];
                bestTo = moves.to[i];
            }
        }
        if (settings.useCutoffs && alpha >= beta) {
            alpha = beta;
            break;
        }
    }

    if (legalMoves == 0)
        scoreNoLegalMove(position, searchPly);
    else
        searchScore = alpha;
    return Completed;
}
