#include "search/move_order.h"

#include <utility>

#include "board/position.h"
#include "search/search.h"

namespace {

void swapMoves(MoveList& moves, int a, int b) {
    std::swap(moves.from[a], moves.from[b]);
    std::swap(moves.to[a], moves.to[b]);
    std::swap(moves.score[a], moves.score[b]);
}

// Hoare partition around the middle entry's score; recursion on the left
// part and a loop on the right keep the stack shallow.
template <typename Swap>
void quicksort(const int32_t* score, int first, int last, Swap swapEntries) {
    while (first < last) {
        const int32_t pivot = score[(first + last) / 2];
        int left = first;
        int right = last;
        while (left <= right) {
            while (score[left] > pivot) ++left;
            while (score[right] < pivot) --right;
            if (left <= right) {
                swapEntries(left, right);
                ++left;
                --right;
            }
        }
        if (first < right) quicksort(score, first, right, swapEntries);
        first = left;
    }
}

bool isTableMove(const HashEntry* entry, int from, int to) { return entry && entry->from == from && entry->to == to; }

// The position's table entry when it may give a move, else null.
const HashEntry* tableMoveOf(const Search& search, const Position& position, HashEntry& entry) {
    return search.tableMove(position, entry) ? &entry : nullptr;
}

}  // namespace

// The first of the highest-scored moves from i on, with i kept on a tie. The
// highest score is found first, in a loop the compiler can run on several
// scores at once, and then its first place.
void pickNextMove(int i, MoveList& moves) {
    const int32_t* score = moves.score;
    int32_t highest = score[i];
    for (int j = i + 1; j < moves.count; ++j) highest = score[j] > highest ? score[j] : highest;
    if (highest == score[i]) return;
    int best = i + 1;
    while (score[best] != highest) ++best;
    swapMoves(moves, i, best);
}

void sortMoves(MoveList& moves, int first, int last) {
    quicksort(moves.score, first, last, [&moves](int a, int b) { swapMoves(moves, a, b); });
}

void sortRootMoves(RootMoveList& root, int first, int last) {
    quicksort(root.moves.score, first, last, [&root](int a, int b) {
        swapMoves(root.moves, a, b);
        std::swap(root.lines[a], root.lines[b]);
    });
}

// The table's move first, then captures by victim and attacker, promotions,
// and quiet moves by history, piece-square gain and the square's cover.
void Search::scoreMoves(const Position& position, MoveList& moves, int searchPly) {
    if (searchPly == 0) {
        for (int i = 0; i < moves.count; ++i) {
            int32_t score = 0;
            for (int r = 0; r < rootResults_.count; ++r) {
                if (rootResults_.from[r] == moves.from[i] && rootResults_.to[r] == moves.to[i]) {
                    score = rootResults_.score[r];
                    break;
                }
            }
            moves.score[i] = score;
        }
        return;
    }

    HashEntry tableEntry;
    const HashEntry* entry = tableMoveOf(*this, position, tableEntry);
    const bool white = position.sideToMove == WHITE;
    const int* history = historyCounters[colourIndex(position.sideToMove)];
    const int sideMax = historyMax[colourIndex(position.sideToMove)];
    const int8_t* cover = white ? position.whiteAttacks : position.blackAttacks;
    // Read once: the loop's stores to the scores could otherwise make the
    // compiler fetch the piece values again each move, and the position's
    // part of the piece-square offset is the same for every move.
    const int* pieceValues = orderingValues_;
    const PieceSquareView tables = evaluator.pieceSquareView(position);
    const bool lineBonus = settings.useRootLineBonus && currentRootLine_ && searchPly != -1 &&
                           searchPly < currentRootLine_->length && searchPly < PvLine::capacity;

    for (int i = 0; i < moves.count; ++i) {
        const int from = moves.from[i];
        const int to = moves.to[i];
        if (isTableMove(entry, from, to)) {
            moves.score[i] = 50000 + entry->nodes;
            continue;
        }
        int32_t score = 0;
        if (lineBonus && currentRootLine_->from[searchPly] == from && currentRootLine_->to[searchPly] == to)
            score = 6000;
        const uint8_t attacker = position.board[from];
        const int victim = kindOf(position.board[to]);
        const bool promotion = isPromotingPawn(attacker, from);
        if (victim != EMPTY) {
            score += 3000 + pieceValues[victim] - pieceValues[kindOf(attacker)] / 10;
            if (promotion) score += 4000;
        } else if (promotion) {
            score += 5000;
        } else {
            // Counters pass 2^31 / 2000 in long searches: the product needs
            // 64 bits, the quotient is at most 2000 again.
            if (settings.useHistory && sideMax > 0)
                score += static_cast<int32_t>(int64_t{history[from * 64 + to]} * 2000 / sideMax);
            const int kind = kindOf(attacker);
            score += tables.value(kind, white, to) - tables.value(kind, white, from);
            score += 8 * cover[to] - 8;
        }
        moves.score[i] = score;
    }
}

void Search::scoreCaptures(const Position& position, MoveList& moves) {
    HashEntry tableEntry;
    const HashEntry* entry = tableMoveOf(*this, position, tableEntry);
    const int* pieceValues = orderingValues_;
    for (int i = 0; i < moves.count; ++i) {
        const int from = moves.from[i];
        const int to = moves.to[i];
        const uint8_t attacker = position.board[from];
        const int victim = kindOf(position.board[to]);
        const bool promotion = isPromotingPawn(attacker, from);
        int32_t score;
        if (victim != EMPTY) {
            score = pieceValues[victim] - pieceValues[kindOf(attacker)] / 10;
            if (isTableMove(entry, from, to)) score += entry->nodes;
            if (promotion) score += 6000;
        } else if (promotion) {
            score = 6000;
        } else {
            score = -30000;  // quiet moves sort behind every capture
        }
        moves.score[i] = score;
    }
}

int Search::generate(Position& position, MoveList& moves, int earlierCount) {
    const int legal = generateMoves(position, moves, Generation::Full, rules, {line_.data(), earlierCount});
    orderingValues_ = position.pieceValues;
    return legal;
}

// The search stops where whoever runs it says so. The node count is shown
// to the other threads here, where it costs nothing that counts.
SearchStatus Search::checkTimeAndInput() {
    publishedNodes_.store(nodes_, std::memory_order_relaxed);
    return stopCheck ? stopCheck() : Completed;
}
