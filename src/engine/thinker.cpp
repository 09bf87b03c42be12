#include "engine/thinker.h"

#include <algorithm>
#include <cstdlib>

#include "board/move_text.h"
#include "search/clock.h"
#include "search/move_order.h"

namespace {
enum class Extension { None, BookMiss, Swing };
constexpr int64_t progressIntervalMs = 2000;
}  // namespace

std::string lineText(const Position& start, const PvLine& line, const Rules& rules) {
    std::string text;
    Position position = start;
    for (int i = 0; i < line.length; ++i) {
        if (i > 0) text += ' ';
        text += uciMove(position, line.from[i], line.to[i]);
        makeMove(line.from[i], line.to[i], position, rules);
        switchSide(position);
    }
    return text;
}

Thinker::Thinker(const Rules& rules, const Evaluator& evaluator, TranspositionTable& table, const OpeningBook& book,
                 Random& random)
    : rules_(rules), evaluator_(evaluator), table_(table), book_(book), random_(random) {
    searches_.push_back(std::make_unique<Search>(rules, evaluator, table));
    searches_[0]->stopCheck = [this] { return poll(); };
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
            // A helper stops when the main thread does.
            searches_.back()->stopCheck = [this] {
                return helpersStop_.load(std::memory_order_relaxed) ? Aborted : Completed;
            };
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
    report.selectiveDepth = searches_[0]->selectiveDepth();
    report.hashPermille = table_.permilleUsed();

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
    if (now - shownAt_ < progressIntervalMs || currentLine_ != 0) return;
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
    report.selectiveDepth = searches_[0]->selectiveDepth();
    report.hashPermille = table_.permilleUsed();
    if (sink_->report(report)) shownAt_ = nowMs();
}

SearchStatus Thinker::poll() {
    const SearchStatus input = sink_->readInput();
    if (input != Completed) return input;
    const int64_t now = nowMs();
    if (nodeLimitReached()) return MoveNow;
    // Analysis, pondering and a search without a clock run until the input,
    // the depth, the nodes or a mate stop them.
    if (!clockRuns()) {
        showProgress(now);
        return Completed;
    }
    // The move must reach the GUI within its time, which also pays for the
    // last thinking line, the answer and its way through the pipe: a GUI
    // keeping a fixed time per move flags the first move that is late. So
    // the search stops a tenth of the budget early, at most 100 ms.
    const int64_t answerReserve = std::min(limits_.budgetMs / 10, 100);
    if (now > clockStart_ + limits_.budgetMs - answerReserve || now > clockStart_ + limits_.maxMs) return TimeUp;
    return Completed;
}

// A forced move needs no thought, and one of two little; neither may take
// longer than the clock or the fixed time per move allows.
void Thinker::startClock(const SearchLimits& limits, int64_t startMs) {
    limits_ = limits;
    clockStart_ = startMs;
    if (forcedChoice_ == 1)
        limits_.budgetMs = std::min(limits_.budgetMs, 1000);
    else if (forcedChoice_ == 2)
        limits_.budgetMs /= 2;
    if (bookMissed_ && limits_.extensionAllowed) limits_.lengthen();
}

// The time spent so far was the opponent's: the budget starts now. A book
// missed while pondering is left now.
void Thinker::ponderHit(const SearchLimits& limits) {
    if (!pondering_) return;
    pondering_ = false;
    if (bookMissed_) memory.bookActive = false;
    startClock(limits, nowMs());
}

bool Thinker::expectedReply(uint8_t from, uint8_t to, uint8_t& replyFrom, uint8_t& replyTo) const {
    const Search& main = *searches_[0];
    Position position = main.root();
    makeMove(from, to, position, rules_);
    switchSide(position);
    MoveList legal;
    if (!generateLegalMoves(position, legal, rules_) || legal.count == 0) return false;
    const RootMoveList& root = main.rootMoves();
    for (int t = 0; t < root.moves.count; ++t) {
        const PvLine& line = root.lines[t];
        if (line.length >= 2 && line.from[0] == from && line.to[0] == to && legal.contains(line.from[1], line.to[1])) {
            replyFrom = line.from[1];
            replyTo = line.to[1];
            return true;
        }
    }
    HashEntry entry;
    if (main.tableMove(position, entry) && entry.from != entry.to && legal.contains(entry.from, entry.to)) {
        replyFrom = entry.from;
        replyTo = entry.to;
        return true;
    }
    return false;
}

// Each line is the best of the root moves the lines before it left, searched
// with the full window; the lines are shown best first. A line cut short is
// not shown, and the best completed one stands.
void Thinker::searchLines(int depth, const ThinkRequest& request, MoveList& moves, SearchResult& result) {
    Search& main = *searches_[0];
    RootMoveList& root = main.rootMoves();
    const int count = std::min(request.lines, root.moves.count);
    int done = 0;
    result.status = Completed;
    for (; done < count; ++done) {
        currentLine_ = done;
        const NodeResult line = main.searchRoot(moves, -infinityScore, infinityScore, depth, done);
        if (line.status != Completed) {
            result.status = line.status;
            if (done == 0) {
                result.score = line.score;
                if (line.hasMove()) {
                    result.bestFrom = line.bestFrom;
                    result.bestTo = line.bestTo;
                }
            }
            break;
        }
        main.bringRootMoveTo(done, line.bestFrom, line.bestTo);
        lineScores_[done] = line.score;
    }
    currentLine_ = 0;
    // Best first; a later line can score above an earlier one only when the
    // table or a repetition made the searches differ.
    for (int i = 1; i < done; ++i) {
        for (int j = i; j > 0 && lineScores_[j] > lineScores_[j - 1]; --j) {
            std::swap(lineScores_[j], lineScores_[j - 1]);
            main.bringRootMoveTo(j - 1, root.moves.from[j], root.moves.to[j]);
        }
    }
    if (done == 0) return;
    linesDone_ = done;
    result.score = lineScores_[0];
    result.bestFrom = root.moves.from[0];
    result.bestTo = root.moves.to[0];
    if (result.status == Aborted) return;
    const int shownCount = request.shownLines > 0 ? std::min(done, request.shownLines) : done;
    for (int i = 0; i < shownCount; ++i) {
        SearchResult shown;
        shown.score = lineScores_[i];
        shown.bestFrom = root.moves.from[i];
        shown.bestTo = root.moves.to[i];
        ThinkingReport report = makeReport(depth, shown);
        report.multiPv = i + 1;
        const bool wasShown = sink_->report(report);
        if (i == 0 && wasShown) {
            shownLine_ = {depth, shown.score, shown.bestFrom, shown.bestTo};
            shownAt_ = nowMs();
        }
    }
}

// Forgiving the whole shortfall, as the weight alone would, let the weakest
// levels now and then play a line four pawns worse when the lines were
// spread out, and a position a little worse collapsed at once. Counting it
// up to a pawn keeps the choice among moves a person might weigh.
int chooseLine(const int* scores, int count, int weakness, Random& random) {
    constexpr long long pawn = 1000;
    if (count < 2 || weakness <= 0) return 0;
    const int top = scores[0];
    const long long spread = std::min<long long>(static_cast<long long>(top) - scores[count - 1], pawn);
    int chosen = 0;
    long long chosenValue = 0;
    for (int i = 0; i < count; ++i) {
        const long long shortfall = std::min<long long>(static_cast<long long>(top) - scores[i], pawn);
        const long long value = scores[i] + (weakness * shortfall + spread * (random.next() % weakness)) / 128;
        if (i == 0 || value >= chosenValue) {
            chosen = i;
            chosenValue = value;
        }
    }
    return chosen;
}

void Thinker::chooseAmongLines(int weakness, SearchResult& result) {
    const int chosen = chooseLine(lineScores_, linesDone_, weakness, random_);
    const RootMoveList& root = searches_[0]->rootMoves();
    result.bestFrom = root.moves.from[chosen];
    result.bestTo = root.moves.to[chosen];
    result.score = lineScores_[chosen];
}

SearchResult Thinker::think(const Game& game, MoveList& moves, const ThinkRequest& request, ThinkingSink& sink) {
    const Position& position = game.current();
    const bool humanToMove = !request.enginesMove;
    sink_ = &sink;
    analysing_ = request.analysing;
    timed_ = request.timed;
    pondering_ = request.pondering;
    nodeLimit_ = request.nodes;
    forcedChoice_ = humanToMove ? 0 : moves.count;
    bookMissed_ = false;
    currentLine_ = 0;
    linesDone_ = 0;
    iterationsDone_ = 0;

    Search& main = *searches_[0];
    main.setRoot(game.view(), request.rootPlaysOn);
    main.startRoot(moves);
    const MoveList rootMoves = main.rootMoves().moves;
    const NodeResult first = main.preSearch(moves);
    searchStart_ = nowMs();
    startClock(request.limits, searchStart_);
    main.startIterations();
    for (std::size_t i = 1; i < searches_.size(); ++i) searches_[i]->startIterations();
    shownLine_ = ShownLine{};
    shownAt_ = searchStart_;

    SearchResult result;
    result.bestFrom = first.bestFrom;
    result.bestTo = first.bestTo;
    Extension extension = Extension::None;
    bool fromBook = false;
    if (!humanToMove && !analysing_ && request.useBook && memory.bookActive && game.fromStartPosition()) {
        const GameView view = game.view();
        Position current = position;
        fromBook =
            book_.chooseMove(view.positions, view.count, current, rules_, random_, result.bestFrom, result.bestTo) != 0;
        if (!fromBook) {
            // Leaving the book is the moment to think hardest, unless the
            // time per move is fixed ("st") or too short to lengthen: "st"
            // is a limit the GUI enforces. A book left while pondering is
            // left when the opponent plays the move pondered on.
            bookMissed_ = true;
            if (!pondering_) {
                memory.bookActive = false;
                if (limits_.extensionAllowed) limits_.lengthen();
            }
            extension = Extension::BookMiss;
        }
    }

    if (!fromBook) {
        const bool helped = helpers_ && request.weakness == 0;
        if (helped) {
            helpersStop_.store(false, std::memory_order_relaxed);
            helpers_->start(
                [this, &game, &request, &rootMoves](int i) { helperSearch(i + 1, game, request, rootMoves); });
        }
        int& previousScore = memory.prevScore[colourIndex(position.sideToMove)];
        int& extensionsMade = memory.extensionsUsed[colourIndex(position.sideToMove)];
        bool goOn = true;
        bool timeShort = false;
        for (int depth = std::clamp(request.firstDepth, 1, 2);; ++depth) {
            const int64_t iterationStart = nowMs();
            iterationDepth_ = depth;
            if (request.lines > 1) {
                searchLines(depth, request, moves, result);
            } else {
                const NodeResult iteration = main.searchRoot(moves, -infinityScore, infinityScore, depth);
                result.status = iteration.status;
                result.score = iteration.score;
                if (iteration.hasMove()) {
                    result.bestFrom = iteration.bestFrom;
                    result.bestTo = iteration.bestTo;
                }
                // A search stopped because the game changed has nothing more
                // to say: its line would be read as one of the position
                // shown now.
                if (result.status != Aborted) {
                    const ThinkingReport report = makeReport(depth, result);
                    if (sink.report(report) && report.hasScore) {
                        shownLine_ = {depth, report.score, result.bestFrom, result.bestTo};
                        shownAt_ = nowMs();
                    }
                }
                RootMoveList& root = main.rootMoves();
                if (root.moves.count > 1) sortRootMoves(root, 0, root.moves.count - 1);
            }
            const int64_t iterationEnd = nowMs();
            if (result.status == Completed) ++iterationsDone_;

            main.halveHistory(WHITE);
            main.halveHistory(BLACK);

            // A mate found within reach of the root will not change.
            goOn = goOn && std::abs(result.score) <= mateWithin(20) && result.status == Completed;
            if (request.mateMoves > 0 && result.score >= mateWithin(2 * request.mateMoves - 1)) goOn = false;
            if (nodeLimitReached()) goOn = false;
            if (result.status == TimeUp) timeShort = true;
            // The next iteration takes at least twice as long as this one.
            if (goOn && clockRuns() && (iterationEnd - iterationStart) / 2 > clockStart_ + limits_.budgetMs - nowMs()) {
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
            if (!(depth - 1 < limits_.depth && goOn)) break;
        }
        if (helped) {
            helpersStop_.store(true, std::memory_order_relaxed);
            helpers_->wait();
        }
        if (request.weakness > 0 && result.status != Aborted) chooseAmongLines(request.weakness, result);
        previousScore = result.score;
    }

    main.finish();
    result.nodes = totalNodes();
    sink_ = nullptr;
    return result;
}
