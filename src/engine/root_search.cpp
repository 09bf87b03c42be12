// The root of the search: the book first, then iterative deepening from
// depth 2 with one thinking line per iteration, and the decisions about the
// time this move may take.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/move_text.h"
#include "engine/engine.h"
#include "search/clock.h"
#include "search/move_order.h"

namespace {
enum class Extension { None, BookMiss, Swing };
constexpr int64_t preSearchNodeLimit = 10000;
constexpr int64_t progressIntervalMs = 2000;

// While analysing, a GUI sends the user's moves and game commands; they must
// reach the command loop, or the engine's game and the GUI's would part.
bool changesTheGame(const char* word) {
    static const char* const commands[] = {"undo",  "remove", "new", "setboard", "exit", "force",
                                           "white", "black",  "go",  "analyze",  "quit"};
    for (const char* command : commands) {
        if (std::strcmp(word, command) == 0) return true;
    }
    Move move;
    return readCoordinateMove(word, move);
}

}  // namespace

bool Engine::iterationScore(const SearchResult& result, int& score) const {
    if (result.status == Completed) {
        score = result.score;
        return true;
    }
    const RootResults& done = search.rootResults;
    for (int r = 0; r < done.count; ++r) {
        if (done.from[r] == result.bestFrom && done.to[r] == result.bestTo) {
            score = done.score[r];
            return true;
        }
    }
    return false;
}

// A search stopped because the game changed, or whose position the GUI has
// already left, has nothing more to say: its line would be read as one of
// the position the GUI shows now.
void Engine::printThinking(int depth, const SearchResult& result) {
    if (result.status == Aborted || gameChangeWaiting()) return;
    if (uciMode) {
        printUciInfo(depth, result);
        return;
    }
    // A GUI shows and records the score, so a line whose best move has only
    // a bound is not printed.
    int score = 0;
    if (!iterationScore(result, score)) return;
    shownLine = {depth, score, result.bestFrom, result.bestTo};
    printShownLine();
}

// An analysis deep enough to spend minutes on an iteration still tells the
// GUI every few seconds what it has: the iteration's best move once it has
// a score, else the last line again, with the time and nodes of now.
void Engine::showProgress(int64_t now) {
    if (uciMode || now - shownAt < progressIntervalMs) return;
    // The iteration is still running: its best move so far has a score only
    // if that move was searched to the end.
    const SearchResult soFar{TimeUp, 0, search.bestFrom, search.bestTo};
    if (int score = 0; iterationScore(soFar, score)) shownLine = {iterationDepth, score, soFar.bestFrom, soFar.bestTo};
    if (shownLine.depth > 0) printShownLine();
}

void Engine::printShownLine() {
    const ShownLine& line = shownLine;
    char text[160];
    std::snprintf(text, sizeof text, "%d %d %d %lld %s", line.depth, line.score * 100 / 1000, elapsedSeconds * 100,
                  static_cast<long long>(search.nodeCount), moveText(line.from, line.to).c_str());
    printLine(text);
    shownAt = nowMs();
}

bool Engine::gameChangeWaiting() const {
    if (!analysing || uciMode || !mailbox || mailbox->waitingLines() == 0) return false;
    const std::string line = mailbox->waitingLine(0);
    char word[256] = {};
    return std::sscanf(line.c_str(), "%255s", word) == 1 && changesTheGame(word);
}

// The search's poll looks at the clock and the mailbox. "force", "new" and
// "quit" abort the search and "?" asks for the move now; those lines stay in
// the mailbox for the command loop. Other lines are dropped, except that
// while analysing a line that changes the game aborts the search too. In
// UCI mode the UCI front end decides.
SearchStatus Engine::poll() {
    const int64_t now = nowMs();
    if ((now - searchStart) / 1000 != elapsedSeconds) elapsedSeconds = static_cast<int>((now - searchStart + 1) / 1000);

    if (mailbox) {
        if (mailbox->waitingLines() > 0) {
            const std::string line = mailbox->waitingLine(0);
            char word[256] = {};
            if (std::sscanf(line.c_str(), "%255s", word) != 1) word[0] = '\0';
            if (uciMode)
                answerPolledUciLine(word);
            else if (std::strcmp(word, "force") == 0 || std::strcmp(word, "new") == 0 || std::strcmp(word, "quit") == 0)
                abortRequested = true;
            else if (std::strcmp(word, "?") == 0)
                moveNowRequested = true;
            else if (gameChangeWaiting())
                abortRequested = true;
            else
                mailbox->dropLine(0);
        }
    }
    if (abortRequested) {
        abortRequested = false;
        return Aborted;
    }
    if (moveNowRequested) {
        moveNowRequested = false;
        return MoveNow;
    }
    // Analysis has no clock: it runs until the GUI stops it.
    if (analysing) {
        showProgress(now);
        return Completed;
    }
    // The move must reach the GUI within its time, which also pays for the
    // last thinking line, the answer and its way through the pipe: a GUI
    // keeping a fixed time per move flags the first move that is late. So
    // the search stops a tenth of the budget early, at most 100 ms.
    const int64_t answerReserve = std::min(timeBudgetMs / 10, 100);
    if (now > searchStart + timeBudgetMs - answerReserve || now > searchStart + int64_t{defaultMaxSeconds} * 1000) {
        return TimeUp;
    }
    return Completed;
}

SearchResult Engine::rootSearch(Position& position, MoveList& moves, int alpha, int beta, int lastDepth) {
    const bool whiteToMove = position.sideToMove == WHITE;
    const bool humanToMove = (whiteToMove ? whitePlayer : blackPlayer) == Human;
    rules.repetitionCheckOn = true;
    search.currentRootLine = nullptr;

    search.scoreMoves(position, moves, -1);
    if (moves.count > 1) sortMoves(moves, 0, moves.count - 1);
    search.rootMoves->moves = moves;
    for (PvLine& line : search.rootMoves->lines) line.length = 0;

    // A one-ply search first, so that a legal move exists even if the first
    // iteration is stopped at once. It reads no input, so its capture search
    // stops where a crowded board (queens everywhere) would make it run for
    // seconds; a usual position needs a few thousand nodes.
    search.quiescencePolls = false;
    search.quiescenceNodeLimit = search.nodeCount + preSearchNodeLimit;
    search.shallowSearch(position, moves, -infinityScore, infinityScore, 1, 0);

    searchStart = nowMs();
    rootPly = ply;
    rootPositionCount = positionCount;
    search.nodeCount = 0;
    search.currentMoveIndex = 0;
    search.clearHistoryCounters();
    search.quiescencePolls = true;
    search.quiescenceNodeLimit = quiescencePollInterval;
    search.quiescenceStop = Completed;
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

    SearchResult result;
    Extension extension = Extension::None;
    bool fromBook = false;
    if (!humanToMove && !analysing && bookActive && setupText == startPositionText) {
        fromBook = bookMove(result.bestFrom, result.bestTo) != 0;
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
        int& previousScore = prevScore[colourIndex(position.sideToMove)];
        int& extensionsMade = extensionsUsed[colourIndex(position.sideToMove)];
        bool goOn = true;
        bool timeShort = false;
        for (int depth = 2;; ++depth) {
            const int64_t iterationStart = nowMs();
            iterationDepth = depth;
            result = search.searchRoot(position, moves, alpha, beta, depth);
            // An abort leaves the line where it stopped; the game is back at
            // the root.
            if (result.status == Aborted) {
                ply = rootPly;
                positionCount = rootPositionCount;
            }
            const int64_t iterationEnd = nowMs();
            printThinking(depth, result);

            search.halveHistory(WHITE);
            search.halveHistory(BLACK);

            // A mate found within reach of the root will not change.
            goOn = goOn && std::abs(result.score) <= 380000 && result.status == Completed;
            if (result.status == TimeUp) timeShort = true;
            // The next iteration takes at least twice as long as this one.
            // Analysis has no time budget: it runs until it is stopped.
            if (goOn && !analysing && (iterationEnd - iterationStart) / 2 > searchStart + timeBudgetMs - nowMs()) {
                goOn = false;
                timeShort = true;
            }
            if (extension != Extension::None) {
                if (extension == Extension::Swing) goOn = false;
            } else if (timeShort && !humanToMove && position.plyCount > 8 && previousScore != noScore &&
                       std::abs(previousScore - result.score) > 750 && extensionsMade < 3 && extensionAllowed) {
                // The score swung: something is happening, so take more time
                // for one more iteration.
                lengthenBudget();
                ++extensionsMade;
                goOn = true;
                extension = Extension::Swing;
            }
            RootMoveList& root = *search.rootMoves;
            if (root.moves.count > 1) sortRootMoves(root, 0, root.moves.count - 1);
            if (!(depth - 1 < lastDepth && goOn)) break;
        }
        previousScore = result.score;
    }

    if (!humanToMove) timeBudgetMs = savedBudget;
    search.quiescencePolls = false;
    search.quiescenceNodeLimit = INT64_MAX;
    return result;
}
