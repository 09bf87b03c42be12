#include "engine/uci_loop.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "board/move_text.h"
#include "engine/command_loop.h"
#include "search/clock.h"

namespace {

// "sd" keeps a depth to the deepest it allows.
constexpr long long unlimitedDepth = 1000;

}  // namespace

// A side mated p plies from the root scores mateScore + 1000 p; a mate that
// far is (p + 1) / 2 moves away for either side. Mates lie within the plies
// a search line can reach; every other score is material and position.
std::string uciScore(int score) {
    const int mateBound = -mateScore;
    const int magnitude = std::abs(score);
    if (magnitude > mateBound - 1000 * searchLineReserve && magnitude <= mateBound) {
        const int plies = (mateBound - magnitude + 500) / 1000;
        const int moves = std::max(1, (plies + 1) / 2);
        return "mate " + std::to_string(score > 0 ? moves : -moves);
    }
    return "cp " + std::to_string(score * 100 / 1000);
}

GoLimits GoLimits::parse(std::istream& words) {
    GoLimits limits;
    for (std::string word; words >> word;) {
        std::optional<long long>* field = nullptr;
        if (word == "wtime")
            field = &limits.whiteTime;
        else if (word == "btime")
            field = &limits.blackTime;
        else if (word == "winc")
            field = &limits.whiteIncrement;
        else if (word == "binc")
            field = &limits.blackIncrement;
        else if (word == "movestogo")
            field = &limits.movesToGo;
        else if (word == "movetime")
            field = &limits.moveTime;
        else if (word == "depth")
            field = &limits.depth;
        else if (word == "infinite")
            limits.infinite = true;
        if (!field) continue;
        // A word that is no number is read again as the next word.
        const auto mark = words.tellg();
        long long value = 0;
        if (words >> value) {
            *field = std::max(value, 0LL);
        } else {
            words.clear();
            words.seekg(mark);
        }
    }
    return limits;
}

UciLoop::UciLoop(Engine& engine) : engine_(engine) { engine_.uciMode = true; }

int UciLoop::run(InputMailbox& mailbox) {
    engine_.mailbox = &mailbox;
    // "position" lists every move of the game; the xboard loop's cut would
    // lose the end of a long one.
    mailbox.setLineLimit(InputMailbox::longestLine);
    identify();
    for (;;) {
        if (!handleLine(mailbox.takeLine())) {
            mailbox.stopReader();
            return 0;
        }
    }
}

void UciLoop::identify() {
    engine_.printLine("id name Vortelan 2.73b");
    engine_.printLine("id author the Vortelan developers");
    engine_.printLine("uciok");
}

// "stop", "ponderhit", "setoption", "debug" and "register" need nothing:
// the engine has no options and never ponders, and a "stop" that arrives
// after the search has ended is late.
bool UciLoop::handleLine(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "uci") {
        identify();
    } else if (word == "isready") {
        engine_.printLine("readyok");
    } else if (word == "ucinewgame") {
        engine_.newGame();
        positionRefused_ = false;
    } else if (word == "position") {
        setPosition(words);
    } else if (word == "go") {
        return go(words);
    } else if (word == "quit") {
        return false;
    }
    return true;
}

// Hosts send the whole game before every move, so the game restarts from
// its set-up as after "setboard", but the table, the book state and the
// scores carry on: only "ucinewgame" starts a new game. The moves go into
// the history, so the book and the repetition tests see the whole game.
void UciLoop::setPosition(std::istream& words) {
    std::string word, fen;
    words >> word;
    if (word == "fen") {
        while (words >> word && word != "moves") fen += (fen.empty() ? "" : " ") + word;
    } else if (word == "startpos") {
        words >> word;
    } else {
        return;
    }
    Engine& e = engine_;
    const char* refusal = e.setupGame(fen.empty() ? nullptr : fen.c_str());
    // The start position that stands in for a refused one is not the
    // host's game: no move is searched or played in it.
    positionRefused_ = refusal != nullptr;
    if (refusal) {
        e.printLine(std::string("info string illegal position: ") + refusal);
        return;
    }
    if (!words || word != "moves") return;
    while (words >> word && playUserMove(e, word)) {
    }
}

void UciLoop::applyLimits(const GoLimits& limits) {
    Engine& e = engine_;
    const bool white = e.currentPosition->sideToMove == WHITE;
    const std::optional<long long>& clock = white ? limits.whiteTime : limits.blackTime;
    const std::optional<long long>& increment = white ? limits.whiteIncrement : limits.blackIncrement;
    if (clock) {
        // "level" counts a period's moves from the start of the game and
        // "time" divides the clock by the moves left in the period. UCI
        // tells the moves left, so the period is made to end after them:
        // the moves played, as "time" counts them, plus the moves to go.
        // Without moves to go the clock is for the whole game, as "level 0"
        // says.
        long long period = 0;
        if (limits.movesToGo && *limits.movesToGo > 0) period = (e.ply + 1) / 2 + *limits.movesToGo;
        e.applyLevel(period, 0, increment.value_or(0));
        e.applyClock(*clock);
    }
    if (limits.moveTime) e.applyMoveTime(*limits.moveTime);
    if (limits.depth || limits.infinite) {
        const int budget = e.timeBudgetMs;
        e.applyDepth(limits.depth.value_or(unlimitedDepth));
        // A clock or a move time still bounds a search to a given depth;
        // an infinite one has only the engine's own cap.
        if ((clock || limits.moveTime) && !limits.infinite) e.timeBudgetMs = budget;
    }
}

// The engine plays the side to move, so the book is consulted and a forced
// move is played at once, as when it is to move in a game under xboard;
// "infinite" analyses the position instead.
bool UciLoop::go(std::istream& words) {
    Engine& e = engine_;
    const GoLimits limits = GoLimits::parse(words);
    applyLimits(limits);
    Position& root = *e.currentPosition;
    const bool whiteToMove = root.sideToMove == WHITE;
    e.whitePlayer = whiteToMove ? Computer : Human;
    e.blackPlayer = whiteToMove ? Human : Computer;

    MoveList legal;
    if (!positionRefused_) generateLegalMoves(root, legal, e.rules);
    MoveList moves = legal;
    SearchResult result;
    if (legal.count > 0) {
        // A host plays on after a repetition or fifty quiet moves, which a
        // player may only claim: the root is searched as a position of a
        // game that goes on, or it would end the search before any move.
        // No book line gets this far, and the book's look-up would mark the
        // root drawn again.
        if (root.status() >= Stalemate) {
            e.bookActive = false;
            root.setBothStatus(Normal);
            if (root.inCheck) (whiteToMove ? root.whiteStatus : root.blackStatus) = InCheck;
        }
        // An infinite search is analysis: no book, no clock, until "stop".
        // "quit" ended the search; it waits for the loop.
        e.analysing = limits.infinite;
        result = e.rootSearch(root, moves, -infinityScore, infinityScore, e.depthLimit);
        e.analysing = false;
        if (result.status == Aborted) return true;
    }
    if (limits.infinite && !awaitStop()) return false;

    if (legal.count == 0) {
        e.printLine("bestmove 0000");
        return true;
    }
    Square from = result.bestFrom;
    Square to = result.bestTo;
    if (!legal.contains(from, to)) {
        from = moves.from[0];
        to = moves.to[0];
    }
    e.printLine("bestmove " + uciMove(root, from, to));
    return true;
}

bool UciLoop::awaitStop() {
    Engine& e = engine_;
    if (!e.mailbox) return true;
    while (!e.abortRequested && !e.moveNowRequested) {
        e.mailbox->waitForLine();
        std::istringstream line(e.mailbox->waitingLine(0));
        std::string word;
        line >> word;
        e.answerPolledUciLine(word.c_str());
    }
    const bool quit = e.abortRequested;
    e.abortRequested = e.moveNowRequested = false;
    return !quit;
}

void Engine::answerPolledUciLine(const char* word) {
    const auto is = [word](const char* command) { return std::strcmp(word, command) == 0; };
    if (is("isready")) {
        printLine("readyok");
        mailbox->dropLine(0);
    } else if (is("quit")) {
        abortRequested = true;
    } else if (is("stop") || is("position") || is("go") || is("ucinewgame")) {
        moveNowRequested = true;
    } else {
        mailbox->dropLine(0);
    }
}

// An iteration cut short leaves bounds, not scores: its line carries a
// score only when the best move was searched to the end in it. The
// principal variation is checked move by move, so that a host is never
// shown an illegal move; the check has rules of its own, so that its move
// generations leave the piece values the search reads alone.
void Engine::printUciInfo(int depth, const SearchResult& result) {
    std::string text = "info depth " + std::to_string(depth);
    if (int score = 0; iterationScore(result, score)) text += " score " + uciScore(score);
    const long long elapsed = std::max<long long>(nowMs() - searchStart, 0);
    const long long nodes = search.nodeCount;
    text += " time " + std::to_string(elapsed) + " nodes " + std::to_string(nodes) + " nps " +
            std::to_string(nodes * 1000 / std::max(elapsed, 1LL)) + " pv";

    PvLine line;
    line.length = 1;
    line.from[0] = result.bestFrom;
    line.to[0] = result.bestTo;
    const RootMoveList& root = *search.rootMoves;
    for (int t = 0; t < root.moves.count; ++t) {
        const PvLine& kept = root.lines[t];
        if (kept.length > 0 && kept.from[0] == result.bestFrom && kept.to[0] == result.bestTo) {
            line = kept;
            break;
        }
    }
    Rules lineRules = rules;
    Position position = history[rootPly];
    for (int i = 0; i < line.length; ++i) {
        MoveList legal;
        generateLegalMoves(position, legal, lineRules);
        if (!legal.contains(line.from[i], line.to[i])) break;
        text += " " + uciMove(position, line.from[i], line.to[i]);
        makeMove(line.from[i], line.to[i], position, lineRules);
        switchSide(position);
    }
    printLine(text);
}
