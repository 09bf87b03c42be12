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
    : rules_(rules), evaluator_(evaluator), table_(table), book_(book), random_(random) {
    searches_.push_back(std::make_unique<Search>(rules, evaluator, table));
    searches_[0]->poller = this;
}

Thinker::~Thinker() = default;

// The searches of the helpers are made before their threads, and kept when
// the threads cannot be had.
bool Thinker::setThreads(int count) {
    count = std::clamp(count, 1, maxThreads);
    if (count == threads()) return true;
    helpers_.reset();
    try {
        searches_.resize(1);
        while (threads() < count) {
            searches_.push_back(std::make_unique<Search>(rules_, evaluator_, table_));
            searches_.back()->poller = &helperPoll_;
        }
        if (count > 1) helpers_ = std::make_unique<ThreadPool>(count - 1);
        return true;
    } catch (const std::exception&) {
        helpers_.reset();
        searches_.resize(1);
        return false;
    }
}

int64_t Thinker::totalNodes() const {
    int64_t nodes = searches_[0]->nodes();
    for (std::size_t i = 1; i < searches_.size(); ++i) nodes += searches_[i]->publishedNodes();
    return nodes;
}

// The helpers search the main thread's root moves in their own order, every
// other one a ply deeper, so that they reach other parts of the tree first;
// they stop at the depth limit or when the main thread is done.
void Thinker::helperSearch(int index, const Game& game, const ThinkRequest& request, const MoveList& rootMoves) {
    Search& search = *searches_[index];
    MoveList moves = rootMoves;
    search.setRoot(game.view(), request.rootPlaysOn);
    search.startRoot(moves);
    search.startIterations();
    for (int depth = 2 + index % 2; depth <= request.limits.depth + 1 + index % 2; ++depth) {
        if (search.searchRoot(moves, -infinityScore, infinityScore, depth).status != Completed) break;
        search.halveHistory(WHITE);
        search.halveHistory(BLACK);
        RootMoveList& root = search.rootMoves();
        if (root.moves.count > 1) sortRootMoves(root, 0, root.moves.count - 1);
    }
    search.finish();
}

bool Thinker::iterationScore(const SearchResult& result, int& score) const {
    if (result.status == Completed) {
        score = result.score;
        return true;
    }
    const RootResults& done = searches_[0]->rootResults();
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
    report.nodes = totalNodes();
    report.bestFrom = result.bestFrom;
    report.bestTo = result.bestTo;

    PvLine line;
    line.length = 1;
    line.from[0] = result.bestFrom;
    line.to[0] = result.bestTo;
    const RootMoveList& root = searches_[0]->rootMoves();
    for (int t = 0; t < root.moves.count; ++t) {
        const PvLine& kept = root.lines[t];
        if (kept.length > 0 && kept.from[0] == result.bestFrom && kept.to[0] == result.bestTo) {
            line = kept;
            break;
        }
    }
    Position position = searches_[0]->root();
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
    const RootResults& done = searches_[0]->rootResults();
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
    report.nodes = totalNodes();
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

    Search& main = *searches_[0];
    main.setRoot(game.view(), request.rootPlaysOn);
    main.startRoot(moves);
    const MoveList rootMoves = main.rootMoves().moves;
    const NodeResult first = main.preSearch(moves);
    searchStart_ = nowMs();
    main.startIterations();
    for (std::size_t i = 1; i < searches_.size(); ++i) searches_[i]->startIterations();
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
        if (helpers_) {
            helperPoll_.stop.store(false, std::memory_order_relaxed);
            helpers_->start(
                [this, &game, &request, &rootMoves](int i) { helperSearch(i + 1, game, request, rootMoves); });
        }
        int& previousScore = memory.prevScore[colourIndex(position.sideToMove)];
        int& extensionsMade = memory.extensionsUsed[colourIndex(position.sideToMove)];
        bool goOn = true;
        bool timeShort = false;
        for (int depth = 2;; ++depth) {
            const int64_t iterationStart = nowMs();
            iterationDepth_ = depth;
            const NodeResult iteration = main.searchRoot(moves, -infinityScore, infinityScore, depth);
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

            main.halveHistory(WHITE);
            main.halveHistory(BLACK);

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
            RootMoveList& root = main.rootMoves();
            if (root.moves.count > 1) sortRootMoves(root, 0, root.moves.count - 1);
            if (!(depth - 1 < limits_.depth && goOn)) break;
        }
        previousScore = result.score;
        if (helpers_) {
            helperPoll_.stop.store(true, std::memory_order_relaxed);
            helpers_->wait();
        }
    }

    main.finish();
    result.nodes = totalNodes();
    sink_ = nullptr;
    return result;
}
