// The main search: negamax alpha-beta with a null-window re-search scheme,
// null-move and futility pruning, check and pawn extensions, history
// counters and the transposition table. The positions of the current line
// live in the search's own line, after the game's positions it can repeat.
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

// The most game positions a repetition test looks back into. A test stops
// at the first earlier position with other material, and one that lies
// behind a pawn move or a lost castling right can never recur; a hundred
// plies without either end the game by the fifty-move rule. So a game line
// longer than this matters only where a UCI host plays on far beyond that
// rule without a capture.
constexpr int repeatableGamePositions = 1024;

constexpr int64_t preSearchNodeLimit = 10000;

}  // namespace

Search::Search(const Rules& chessRules, const Evaluator& evaluation, TranspositionTable& table)
    : rules(chessRules),
      evaluator(evaluation),
      table_(table),
      line_(repeatableGamePositions + searchLineReserve + 2),
      rootMoves_(std::make_unique<RootMoveList>()) {
    pvStack_.reserve(1 << 16);
}

void Search::setRoot(GameView game, bool playsOn) {
    const Position* root = &game.positions[game.count - 1];
    const int total = root->whiteMaterialCount + root->blackMaterialCount;
    int first = game.count - 1;
    while (first > 0 && game.count - first < repeatableGamePositions) {
        const Position& earlier = game.positions[first - 1];
        if (earlier.whiteMaterialCount + earlier.blackMaterialCount != total) break;
        --first;
    }
    rootIndex_ = game.count - 1 - first;
    std::copy(game.positions + first, game.positions + game.count, line_.begin());
    if (playsOn) {
        Position& position = line_[rootIndex_];
        position.setBothStatus(Normal);
        if (position.inCheck) (position.sideToMove == WHITE ? position.whiteStatus : position.blackStatus) = InCheck;
    }
}

void Search::startRoot(MoveList& moves) {
    Position& position = line_[rootIndex_];
    currentRootLine_ = nullptr;
    // The values a generation of the root chooses now, with its material
    // counts up to date.
    orderingValues_ = phasePieceValues(gamePhase(position));
    scoreMoves(position, moves, -1);
    if (moves.count > 1) sortMoves(moves, 0, moves.count - 1);
    rootMoves_->moves = moves;
    for (PvLine& line : rootMoves_->lines) line.length = 0;
}

NodeResult Search::preSearch(MoveList& moves) {
    quiescencePolls_ = false;
    quiescenceNodeLimit_ = nodes_ + preSearchNodeLimit;
    return shallowSearch(line_[rootIndex_], moves, -infinityScore, infinityScore, 1, 0, rootIndex_);
}

void Search::startIterations() {
    nodes_ = 0;
    publishedNodes_.store(0, std::memory_order_relaxed);
    lastLoopMoveIndex_ = 0;
    selectiveDepth_ = 0;
    clearHistoryCounters();
    quiescencePolls_ = true;
    quiescenceNodeLimit_ = quiescencePollInterval;
}

void Search::finish() {
    publishedNodes_.store(nodes_, std::memory_order_relaxed);
    quiescencePolls_ = false;
    quiescenceNodeLimit_ = INT64_MAX;
}

// The root moves are searched in the order the last iteration left them, and
// each gathers its score and line afresh.
NodeResult Search::searchRoot(MoveList& moves, int alpha, int beta, int depth, int firstMove) {
    rootResults_.count = 0;
    pvStack_.clear();
    MoveList& root = rootMoves_->moves;
    for (int i = 0; i < root.count; ++i) root.score[i] = mateScore - i;
    firstRootMove_ = std::clamp(firstMove, 0, root.count);
    if (firstRootMove_ == 0) {
        moves = root;
    } else {
        moves.count = root.count - firstRootMove_;
        for (int i = 0; i < moves.count; ++i) {
            moves.from[i] = root.from[firstRootMove_ + i];
            moves.to[i] = root.to[firstRootMove_ + i];
            moves.score[i] = root.score[firstRootMove_ + i];
        }
    }
    const NodeResult result = alphaBeta(line_[rootIndex_], moves, alpha, beta, depth, 0, 0);
    publishedNodes_.store(nodes_, std::memory_order_relaxed);
    return result;
}

void Search::bringRootMoveTo(int firstMove, uint8_t from, uint8_t to) {
    RootMoveList& root = *rootMoves_;
    for (int i = root.moves.count - 1; i > firstMove; --i) {
        if (root.moves.from[i] != from || root.moves.to[i] != to) continue;
        for (int j = i; j > firstMove; --j) {
            std::swap(root.moves.from[j], root.moves.from[j - 1]);
            std::swap(root.moves.to[j], root.moves.to[j - 1]);
            std::swap(root.moves.score[j], root.moves.score[j - 1]);
            std::swap(root.lines[j], root.lines[j - 1]);
        }
        return;
    }
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

// The line is read back from the stack: for each ply, the newest node below
// the ply taken before it. The move's score orders the next iteration.
void Search::keepRootLine(int t, int score) {
    t += firstRootMove_;
    PvLine& line = rootMoves_->lines[t];
    line.length = pvStack_.back().searchPly + 1;
    if (line.length > PvLine::capacity) line.length = PvLine::capacity;
    int limit = PvLine::capacity;
    for (std::size_t k = pvStack_.size(); k-- > 0;) {
        const PvNode& node = pvStack_[k];
        if (node.searchPly < limit) {
            line.from[node.searchPly] = node.from;
            line.to[node.searchPly] = node.to;
            limit = node.searchPly;
        }
    }
    rootMoves_->moves.score[t] += score - t;
}

NodeResult Search::alphaBeta(Position& position, MoveList& moves, int alpha, int beta, int depth, int searchPly,
                             int extensions) {
    const uint8_t side = position.sideToMove;
    NodeBound bound = Upper;
    int searched = 0;
    bool alphaRaised = false;
    bool futile = false;
    bool stop = false;
    const int64_t startNodes = nodes_;
    int64_t bestNodes = 0;
    uint8_t bestMoveFrom = 0;
    uint8_t bestMoveTo = 0;
    // The node's slot in the line; its children go in the next.
    const int linePly = rootIndex_ + searchPly;
    if (searchPly > selectiveDepth_) selectiveDepth_ = searchPly;

    if (searchPly >= 2) {
        const int tableScore = probeHash(position, searchPly, depth, alpha, beta);
        if (tableScore != hashMiss) return {Completed, tableScore};
    }

    if (int gameScore = 0; scoreFinishedGame(position, searchPly, gameScore)) return {Completed, gameScore};
    const int status = position.status();

    if (depth <= 0) {
        const NodeResult horizon = horizonScore(position, moves, alpha, beta, searchPly);
        if (horizon.status != Completed) return {horizon.status, alpha};
        if (settings.useQuiescence) storeHash(position, depth, nodes_ - startNodes, horizon.score, Exact, 0, 0);
        return horizon;
    }

    const int phase = gamePhase(position);

    // Null move: if passing still holds beta with a reduced search, a real
    // move will too. Not in check, not late in the game (zugzwang), and not
    // right after the parent's first move.
    if (settings.useNullMove && lastLoopMoveIndex_ >= settings.nullMoveMinIndex && status == Normal && phase <= 2) {
        const int reduction = settings.nullMoveReduction[phase];
        if (reduction > 0 && depth >= reduction + 1) {
            Position& child = line_[linePly + 1];
            copyState(child, position);
            // The en-passant right was the passing side's; the side that
            // pushed, moving again, has none.
            child.enPassantTimer = 0;
            switchSide(child);
            MoveList childMoves;
            const int legal = generate(child, childMoves, linePly + 1);
            NodeResult passed{Completed, 0};
            // The passed position itself is no position of the game: the
            // children of the reduced search look back from this node.
            if (legal)
                passed = shallowSearch(child, childMoves, -beta, 1 - beta, depth - reduction - 1, searchPly + 1,
                                       linePly + 1);
            if (passed.status == Aborted) return {Aborted, passed.score};
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
        lastLoopMoveIndex_ = t;
        if (t == 0) bestMoveFrom = bestMoveTo = 0;
        pickNextMove(t, moves);
        const int64_t movesStartNodes = nodes_;
        ++nodes_;
        if (searchPly == 0) currentRootLine_ = &rootMoves_->lines[firstRootMove_ + t];
        if (depth >= 2) {
            const SearchStatus check = checkTimeAndInput();
            if (check != Completed) return {check, alpha, bestMoveFrom, bestMoveTo};
        }

        const Square from = moves.from[t];
        const Square to = moves.to[t];
        const int capturedValue = orderingValues_[kindOf(position.board[to])];
        const bool pawnPush = pawnToSeventh(position.board[from], from);

        Position& child = line_[linePly + 1];
        copyState(child, position);
        makeMove(from, to, child, rules);
        table_.prefetch(child.hashKey);
        switchSide(child);
        if (!generate(child, childMoves, linePly + 1)) continue;

        const std::size_t pvHeight = pvStack_.size();
        pvStack_.push_back({searchPly, static_cast<uint8_t>(from), static_cast<uint8_t>(to)});

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
        if (result.status != Completed) {
            pvStack_.resize(pvHeight);
            return {result.status, score, bestMoveFrom, bestMoveTo};
        }

        if (searchPly == 0) rootResults_.append(from, to, score);
        bool raised = false;
        if (score > alpha) {
            bestMoveFrom = static_cast<uint8_t>(from);
            bestMoveTo = static_cast<uint8_t>(to);
            alpha = score;
            bound = Exact;
            alphaRaised = raised = true;
            bestNodes = nodes_ - movesStartNodes;
        }
        if (searchPly == 0) keepRootLine(t, score);
        if (settings.useCutoffs && alpha >= beta) {
            bestMoveFrom = static_cast<uint8_t>(from);
            bestMoveTo = static_cast<uint8_t>(to);
            if (settings.useHistory && isEmpty(position.board[to])) addHistory(side, from, to, depth);
            alpha = beta;
            stop = true;
            bound = Lower;
            bestNodes = nodes_ - movesStartNodes;
        }
        if (!raised || searchPly == 0) pvStack_.resize(pvHeight);
    }

    if (searched > 0) {
        if (bound == Lower) {
            storeHash(position, depth, bestNodes, beta, Lower, bestMoveFrom, bestMoveTo);
        } else if (bound == Exact) {
            storeHash(position, depth, bestNodes, alpha, Exact, bestMoveFrom, bestMoveTo);
            if (settings.useHistory && isEmpty(position.board[bestMoveTo]))
                addHistory(side, bestMoveFrom, bestMoveTo, depth);
        } else {
            storeHash(position, depth, nodes_ - startNodes, alpha, Upper, 0, 0);
        }
        return {Completed, alpha, bestMoveFrom, bestMoveTo};
    }

    return {Completed, scoreNoLegalMove(position, searchPly)};
}
