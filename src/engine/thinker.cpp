#include "engine/thinker.h"

#include <algorithm>
#include <cstdlib>

#include "search/clock.h"
#include "search/move_order.h"

namespace {
enum class Extension { None, BookMiss, Swing };
constexpr int64_t progressIntervalMs = 2000;
}  // namespace

Thinker::Thinker(const Rules& rules, const Evaluator& evaluator, TranspositionTable& table, const OpeningBook& book,
                 Random& random)
    : rules_(rules), book_(book), random_(random), search_(rules, evaluator, table) {
    search_.poller = this;
}

bool Thinker::iterationScore(const SearchResult& result, int& score) const {
    if (result.status == Completed) {
        score = result.score;
        return true;
    }
    const RootResults& done = search_.rootResults();
    for (int r = 0; r < done.count; ++r) {
        if (done.from[r] == result.bestFrom && done.to[r] == result.bestTo) {
            score = done.score[r];
            return true;
        }
    }
    return false;
}

// The line shown is the best move's own, checked move by move, so that a
// GUI is never shown an illegal move.
ThinkingReport Thinker::makeReport(int depth, const SearchResult& result) const {
    ThinkingReport report;
    report.status = result.status;
    report.depth = depth;
    report.hasScore = iterationScore(result, report.score);
    report.elapsedMs = std::max<int64_t>(nowMs() - searchStart_, 0);
    report.nodes = search_.nodes();
    report.bestFrom = result.bestFrom;
    report.bestTo = result.bestTo;

    PvLine line;
    line.length = 1;
    line.from[0] = result.bestFrom;
    line.to[0] = result.bestTo;
    const RootMoveList& root = search_.rootMoves();
    for (int t = 0; t < root.moves.count; ++t) {
        const PvLine& kept = root.lines[t];
        if (kept.length > 0 && kept.from[0] == result.bestFrom && kept.to[0] == result.bestTo) {
            line = kept;
            break;
        }
    }
    Position position = search_.root();
    report.line.length = 0;
    for (int i = 0; i < line.length; ++i) {
        MoveList legal;
        generateLegalMoves(position, legal, rules_);
        if (!legal.contains(line.from[i], line.to[i])) break;
        report.line.from[i] = line.from[i];
        report.line.to[i] = line.to[i];
        report.line.length = i + 1;
        makeMove(line.from[i], line.to[i], position, rules_);
        switchSide(position);
    }
    return report;
}

// An analysis deep enough to spend minutes on an iteration still tells the
// GUI every few seconds what it has: the iteration's best move once it has
// a score, else the last line again, with the time and nodes of now. The
// best move so far is the first to reach the highest score of the root
// moves done: each move that raised alpha scored above every one before.
void Thinker::showProgress(int64_t now) {
    if (now - shownAt_ < progressIntervalMs) return;
    const RootResults& done = search_.rootResults();
    int best = -1;
    for (int r = 0; r < done.count; ++r)
        if (best < 0 || done.score[r] > done.score[best]) best = r;
    if (best >= 0) shownLine_ = {iterationDepth_, done.score[best], done.from[best], done.to[best]};
    if (shownLine_.depth <= 0) return;
    ThinkingReport report;
    report.progress = true;
    report.status = Completed;
    report.depth = shownLine_.depth;
    report.hasScore = true;
    report.score = shownLine_.score;
    report.elapsedMs = std::max<int64_t>(now - searchStart_, 0);
    report.nodes = search_.nodes();
    report.bestFrom = shownLine_.from;
    report.bestTo = shownLine_.to;
    if (sink_->report(report)) shownAt_ = nowMs();
}

SearchStatus Thinker::poll() {
    const int64_t now = nowMs();
    const SearchStatus input = sink_->readInput();
    if (input != Completed) return input;
    // Analysis has no clock: it runs until the GUI stops it.
    if (analysing_) {
        showProgress(now);
        return Completed;
    }
    // The move must reach the GUI within its time, which also pays for the
    // last thinking line, the answer and its way through the pipe: a GUI
    // keeping a fixed time per move flags the first move that is late. So
    // the search stops a tenth of the budget early, at most 100 ms.
    const int64_t answerReserve = std::min(limits_.budgetMs / 10, 100);
    if (now > searchStart_ + limits_.budgetMs - answerReserve || now > searchStart_ + limits_.maxMs) return TimeUp;
    return Completed;
}

SearchResult Thinker::think(const Game& game, MoveList& moves, const ThinkRequest& request, ThinkingSink& sink) {
    const Position& position = game.current();
    const bool humanToMove = !request.enginesMove;
    sink_ = &sink;
    limits_ = request.limits;
    analysing_ = request.analysing;

    search_.setRoot(game.view(), request.rootPlaysOn);
    search_.startRoot(moves);
    const NodeResult first = search_.preSearch(moves);
    searchStart_ = nowMs();
    search_.startIterations();
    shownLine_ = ShownLine{};
    shownAt_ = searchStart_;

    // A forced move needs no thought, and one of two little; neither may
    // take longer than the clock or the fixed time per move allows.
    if (!humanToMove) {
        if (moves.count == 1)
            limits_.budgetMs = std::min(limits_.budgetMs, 1000);
        else if (moves.count == 2)
            limits_.budgetMs /= 2;
    }

    SearchResult result;
    result.bestFrom = first.bestFrom;
    result.bestTo = first.bestTo;
    Extension extension = Extension::None;
    bool fromBook = false;
    if (!humanToMove && !analysing_ && memory.bookActive && game.fromStartPosition()) {
        const GameView view = game.view();
        Position current = position;
        fromBook =
            book_.chooseMove(view.positions, view.count, current, rules_, random_, result.bestFrom, result.bestTo) != 0;
        if (!fromBook) {
            // Leaving the book is the moment to think hardest, unless the
            // time per move is fixed ("st") or too short to lengthen: "st"
            // is a limit the GUI enforces.
            memory.bookActive = false;
            if (limits_.extensionAllowed) limits_.lengthen();
            extension = Extension::BookMiss;
        }
    }

    if (!fromBook) {
        int& previousScore = memory.prevScore[colourIndex(position.sideToMove)];
        int& extensionsMade = memory.extensionsUsed[colourIndex(position.sideToMove)];
        bool goOn = true;
        bool timeShort = false;
        for (int depth = 2;; ++depth) {
            const int64_t iterationStart = nowMs();
            iterationDepth_ = depth;
            const NodeResult iteration = search_.searchRoot(moves, -infinityScore, infinityScore, depth);
            result.status = iteration.status;
            result.score = iteration.score;
            if (iteration.hasMove()) {
                result.bestFrom = iteration.bestFrom;
                result.bestTo = iteration.bestTo;
            }
            const int64_t iterationEnd = nowMs();
            // A search stopped because the game changed has nothing more to
            // say: its line would be read as one of the position shown now.
            if (result.status != Aborted) {
                const ThinkingReport report = makeReport(depth, result);
                if (sink.report(report) && report.hasScore) {
                    shownLine_ = {depth, report.score, result.bestFrom, result.bestTo};
                    shownAt_ = nowMs();
                }
            }

            search_.halveHistory(WHITE);
            search_.halveHistory(BLACK);

            // A mate found within reach of the root will not change.
            goOn = goOn && std::abs(result.score) <= mateWithin(20) && result.status == Completed;
            if (result.status == TimeUp) timeShort = true;
            // The next iteration takes at least twice as long as this one.
            // Analysis has no time budget: it runs until it is stopped.
            if (goOn && !analysing_ &&
                (iterationEnd - iterationStart) / 2 > searchStart_ + limits_.budgetMs - nowMs()) {
                goOn = false;
                timeShort = true;
            }
            if (extension != Extension::None) {
                if (extension == Extension::Swing) goOn = false;
            } else if (timeShort && !humanToMove && position.plyCount > 8 && previousScore != noScore &&
                       std::abs(previousScore - result.score) > 750 && extensionsMade < 3 && limits_.extensionAllowed) {
                // The score swung: something is happening, so take more time
                // for one more iteration.
                limits_.lengthen();
                ++extensionsMade;
                goOn = true;
                extension = Extension::Swing;
            }
            RootMoveList& root = search_.rootMoves();
            if (root.moves.count > 1) sortRootMoves(root, 0, root.moves.count - 1);
            if (!(depth - 1 < limits_.depth && goOn)) break;
        }
        previousScore = result.score;
    }

    search_.finish();
    sink_ = nullptr;
    return result;
}
