#include "engine/uci.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "board/move_text.h"
#include "engine/version.h"
#include "engine/words.h"

namespace {

// "sd" keeps a depth to the deepest it allows.
constexpr long long unlimitedDepth = 1000;

// Every number of "go" is kept within 0 and this (more than a day in
// milliseconds, moves or plies) before any arithmetic on it.
constexpr long long largestNumber = 100000000;

// The leading integer of a word ("250", "-5", "12ms" -> 12), clamped to
// 0..largestNumber; nothing when it starts with no number.
std::optional<long long> readInteger(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    const long long value = std::strtoll(begin, &end, 10);
    if (end == begin) return std::nullopt;
    return std::clamp(value, 0LL, largestNumber);
}

// Two squares in coordinates, as UCI writes a move.
bool looksLikeMove(const std::string& word) {
    return word.size() >= 4 && isFileLetter(word[0]) && isRankDigit(word[1]) && isFileLetter(word[2]) &&
           isRankDigit(word[3]);
}

}  // namespace

// A side mated p plies from the root scores mateScore + 1000 p; a mate that
// far is (p + 1) / 2 moves away for either side. Mates lie within the plies
// a search line can reach; every other score is material and position.
std::string uciScore(int score) {
    const int mateBound = -mateScore;
    const int magnitude = std::abs(score);
    if (magnitude > mateWithin(searchLineReserve) && magnitude <= mateBound) {
        const int plies = (mateBound - magnitude + 500) / 1000;
        const int moves = std::max(1, (plies + 1) / 2);
        return "mate " + std::to_string(score > 0 ? moves : -moves);
    }
    return "cp " + std::to_string(centipawns(score));
}

// A word that is no number is read again as the next word.
GoLimits GoLimits::parse(const std::vector<std::string>& words, std::size_t first) {
    GoLimits limits;
    for (std::size_t i = first; i < words.size(); ++i) {
        const std::string& word = words[i];
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
        else if (word == "nodes")
            field = &limits.nodes;
        else if (word == "mate")
            field = &limits.mate;
        else if (word == "infinite")
            limits.infinite = true;
        else if (word == "ponder")
            limits.ponder = true;
        else if (word == "searchmoves")
            // The moves run to the next word that is no move.
            while (i + 1 < words.size() && looksLikeMove(words[i + 1])) limits.searchMoves.push_back(words[++i]);
        if (!field || i + 1 >= words.size()) continue;
        if (const auto value = readInteger(words[i + 1])) {
            *field = *value;
            ++i;
        }
    }
    return limits;
}

bool GoLimits::unbounded() const { return infinite || !(whiteTime || blackTime || moveTime || depth || nodes || mate); }

int UciLoop::run(InputMailbox& mailbox) {
    mailbox_ = &mailbox;
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
    out_.printLine(std::string("id name ") + engineName + " " + engineVersion);
    out_.printLine("id author the Vortelan developers");
    out_.printLine("option name Hash type spin default " + std::to_string(TranspositionTable::defaultMegabytes) +
                   " min " + std::to_string(Engine::minHashMegabytes) + " max " +
                   std::to_string(Engine::maxHashMegabytes));
    out_.printLine("option name Threads type spin default 1 min 1 max " + std::to_string(Thinker::maxThreads));
    out_.printLine("option name Clear Hash type button");
    out_.printLine("option name Ponder type check default false");
    out_.printLine("option name MultiPV type spin default 1 min 1 max " + std::to_string(Engine::maxLines));
    out_.printLine("option name OwnBook type check default true");
    out_.printLine("option name UCI_LimitStrength type check default false");
    out_.printLine("option name UCI_Elo type spin default " + std::to_string(fullStrengthElo) + " min " +
                   std::to_string(weakestElo) + " max " + std::to_string(fullStrengthElo));
    out_.printLine("option name Skill Level type spin default 20 min 0 max 20");
    out_.printLine("uciok");
}

// The number of a spin option, clamped to its range; a value out of range
// is said, one that is no number too (and nothing is set).
std::optional<long long> UciLoop::spinValue(const std::string& name, const std::string& value, long long low,
                                            long long high) {
    const char* begin = value.c_str();
    char* end = nullptr;
    const long long number = std::strtoll(begin, &end, 10);
    if (end == begin) {
        out_.printLine("info string " + name + " needs a number, not \"" + value + "\"");
        return std::nullopt;
    }
    const long long clamped = std::clamp(number, low, high);
    if (clamped != number)
        out_.printLine("info string " + name + " " + value + " is out of range: " + std::to_string(clamped));
    return clamped;
}

// "setoption name NAME [value VALUE]"; names are read whatever their case.
// Every setting holds from the next search on.
void UciLoop::setOption(const std::vector<std::string>& words) {
    std::string name, value;
    std::string* field = nullptr;
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (field != &value && words[i] == "name") {
            field = &name;
        } else if (field == &name && words[i] == "value") {
            field = &value;
        } else if (field) {
            *field += (field->empty() ? "" : " ") + words[i];
        }
    }
    const std::string key = lowercase(name);
    if (key == "hash") {
        const auto megabytes = spinValue("Hash", value, Engine::minHashMegabytes, Engine::maxHashMegabytes);
        if (megabytes && !engine_.setHashMegabytes(static_cast<int>(*megabytes)))
            out_.printLine("info string not enough memory for a table of " + std::to_string(*megabytes) +
                           " MiB; the table of " + std::to_string(engine_.hashMegabytes()) + " MiB is kept");
    } else if (key == "threads") {
        const auto threads = spinValue("Threads", value, 1, Thinker::maxThreads);
        if (threads && !engine_.thinker.setThreads(static_cast<int>(*threads)))
            out_.printLine("info string cannot start " + std::to_string(*threads) + " threads; " +
                           std::to_string(engine_.thinker.threads()) + " search");
    } else if (key == "clear hash") {
        engine_.clearHash();
    } else if (key == "multipv") {
        if (const auto lines = spinValue("MultiPV", value, 1, Engine::maxLines))
            engine_.lines = static_cast<int>(*lines);
    } else if (key == "ownbook") {
        if (const auto on = checkValue("OwnBook", value)) engine_.ownBook = *on;
    } else if (key == "uci_limitstrength") {
        if (const auto on = checkValue("UCI_LimitStrength", value)) engine_.limitStrength = *on;
    } else if (key == "uci_elo") {
        if (const auto elo = spinValue("UCI_Elo", value, weakestElo, fullStrengthElo))
            engine_.elo = static_cast<int>(*elo);
    } else if (key == "skill level") {
        if (const auto skill = spinValue("Skill Level", value, 0, 20)) engine_.skill = static_cast<int>(*skill);
    } else if (key == "ponder") {
        // The host decides when to ponder; the setting only tells the
        // engine it may be asked to.
        checkValue("Ponder", value);
    } else {
        out_.printLine("info string unknown option " + name);
    }
}

std::optional<bool> UciLoop::checkValue(const std::string& name, const std::string& value) {
    const std::string word = lowercase(value);
    if (word == "true") return true;
    if (word == "false") return false;
    out_.printLine("info string " + name + " needs true or false, not \"" + value + "\"");
    return std::nullopt;
}

// "stop", "ponderhit", "debug" and "register" need nothing here: a "stop"
// or "ponderhit" that arrives after the search has answered is late.
bool UciLoop::handleLine(const std::string& line) {
    const std::vector<std::string> words = splitWords(line);
    const std::string word = words.empty() ? std::string() : words[0];
    if (word == "uci") {
        identify();
    } else if (word == "isready") {
        out_.printLine("readyok");
    } else if (word == "ucinewgame") {
        engine_.newGame();
        positionRefused_ = false;
    } else if (word == "setoption") {
        setOption(words);
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
// the game, so the book and the repetition tests see the whole game; an
// illegal move ends the list there.
void UciLoop::setPosition(const std::vector<std::string>& words) {
    std::size_t i = 1;
    std::string fen;
    if (i < words.size() && words[i] == "fen") {
        for (++i; i < words.size() && words[i] != "moves"; ++i) fen += (fen.empty() ? "" : " ") + words[i];
    } else if (i < words.size() && words[i] == "startpos") {
        ++i;
    } else {
        return;
    }
    const char* refusal = engine_.setUp(words[1] == "fen" ? fen.c_str() : nullptr);
    // The start position that stands in for a refused one is not the
    // host's game: no move is searched or played in it.
    positionRefused_ = refusal != nullptr;
    if (refusal) {
        out_.printLine(std::string("info string illegal position: ") + refusal);
        return;
    }
    if (i >= words.size() || words[i] != "moves") return;
    for (++i; i < words.size(); ++i) {
        if (!engine_.game.playUserMove(words[i])) {
            out_.printLine("info string illegal move: " + words[i] + ", the position stops before it");
            return;
        }
    }
}

// A fresh clock for every "go": a limit of an earlier one never holds.
ThinkRequest UciLoop::thinkRequest(const GoLimits& limits) const {
    Clock clock;
    const Game& game = engine_.game;
    const bool white = game.current().sideToMove == WHITE;
    const std::optional<long long>& clockMs = white ? limits.whiteTime : limits.blackTime;
    const std::optional<long long>& increment = white ? limits.whiteIncrement : limits.blackIncrement;
    if (clockMs) {
        // "level" counts a period's moves from the start of the game and
        // "time" divides the clock by the moves left in the period. UCI
        // tells the moves left, so the period is made to end after them:
        // the moves played, as "time" counts them, plus the moves to go.
        // Without moves to go the clock is for the whole game, as "level 0"
        // says.
        long long period = 0;
        if (limits.movesToGo && *limits.movesToGo > 0) period = (game.ply() + 1) / 2 + *limits.movesToGo;
        clock.applyLevel(period, 0, increment.value_or(0));
        clock.applyClock(*clockMs, game.ply(), gamePhase(game.current()));
    }
    if (limits.moveTime) clock.applyMoveTime(*limits.moveTime);
    ThinkRequest request;
    request.timed = (clockMs || limits.moveTime) && !limits.infinite;
    // UCI's depth is the depth of the last iteration; the clock counts one
    // less, as "sd" does. A depth of 1 starts with one ply.
    const int budget = clock.limits().budgetMs;
    if (limits.depth)
        clock.applyDepth(std::max(*limits.depth, 1LL) - 1);
    else if (!request.timed)
        clock.applyDepth(unlimitedDepth);
    if (request.timed) clock.setBudgetMs(budget);
    request.limits = clock.limits();
    if (limits.depth && *limits.depth <= 1) request.firstDepth = 1;
    request.analysing = limits.unbounded() && !limits.ponder;
    request.pondering = limits.ponder;
    request.nodes = limits.nodes.value_or(0);
    request.mateMoves = static_cast<int>(limits.mate.value_or(0));
    engine_.applySettings(request);
    if (!limits.searchMoves.empty()) request.useBook = false;
    return request;
}

// The engine plays the side to move, so the book is consulted and a forced
// move is played at once, as when it is to move in a game under xboard;
// "infinite", or no limit at all, analyses the position instead, and a
// pondering search waits for "ponderhit" or "stop" before it answers.
bool UciLoop::go(const std::vector<std::string>& words) {
    const GoLimits limits = GoLimits::parse(words, 1);
    const Game& game = engine_.game;
    const Position& root = game.current();

    MoveList legal;
    if (!positionRefused_) legal = game.legalMoves();
    // Only the moves named, when any of them is legal.
    MoveList moves;
    for (int i = 0; i < legal.count; ++i) {
        const std::string text = uciMove(root, legal.from[i], legal.to[i]);
        for (const std::string& wanted : limits.searchMoves)
            if (wanted == text || wanted == text.substr(0, 4)) moves.append(legal.from[i], legal.to[i]);
    }
    if (moves.count == 0) moves = legal;
    const MoveList searched = moves;

    request_ = thinkRequest(limits);
    pondering_ = limits.ponder;
    analysesAfterHit_ = limits.unbounded();
    waitsForStop_ = analysesAfterHit_ || limits.ponder;
    SearchResult result;
    if (legal.count > 0) {
        // A host plays on after a repetition or fifty quiet moves, which a
        // player may only claim: the root is searched as a position of a
        // game that goes on, or it would end the search before any move.
        // No book line gets this far, and the book's look-up would mark the
        // root drawn again.
        if (root.status() >= Stalemate) {
            engine_.thinker.memory.bookActive = false;
            request_.rootPlaysOn = true;
        }
        if (const std::string level = engine_.levelText(); !level.empty()) out_.printLine("info string " + level);
        // "quit" ended the search; it waits for the loop.
        examined_ = 0;
        result = engine_.thinker.think(game, moves, request_, *this);
        if (result.status == Aborted) return true;
    }
    if (waitsForStop_ && !awaitStop()) return false;

    if (legal.count == 0) {
        out_.printLine("bestmove 0000");
        return true;
    }
    Square from = result.bestFrom;
    Square to = result.bestTo;
    if (!searched.contains(from, to)) {
        from = moves.from[0];
        to = moves.to[0];
    }
    std::string answer = "bestmove " + uciMove(root, from, to);
    uint8_t replyFrom = 0, replyTo = 0;
    if (engine_.thinker.expectedReply(static_cast<uint8_t>(from), static_cast<uint8_t>(to), replyFrom, replyTo)) {
        Position next = root;
        makeMove(from, to, next, engine_.rules);
        switchSide(next);
        answer += " ponder " + uciMove(next, replyFrom, replyTo);
    }
    out_.printLine(answer);
    return true;
}

bool UciLoop::awaitStop() {
    if (!mailbox_) return true;
    while (waitsForStop_) {
        const SearchStatus status = readInput();
        if (status == Aborted) return false;
        if (status != Completed || !waitsForStop_) break;
        mailbox_->waitForLines(examined_ + 1);
    }
    return true;
}

// Every line that arrived is looked at once, in order: "isready" is
// answered at once and dropped, the rest wait for the loop.
SearchStatus UciLoop::readInput() {
    if (!mailbox_) return Completed;
    while (examined_ < mailbox_->waitingLines()) {
        std::size_t end = 0;
        const std::string word = firstWord(mailbox_->waitingLine(examined_), end);
        if (word == "isready") {
            out_.printLine("readyok");
            mailbox_->dropLine(examined_);
            continue;
        }
        if (word == "ponderhit") {
            if (pondering_) {
                pondering_ = false;
                waitsForStop_ = analysesAfterHit_;
                engine_.thinker.ponderHit(request_.limits);
            }
            mailbox_->dropLine(examined_);
            continue;
        }
        if (word == "quit") return Aborted;
        if (word == "stop" || word == "position" || word == "go" || word == "ucinewgame") {
            waitsForStop_ = false;
            return MoveNow;
        }
        ++examined_;
    }
    return Completed;
}

// Every iteration is shown, with a score only when its best move has one;
// the progress of a long analysis is not (an iteration line says it all).
bool UciLoop::report(const ThinkingReport& report) {
    if (report.progress) return false;
    std::string text = "info depth " + std::to_string(report.depth) + " seldepth " +
                       std::to_string(std::max(report.selectiveDepth, report.depth)) + " multipv " +
                       std::to_string(report.multiPv);
    if (report.hasScore) text += " score " + uciScore(report.score);
    const long long elapsed = report.elapsedMs;
    const long long nodes = report.nodes;
    text += " time " + std::to_string(elapsed) + " nodes " + std::to_string(nodes) + " nps " +
            std::to_string(nodes * 1000 / std::max(elapsed, 1LL)) + " hashfull " + std::to_string(report.hashPermille) +
            " pv " + lineText(engine_.game.current(), report.line, engine_.rules);
    out_.printLine(text);
    return true;
}
