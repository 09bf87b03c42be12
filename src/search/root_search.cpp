// The root of the search: the book first, then iterative deepening from
// depth 2 with one thinking line per iteration, and the decisions about the
// time this move may take.
#include <algorithm>
#include <cstdlib>

#include "board/move_text.h"
#include "engine/engine.h"
#include "search/clock.h"
#include "search/move_order.h"

namespace {
enum class Extension { None, BookMiss, Swing };
constexpr int64_t preSearchNodeLimit = 10000;
constexpr int64_t progressIntervalMs = 2000;
}  // namespace

bool Engine::iterationScore(bool finished, int& score) const {
    if (finished) {
        score = searchScore;
        return true;
    }
    for (int r = 0; r < rootResults.count; ++r) {
        if (rootResults.from[r] == bestFrom && rootResults.to[r] == bestTo) {
            score = rootResults.score[r];
            return true;
        }
    }
    return false;
}

// A search stopped because the game changed, or whose position the GUI has
// already left, has nothing more to say: its line would be read as one of
// the position the GUI shows now.
void Engine::printThinking(int depth, SearchStatus status) {
    if (status == Aborted || gameChangeWaiting()) return;
    if (uciMode) {
        printUciInfo(depth, status);
        return;
    }
    // A GUI shows and records the score, so a line whose best move has only
    // a bound is not printed.
    int score = 0;
    if (!iterationScore(status == Completed, score)) return;
    shownLine = {depth, score, bestFrom, bestTo};
    printShownLine();
}

// An analysis deep enough to spend minutes on an iteration still tells the
// GUI every few seconds what it has: the iteration's best move once it has
// a score, else the last line again, with the time and nodes of now.
void Engine::showProgress(int64_t now) {
    if (uciMode || now - shownAt < progressIntervalMs) return;
    if (int score = 0; iterationScore(false, score)) shownLine = {iterationDepth, score, bestFrom, bestTo};
    if (shownLine.depth > 0) printShownLine();
}

void Engine::printShownLine() {
    const ShownLine& line = shownLine;
    char text[160];
    std::snprintf(text, sizeof text, "%d %d %d %lld %s", line.depth, line.score * 100 / 1000, elapsedSeconds * 100,
                  static_cast<long long>(nodeCount), moveText(line.from, line.to).c_str());
    printLine(text);
    shownAt = nowMs();
}

SearchStatus Engine::rootSearch(Position& position, MoveList& moves, int alpha, int beta, int depthLimit) {
    const bool whiteToMove = position.sideToMove == WHITE;
    const bool humanToMove = (whiteToMove ? whitePlayer : blackPlayer) == 'H';
    rules.repetitionCheckOn = true;
    currentRootLine = nullptr;

    scoreMoves(position, moves, -1);
    if (moves.count > 1) sortMoves(moves, 0, moves.count - 1);
    rootMoves->moves = moves;
    for (PvLine& line : rootMoves->lines) line.length = 0;

    // A one-ply search first, so that a legal move exists even if the first
    // iteration is stopped at once. It reads no input, so its capture search
    // stops where a crowded board (queens everywhere) would make it run for
    // seconds; a usual position needs a few thousand nodes.
    quiescencePolls = false;
    quiescenceNodeLimit = nodeCount + preSearchNodeLimit;
    shallowSearch(position, moves, -infinityScore, infinityScore, 1, 0);

    searchStart = nowMs();
    rootPly = ply;
    rootPositionCount = positionCount;
    nodeCount = 0;
    currentMoveIndex = 0;
    clearHistoryCounters();
    quiescencePolls = true;
    quiescenceNodeLimit = quiescencePollInterval;
    quiescenceStop = Completed;
    shownLine = ShownLine{};
    shownAt = searchStart;

    // A forced move needs no thought, and one of two little; neither may
    // take longer than the clock or the fixed time per move allows.
    const int savedBudget = timeBudgetMs;
    if (!humanToMove) {
        if (moves.count == 1)
            timeBudgetMs = std::min(timeBudgetMs, 1000);
        else if (moves.count == 2)
            timeBudgetMs /= 2;
    }

    SearchStatus status = Completed;
    Extension extension = Extension::None;
    bool fromBook = false;
    if (!humanToMove && !analysing && bookActive && setupText == startPositionText) {
        fromBook = bookMove(bestFrom, bestTo) != 0;
        if (!fromBook) {
            // Leaving the book is the moment to think hardest, unless the
            // time per move is fixed ("st") or too short to lengthen: "st"
            // is a limit the GUI enforces.
            bookActive = false;
            if (extensionAllowed) lengthenBudget();
            extension = Extension::BookMiss;
        }
    }

    if (!fromBook) {
        elapsedSeconds = 0;
        int& previousScore = whiteToMove ? prevScoreWhite : prevScoreBlack;
        int& extensionsUsed = whiteToMove ? extensionsWhite : extensionsBlack;
        bool goOn = true;
        bool timeShort = false;
        for (int depth = 2;; ++depth) {
            const int64_t iterationStart = nowMs();
            iterationDepth = depth;
            status = alphaBeta(position, moves, alpha, beta, depth, 0, 0);
            const int64_t iterationEnd = nowMs();
            printThinking(depth, status);

            halveHistory(WHITE);
            halveHistory(BLACK);

            // A mate found within reach of the root will not change.
            goOn = goOn && std::abs(searchScore) <= 380000 && status == Completed;
            if (status == TimeUp) timeShort = true;
            // The next iteration takes at least twice as long as this one.
            // Analysis has no time budget: it runs until it is stopped.
            if (goOn && !analysing && (iterationEnd - iterationStart) / 2 > searchStart + timeBudgetMs - nowMs()) {
                goOn = false;
                timeShort = true;
            }
            if (extension != Extension::None) {
                if (extension == Extension::Swing) goOn = false;
            } else if (timeShort && !humanToMove && position.plyCount > 8 && previousScore != noScore &&
                       std::abs(previousScore - searchScore) > 750 && extensionsUsed < 3 && extensionAllowed) {
                // The score swung: something is happening, so take more time
                // for one more iteration.
                lengthenBudget();
                ++extensionsUsed;
                goOn = true;
                extension = Extension::Swing;
            }
            if (rootMoves->moves.count > 1) sortRootMoves(*rootMoves, 0, rootMoves->moves.count - 1);
            if (!(depth - 1 < depthLimit && goOn)) break;
        }
        previousScore = searchScore;
    }

    if (!humanToMove) timeBudgetMs = savedBudget;
    quiescencePolls = false;
    quiescenceNodeLimit = INT64_MAX;
    return status;
}
