// The capture search at the horizon and the small fixed-depth search. Both
// keep their positions in their own frames, so the game history is untouched.
#include "search/move_order.h"
#include "search/search.h"

int Search::quiesce(Position& position, MoveList& moves, int alpha, int beta, int depthLeft, int searchPly) {
    int status = Normal;
    const int standPat = evaluator.evaluate(position, &status, moves, alpha, beta, rules);
    if (standPat >= beta) return beta;
    if (standPat > alpha) alpha = standPat;
    if (depthLeft <= 0) return standPat;
    if (nodeCount >= quiescenceNodeLimit && !quiescenceMayGoOn()) return standPat;

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

// The capture search has no stop status of its own: once stopped, every
// node of it returns at once, and the search that called it returns the
// stop as soon as the capture search is over.
bool Search::quiescenceMayGoOn() {
    if (!quiescencePolls || quiescenceStop != Completed) return false;
    quiescenceStop = checkTimeAndInput();
    if (quiescenceStop != Completed) return false;
    quiescenceNodeLimit = nodeCount + quiescencePollInterval;
    return true;
}

NodeResult Search::takeQuiescenceStop(int alpha) {
    const SearchStatus stop = quiescenceStop;
    quiescenceStop = Completed;
    return {stop, alpha};
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

NodeResult Search::shallowSearch(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly) {
    if (int gameScore = 0; scoreFinishedGame(position, searchPly, gameScore)) return {Completed, gameScore};
    if (depth <= 0) {
        const int horizon = horizonScore(position, moves, alpha, beta, searchPly);
        if (quiescenceStop != Completed) return takeQuiescenceStop(alpha);
        return {Completed, horizon};
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
        const NodeResult result = shallowSearch(child, childMoves, -beta, -alpha, depth - 1, searchPly + 1);
        if (result.status != Completed) return {result.status, alpha};
        const int score = -result.score;
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

    if (legalMoves == 0) return {Completed, scoreNoLegalMove(position, searchPly)};
    return {Completed, alpha};
}
