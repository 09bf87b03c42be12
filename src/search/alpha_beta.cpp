// The main search: negamax alpha-beta with a null-window re-search scheme,
// null-move and futility pruning, check and pawn extensions, history
// counters and the transposition table. The positions of the current line
// live in the game history after the game's own positions.
#include <algorithm>
#include <climits>
#include <cstring>

#include "search/move_order.h"
#include "search/search.h"

namespace {

// A pawn stepping onto its seventh rank is close enough to queening that the
// search looks one ply further.
bool pawnToSeventh(uint8_t piece, Square from) {
    return (piece == makePiece(PAWN, WHITE) && from >= 40 && from <= 47) ||
           (piece == makePiece(PAWN, BLACK) && from >= 16 && from <= 23);
}

}  // namespace

Search::Search(Rules& gameRules, const Evaluator& evaluation, std::vector<Position>& history, int& ply,
               int& positionCount)
    : rules(gameRules),
      evaluator(evaluation),
      rootMoves(std::make_unique<RootMoveList>()),
      history_(history),
      ply_(ply),
      positionCount_(positionCount) {
    pvStack.reserve(1 << 16);
}

// The root moves are searched in the order the last iteration left them, and
// each gathers its score and line afresh.
SearchResult Search::searchRoot(Position& position, MoveList& moves, int alpha, int beta, int depth) {
    rootResults.count = 0;
    pvStack.clear();
    for (int i = 0; i < rootMoves->moves.count; ++i) rootMoves->moves.score[i] = mateScore - i;
    moves = rootMoves->moves;
    const NodeResult root = alphaBeta(position, moves, alpha, beta, depth, 0, 0);
    SearchResult result;
    result.status = root.status;
    result.score = root.score;
    result.bestFrom = bestFrom;
    result.bestTo = bestTo;
    return result;
}

void Search::clearHistoryCounters() {
    std::memset(historyCounters, 0, sizeof historyCounters);
    historyMax[0] = historyMax[1] = 0;
}

// Quiet moves that cut off or stayed best earn depth squared, so moves that
// worked deep in the tree weigh most. The counters are halved between
// iterations; one iteration of a long analysis could still carry a counter
// past the int range, so the side's counters are halved early then, which
// keeps their proportions.
void Search::addHistory(uint8_t side, int from, int to, int depth) {
    int& maximum = historyMax[colourIndex(side)];
    int& counter = historyCounters[colourIndex(side)][from * 64 + to];
    const int gain = depth * depth;
    if (counter > INT_MAX - gain) halveHistory(side);
    counter += gain;
    if (counter > maximum) maximum = counter;
}

void Search::halveHistory(uint8_t side) {
    int* counters = historyCounters[colourIndex(side)];
    for (int i = 0; i < 4096; ++i) counters[i] /= 2;
    historyMax[colourIndex(side)] /= 2;
}

// The search stops where whoever runs it says so.
SearchStatus Search::checkTimeAndInput() { return poller ? poller->poll() : Completed; }

// The line is read back from the stack: for each ply, the newest node below
// the ply taken before it. The move's score orders the next iteration.
void Search::keepRootLine(int t, int score) {
    PvLine& line = rootMoves->lines[t];
    line.length = pvStack.back().searchPly + 1;
    if (line.length > PvLine::capacity) line.length = PvLine::capacity;
    int limit = PvLine::capacity;
    for (std::size_t k = pvStack.size(); k-- > 0;) {
        const PvNode& node = pvStack[k];
        if (node.searchPly < limit) {
            line.from[node.searchPly] = node.from;
            line.to[node.searchPly] = node.to;
            limit = node.searchPly;
        }
    }
    rootMoves->moves.score[t] += score - t;
}

NodeResult Search::alphaBeta(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                             int extensions) {
    const uint8_t side = position.sideToMove;
    NodeBound bound = Upper;
    int searched = 0;
    bool alphaRaised = false;
    bool futile = false;
    bool stop = false;
    const int64_t startNodes = nodeCount;
    int64_t bestNodes = 0;
    int bestMoveFrom = 0;
    int bestMoveTo = 0;

    if (searchPly >= 2) {
        const int tableScore = probeHash(position, depth, alpha, beta);
        if (tableScore != hashMiss) return {Completed, tableScore};
    }

    if (int gameScore = 0; scoreFinishedGame(position, searchPly, gameScore)) return {Completed, gameScore};
    const int status = position.status();

    if (depth <= 0) {
        const int horizon = horizonScore(position, moves, alpha, beta, searchPly);
        if (quiescenceStop != Completed) return takeQuiescenceStop(alpha);
        if (settings.useQuiescence) storeHash(position, depth, nodeCount - startNodes, horizon, Exact, 0, 0);
        return {Completed, horizon};
    }

    const int phase = gamePhase(position);

    // Null move: if passing still holds beta with a reduced search, a real
    // move will too. Not in check, not late in the game (zugzwang), and not
    // right after the parent's first move.
    if (settings.useNullMove && currentMoveIndex >= settings.nullMoveMinIndex && status == Normal && phase <= 2) {
        const int reduction = settings.nullMoveReduction[phase];
        if (reduction > 0 && depth >= reduction + 1) {
            Position& child = history_[ply_ + 1];
            copyState(child, position);
            // The en-passant right was the passing side's; the side that
            // pushed, moving again, has none.
            child.enPassantTimer = 0;
            ++ply_;
            ++positionCount_;
            switchSide(child);
            MoveList childMoves;
            const int legal = generateMoves(child, childMoves, Generation::Full, rules);
            NodeResult passed{Completed, 0};
            if (legal) passed = shallowSearch(child, childMoves, -beta, 1 - beta, depth - reduction - 1, searchPly + 1);
            // After an abort the root search takes the game back to the root.
            if (passed.status == Aborted) return passed;
            --ply_;
            --positionCount_;
            if (passed.status != Completed) return {passed.status, alpha};
            if (legal && -passed.score >= beta) return {Completed, beta};
        }
    }

    // Futility: near the horizon, a side far behind in material cannot
    // catch up with a quiet move.
    const int materialLead = side == WHITE ? position.whiteMaterialValue - position.blackMaterialValue
                                           : position.blackMaterialValue - position.whiteMaterialValue;
    int futilityValue = 0;
    if (settings.useExtendedFutility) {
        futilityValue = materialLead + settings.extendedFutilityMargin * 1000;
        if (depth == 2 && futilityValue <= alpha) futile = true;
    }
    if (settings.useFutility) {
        futilityValue = materialLead + settings.futilityMargin * 1000;
        if (depth == 1 && !position.inCheck && futilityValue <= alpha) futile = true;
    }

    scoreMoves(position, moves, searchPly);

    MoveList childMoves;
    for (int t = 0; t < moves.count && !stop; ++t) {
        currentMoveIndex = t;
        if (t == 0) bestMoveFrom = bestMoveTo = 0;
        pickNextMove(t, moves);
        const int64_t movesStartNodes = nodeCount;
        ++nodeCount;
        if (searchPly == 0) currentRootLine = &rootMoves->lines[t];
        if (depth >= 2) {
            const SearchStatus check = checkTimeAndInput();
            if (check != Completed) return {check, alpha};
        }

        const Square from = moves.from[t];
        const Square to = moves.to[t];
        const int capturedValue = rules.pieceValues[kindOf(position.board[to])];
        const bool pawnPush = pawnToSeventh(position.board[from], from);

        Position& child = history_[ply_ + 1];
        copyState(child, position);
        ++ply_;
        ++positionCount_;
        makeMove(from, to, child, rules);
        prefetchHashEntry(hashTable.get(), child.hashKey);
        switchSide(child);
        if (!generateMoves(child, childMoves, Generation::Full, rules)) {
            --ply_;
            --positionCount_;
            continue;
        }

        const std::size_t pvHeight = pvStack.size();
        pvStack.push_back({searchPly, static_cast<uint8_t>(from), static_cast<uint8_t>(to)});

        bool extended = false;
        if (extensions < settings.maxExtensions) {
            const bool checkExtension = settings.useCheckExtension && child.inCheck &&
                                        ((phase <= 2 && depth <= 7) || (phase == 3 && depth <= 3));
            const bool pawnExtension =
                settings.usePawnExtension && (phase == 2 || phase == 3) && pawnPush && depth <= 3;
            extended = checkExtension || pawnExtension;
        }
        const int newDepth = extended ? depth : depth - 1;
        const int childExtensions = extended ? extensions + 1 : extensions;

        int score;
        NodeResult result{Completed, 0};
        if (t > 0 && extensions == 0 && !extended && futile && !child.inCheck &&
            futilityValue + capturedValue <= alpha) {
            score = alpha;
            stop = true;
        } else if (settings.usePvs && alphaRaised) {
            result = alphaBeta(child, childMoves, -alpha - 1, -alpha, newDepth, searchPly + 1, childExtensions);
            score = -result.score;
            if (result.status == Completed && score > alpha && score < beta) {
                result = alphaBeta(child, childMoves, -beta, -alpha, newDepth, searchPly + 1, childExtensions);
                score = -result.score;
            }
        } else {
            result = alphaBeta(child, childMoves, -beta, -alpha, newDepth, searchPly + 1, childExtensions);
            score = -result.score;
        }

        ++searched;
        if (result.status == Aborted) {
            pvStack.resize(pvHeight);
            return {Aborted, score};
        }
        --ply_;
        --positionCount_;
        if (result.status != Completed) {
            pvStack.resize(pvHeight);
            return {result.status, score};
        }

        if (searchPly == 0) rootResults.append(from, to, score);
        bool raised = false;
        if (score > alpha) {
            bestMoveFrom = from;
            bestMoveTo = to;
            alpha = score;
            bound = Exact;
            alphaRaised = raised = true;
            bestNodes = nodeCount - movesStartNodes;
        }
        if (searchPly == 0) keepRootLine(t, score);
        if (settings.useCutoffs && alpha >= beta) {
            bestMoveFrom = from;
            bestMoveTo = to;
            if (settings.useHistory && isEmpty(position.board[to])) addHistory(side, from, to, depth);
            alpha = beta;
            stop = true;
            bound = Lower;
            bestNodes = nodeCount - movesStartNodes;
        }
        if (raised && searchPly == 0) {
            bestFrom = static_cast<uint8_t>(from);
            bestTo = static_cast<uint8_t>(to);
        }
        if (!raised || searchPly == 0) pvStack.resize(pvHeight);
    }

    if (searched > 0) {
        if (bound == Lower) {
            storeHash(position, depth, bestNodes, beta, Lower, bestMoveFrom, bestMoveTo);
        } else if (bound == Exact) {
            storeHash(position, depth, bestNodes, alpha, Exact, bestMoveFrom, bestMoveTo);
            if (settings.useHistory && isEmpty(position.board[bestMoveTo]))
                addHistory(side, bestMoveFrom, bestMoveTo, depth);
        } else {
            storeHash(position, depth, nodeCount - startNodes, alpha, Upper, 0, 0);
        }
        return {Completed, alpha};
    }

    return {Completed, scoreNoLegalMove(position, searchPly)};
}
