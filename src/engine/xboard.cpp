#include "engine/xboard.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "board/move_text.h"
#include "engine/board_diagram.h"
#include "engine/version.h"
#include "engine/words.h"

namespace {

// Whether the word is one of the commands.
template <std::size_t N>
bool listed(const char* const (&commands)[N], const std::string& word) {
    for (const char* command : commands) {
        if (word == command) return true;
    }
    return false;
}

// Lines that change the game stop the engine's own search: its move would
// belong to a game the GUI has left.
bool stopsTheSearch(const std::string& word) {
    static const char* const commands[] = {"force", "new", "quit", "setboard", "undo", "remove"};
    return listed(commands, word);
}

// While analysing, a GUI sends the user's moves and game commands; they must
// reach the command loop, or the engine's game and the GUI's would part.
bool changesTheGame(const std::string& word) {
    static const char* const commands[] = {"undo",  "remove", "new", "setboard", "exit", "force",
                                           "white", "black",  "go",  "analyze",  "quit"};
    if (listed(commands, word)) return true;
    Move move;
    return readCoordinateMove(word, move);
}

// Commands of the protocol that need nothing of this engine: they are
// accepted silently.
bool needsNothing(const std::string& word) {
    static const char* const commands[] = {"accepted", "rejected", "computer", "random",  "post",    "nopost", "otim",
                                           "?",        "result",   "name",     "rating",  "ics",     "draw",   "hint",
                                           "bk",       "pause",    "resume",   "variant", "egtpath", "."};
    return listed(commands, word);
}

// Lines that need neither the game nor the search act at once while the
// engine ponders or analyses: the clocks, "ping", and the words that need
// nothing.
bool actsAtOnce(const std::string& word) {
    static const char* const commands[] = {"time",     "otim",     "ping",     "post", "nopost", "hard",
                                           "computer", "accepted", "rejected", "name", "rating", "ics",
                                           "random",   "hint",     "bk",       "."};
    return listed(commands, word);
}

// A word a player meant as a move, legal or not: a letter and a digit
// first ("e2e4", "e9e4", "e2-e4", "a2"), a piece and a square ("Nf3",
// "Bxe5"), or castling ("O-O", "0-0-0"). Anything else is taken for a
// command.
bool meantAsMove(const std::string& word) {
    if (word.size() >= 2 && std::isalpha(static_cast<unsigned char>(word[0])) &&
        std::isdigit(static_cast<unsigned char>(word[1])))
        return true;
    if (word.rfind("O-O", 0) == 0 || word.rfind("0-0", 0) == 0 || word.rfind("o-o", 0) == 0) return true;
    if (word.size() >= 3 && std::string("KQRBNP").find(word[0]) != std::string::npos) {
        for (std::size_t i = 1; i + 1 < word.size(); ++i)
            if (isFileLetter(word[i]) && isRankDigit(word[i + 1])) return true;
    }
    return false;
}

// Numbers are read leniently, as a GUI may write "0.5".
constexpr long long largestNumber = 100000000;  // far beyond any clock

bool startsWithNumber(const char* text) { return *text != '\0' && !std::isspace(static_cast<unsigned char>(*text)); }

// The leading integer of a word ("12", "-3", "0.5" -> 0), clamped to
// 0..largestNumber; nothing when the word does not start with a number.
std::optional<long long> leadingNumber(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    long long value = std::strtoll(begin, &end, 10);
    if (end == begin || !startsWithNumber(begin)) return std::nullopt;
    return std::clamp(value, 0LL, largestNumber);
}

// A number of seconds with an optional fraction ("2", "0.3"), in
// milliseconds, clamped like leadingNumber.
std::optional<long long> secondsInMs(const std::string& word) {
    const char* begin = word.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin || !startsWithNumber(begin) || std::isnan(value)) return std::nullopt;
    return static_cast<long long>(std::clamp(value, 0.0, static_cast<double>(largestNumber)) * 1000);
}

// "M" for minutes or "M:S" for minutes and seconds, in milliseconds.
std::optional<long long> minutesFieldMs(const std::string& word) {
    const auto colon = word.find(':');
    auto minutes = leadingNumber(word.substr(0, colon));
    if (!minutes) return std::nullopt;
    if (colon == std::string::npos) return *minutes * 60000;
    auto seconds = secondsInMs(word.substr(colon + 1));
    if (!seconds) return std::nullopt;
    return *minutes * 60000 + *seconds;
}

// "S" for seconds or "M:S" for minutes and seconds, in milliseconds.
std::optional<long long> secondsFieldMs(const std::string& word) {
    if (word.find(':') != std::string::npos) return minutesFieldMs(word);
    return secondsInMs(word);
}

// The text without the white space around it.
std::string trimmed(const std::string& text) {
    const auto words = splitWords(text);
    std::string joined;
    for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
    return joined;
}

// The word after the command word, if any.
std::optional<std::string> commandWord(const std::string& line) {
    const auto w = splitWords(line);
    if (w.size() < 2) return std::nullopt;
    return w[1];
}

}  // namespace

int XboardLoop::run(InputMailbox& mailbox) {
    mailbox_ = &mailbox;
    for (;;) {
        thinkIfAsked();
        if (!handleLine(mailbox.takeLine())) {
            mailbox.stopReader();
            return 0;
        }
        if (uciRequested_) return 0;
    }
}

ThinkRequest XboardLoop::thinkRequest(bool analysing) const {
    ThinkRequest request;
    request.limits = engine_.clock.limits();
    const bool whiteToMove = engine_.game.current().sideToMove == WHITE;
    request.enginesMove = (whiteToMove ? whitePlayer_ : blackPlayer_) == Computer;
    request.analysing = analysing;
    engine_.applySettings(request);
    return request;
}

// At most one engine move or one analysis per pass; every pass then waits
// for a line, so an engine playing both colours moves once per line.
void XboardLoop::thinkIfAsked() {
    if (positionRefused_ || !engine_.game.goesOn()) return;
    if (loopMode_ == AnalyseMode && !analysisDone_) {
        analyse();
    } else if (loopMode_ == PlayMode) {
        const bool whiteToMove = engine_.game.current().sideToMove == WHITE;
        if ((whiteToMove ? whitePlayer_ : blackPlayer_) == Computer && engineMove()) {
            while (mayPonder() && ponder()) {
            }
        }
    }
}

void XboardLoop::analyse() {
    MoveList moves = engine_.game.legalMoves();
    examined_ = 0;
    analysing_ = true;
    engine_.thinker.think(engine_.game, moves, thinkRequest(true), *this);
    analysing_ = false;
    analysisDone_ = true;
}

// An aborted search ("force", "new" or "quit" typed) plays nothing; the
// line that stopped it is still waiting in the mailbox. The root list holds
// the legal moves only, so that a forced move is recognised as one and
// played at once.
bool XboardLoop::engineMove() {
    MoveList moves = engine_.game.legalMoves();
    examined_ = 0;
    const SearchResult result = engine_.thinker.think(engine_.game, moves, thinkRequest(false), *this);
    if (result.status == Aborted) return false;
    playEnginesMove(result);
    return true;
}

void XboardLoop::playEnginesMove(const SearchResult& result) {
    uint8_t replyFrom = 0, replyTo = 0;
    replyExpected_ = engine_.thinker.expectedReply(result.bestFrom, result.bestTo, replyFrom, replyTo);
    expectedReply_ = Move{replyFrom, replyTo, QUEEN};
    // The GUI must be told what the pawn became.
    const std::string text = "move " + uciMove(engine_.game.current(), result.bestFrom, result.bestTo);
    engine_.game.playMove(result.bestFrom, result.bestTo);
    out_.hold();
    out_.printLine(text);
    showBoard();
    printResult();
    out_.release();
}

// The engine plays one colour, the opponent is to move, and the game goes on.
bool XboardLoop::mayPonder() const {
    if (!ponderOn_ || !replyExpected_ || positionRefused_ || loopMode_ != PlayMode || !engine_.game.goesOn())
        return false;
    const bool whiteToMove = engine_.game.current().sideToMove == WHITE;
    return (whiteToMove ? whitePlayer_ : blackPlayer_) == Human &&
           (whiteToMove ? blackPlayer_ : whitePlayer_) == Computer;
}

// The expected reply is played in the engine's game while it ponders and
// taken back when the opponent plays another move or a line changes the
// game; the lines that did so wait for the loop. A search that ends on its
// own before the opponent moves waits for the move.
bool XboardLoop::ponder() {
    replyExpected_ = false;
    Game& game = engine_.game;
    game.playMove(expectedReply_.from, expectedReply_.to);
    pondering_ = true;
    ponderHit_ = false;
    examined_ = 0;
    MoveList moves = game.legalMoves();
    SearchResult result;
    result.status = Aborted;
    if (game.goesOn() && moves.count > 0) {
        ThinkRequest request = thinkRequest(false);
        request.pondering = true;
        result = engine_.thinker.think(game, moves, request, *this);
    }
    while (!ponderHit_ && result.status != Aborted && mailbox_) {
        if (readWhilePondering() == Aborted) result.status = Aborted;
        if (!ponderHit_ && result.status != Aborted) mailbox_->waitForLines(examined_ + 1);
    }
    const bool hit = ponderHit_ && result.status != Aborted;
    pondering_ = false;
    if (!hit) {
        if (!ponderHit_) game.takeBack(1);
        return false;
    }
    playEnginesMove(result);
    return true;
}

void XboardLoop::showBoard() {
    if (xboardMode_) return;
    for (const std::string& line : boardDiagram(engine_.game.current())) out_.printLine(line);
}

void XboardLoop::printResult() {
    if (const char* line = engine_.game.resultLine()) out_.printLine(line);
}

bool XboardLoop::handleLine(const std::string& rawLine) {
    const std::string line = rawLine.substr(0, lineCapacity);
    std::size_t wordEnd = 0;
    const std::string word = firstWord(line, wordEnd);
    if (word.empty()) return true;
    Engine& e = engine_;

    if (word == "xboard") {
        // xboard interrupts its engines with SIGINT before commands; under a
        // GUI that must not end the program. At the console Ctrl-C still does
        // until this point.
        std::signal(SIGINT, SIG_IGN);
        xboardMode_ = true;
    } else if (word == "protover") {
        // Every version from 2 on understands the feature lines.
        const auto version = commandWord(line);
        if (version && leadingNumber(*version) >= 2) {
            const std::string elo = std::to_string(fullStrengthElo) + " " + std::to_string(weakestElo) + " " +
                                    std::to_string(fullStrengthElo);
            for (const std::string& feature :
                 {std::string("setboard=1"), std::string("ping=1"),
                  std::string("myname=\"") + engineName + " " + engineVersion + "\"", std::string("analyze=1"),
                  std::string("memory=1"), std::string("smp=1"),
                  "option=\"MultiPV -spin 1 1 " + std::to_string(Engine::maxLines) + "\"",
                  std::string("option=\"OwnBook -check 1\""), std::string("option=\"Clear Hash -button\""),
                  std::string("option=\"Skill Level -spin 20 0 20\""),
                  std::string("option=\"UCI_LimitStrength -check 0\""), "option=\"UCI_Elo -spin " + elo + "\"",
                  std::string("done=1")})
                out_.printLine("feature " + feature);
        }
    } else if (needsNothing(word)) {
    } else if (word == "memory") {
        setMemory(line);
    } else if (word == "cores") {
        setCores(line);
    } else if (word == "option") {
        setOption(line.substr(wordEnd));
    } else if (word == "hard" || word == "easy") {
        ponderOn_ = word == "hard";
    } else if (word == "ping") {
        const auto number = commandWord(line);
        out_.printLine("pong" + (number ? " " + *number : std::string()));
    } else if (word == "level") {
        setLevel(line);
    } else if (word == "time") {
        setClock(line);
    } else if (word == "new") {
        e.newGame();
        whitePlayer_ = Human;
        blackPlayer_ = Computer;
        positionRefused_ = false;
        loopMode_ = PlayMode;
    } else if (word == "quit") {
        return false;
    } else if (word == "white") {
        whitePlayer_ = Human;
        blackPlayer_ = Computer;
        loopMode_ = WaitMode;
    } else if (word == "black") {
        whitePlayer_ = Computer;
        blackPlayer_ = Human;
        loopMode_ = WaitMode;
    } else if (word == "st") {
        setMoveTime(line);
    } else if (word == "sd") {
        setDepth(line);
    } else if (word == "go") {
        const bool whiteToMove = e.game.current().sideToMove == WHITE;
        whitePlayer_ = whiteToMove ? Computer : Human;
        blackPlayer_ = whiteToMove ? Human : Computer;
        loopMode_ = PlayMode;
    } else if (word == "force") {
        whitePlayer_ = blackPlayer_ = Human;
        loopMode_ = WaitMode;
    } else if (word == "remove" || word == "undo") {
        if (e.game.takeBack(word == "remove" ? 2 : 1)) showBoard();
        analysisDone_ = false;
    } else if (word == "analyze") {
        loopMode_ = AnalyseMode;
        analysisDone_ = false;
    } else if (word == "exit") {
        whitePlayer_ = blackPlayer_ = Human;
        loopMode_ = WaitMode;
        analysisDone_ = true;
    } else if (word == "uci") {
        uciRequested_ = true;
    } else if (word == "setboard") {
        // The text is everything after the word and the one character after it.
        const char* refusal = e.newGame(wordEnd + 1 < line.size() ? line.c_str() + wordEnd + 1 : "");
        printResult();
        whitePlayer_ = blackPlayer_ = Human;
        // The engine now holds the start position, which the GUI does not
        // show: until a game it can share, it neither moves nor analyses
        // nor takes a move.
        positionRefused_ = refusal != nullptr;
        if (refusal)
            out_.printLine(xboardMode_ ? "tellusererror Illegal position"
                                       : std::string("Error (illegal position): ") + refusal);
        if (loopMode_ == PlayMode) loopMode_ = WaitMode;
        analysisDone_ = false;
    } else if (meantAsMove(word)) {
        userMove(word);
    } else {
        out_.printLine("Error (unknown command): " + word);
    }
    return true;
}

// A move the game cannot take is answered, so that a GUI whose rules
// differ from the engine's does not wait for a reply that never comes.
void XboardLoop::userMove(const std::string& word) {
    if (positionRefused_) {
        out_.printLine("Error (no position): " + word);
        return;
    }
    if (!engine_.game.playUserMove(word)) {
        out_.printLine("Illegal move: " + word);
        return;
    }
    showBoard();
    printResult();
    // A GUI in analysis mode sends the moves of the game it shows and expects
    // the analysis to follow them.
    if (loopMode_ == AnalyseMode) analysisDone_ = false;
}

// "memory N": megabytes for the whole engine; the table takes what the
// rest leaves.
void XboardLoop::setMemory(const std::string& line) {
    const auto word = commandWord(line);
    const auto megabytes = word ? leadingNumber(*word) : std::nullopt;
    if (!megabytes) return;
    const long long table = std::clamp<long long>(*megabytes - engine_.fixedMegabytes(), Engine::minHashMegabytes,
                                                  Engine::maxHashMegabytes);
    if (table != engine_.hashMegabytes() && !engine_.setHashMegabytes(static_cast<int>(table)))
        out_.printLine("Error (not enough memory): " + line);
}

// "cores N": the search threads.
void XboardLoop::setCores(const std::string& line) {
    const auto word = commandWord(line);
    const auto cores = word ? leadingNumber(*word) : std::nullopt;
    if (!cores) return;
    if (!engine_.thinker.setThreads(static_cast<int>(std::clamp<long long>(*cores, 1, Thinker::maxThreads))))
        out_.printLine("Error (cannot start the threads): " + line);
}

void XboardLoop::setLevel(const std::string& line) {
    const auto w = splitWords(line);
    if (w.size() < 4) return;
    const auto moves = leadingNumber(w[1]);
    const auto base = minutesFieldMs(w[2]);
    const auto increment = secondsFieldMs(w[3]);
    if (!moves || !base || !increment) return;
    engine_.clock.applyLevel(*moves, *base, *increment);
}

// "time" is the engine's own clock in centiseconds, for its move after the
// opponent's; while the engine ponders, the reply it expects is already on
// the board.
void XboardLoop::setClock(const std::string& line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto centiseconds = leadingNumber(*word);
    if (!centiseconds) return;
    const GameView game = engine_.game.view();
    const int ply = engine_.game.ply() - (pondering_ ? 1 : 0);
    engine_.clock.applyClock(*centiseconds * 10, ply, gamePhase(game.positions[ply]));
}

// "option NAME=VALUE", or "option NAME" for a button: the settings the
// features offer, by the names they give them.
void XboardLoop::setOption(const std::string& text) {
    const std::size_t equals = text.find('=');
    const std::string name = trimmed(text.substr(0, equals));
    const std::string value = equals == std::string::npos ? std::string() : trimmed(text.substr(equals + 1));
    const auto number = leadingNumber(value);
    // A value out of range is clamped, and said.
    const auto spin = [&](long long low, long long high) {
        const long long clamped = std::clamp<long long>(*number, low, high);
        if (clamped != *number)
            out_.printLine("Error (out of range): " + name + "=" + value + ", " + std::to_string(clamped) + " is used");
        return static_cast<int>(clamped);
    };
    if (name == "MultiPV" && number) {
        engine_.lines = spin(1, Engine::maxLines);
    } else if (name == "OwnBook" && number) {
        engine_.ownBook = *number != 0;
    } else if (name == "UCI_LimitStrength" && number) {
        engine_.limitStrength = *number != 0;
    } else if (name == "UCI_Elo" && number) {
        engine_.elo = spin(weakestElo, fullStrengthElo);
    } else if (name == "Skill Level" && number) {
        engine_.skill = spin(0, 20);
    } else if (name == "Clear Hash") {
        engine_.clearHash();
    } else {
        out_.printLine("Error (unknown option): " + name);
    }
}

void XboardLoop::setMoveTime(const std::string& line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto ms = secondsInMs(*word);
    if (!ms) return;
    engine_.clock.applyMoveTime(*ms);
}

void XboardLoop::setDepth(const std::string& line) {
    const auto word = commandWord(line);
    if (!word) return;
    const auto depth = leadingNumber(*word);
    if (!depth) return;
    engine_.clock.applyDepth(*depth);
}

std::string XboardLoop::waitingWord(std::size_t index) const {
    std::size_t end = 0;
    return firstWord(mailbox_->waitingLine(index).substr(0, lineCapacity), end);
}

bool XboardLoop::gameChangeWaiting() const {
    if (!analysing_ || !mailbox_) return false;
    for (std::size_t i = 0; i < mailbox_->waitingLines(); ++i)
        if (changesTheGame(waitingWord(i))) return true;
    return false;
}

// Every line that arrived is looked at once, in order; the lines that do
// not stop the search wait for the loop, which acts on them after the move.
SearchStatus XboardLoop::readInput() {
    if (!mailbox_) return Completed;
    if (pondering_ && !ponderHit_) return readWhilePondering();
    while (examined_ < mailbox_->waitingLines()) {
        const std::string word = waitingWord(examined_);
        if (word == "?") return MoveNow;
        if (stopsTheSearch(word) || (analysing_ && changesTheGame(word))) return Aborted;
        // An analysis has no move to wait for: "ping" is answered now.
        if (analysing_ && actsAtOnce(word))
            actOnWaitingLine();
        else
            ++examined_;
    }
    return Completed;
}

void XboardLoop::actOnWaitingLine() {
    const std::string line = mailbox_->waitingLine(examined_).substr(0, lineCapacity);
    mailbox_->dropLine(examined_);
    handleLine(line);
}

SearchStatus XboardLoop::readWhilePondering() {
    while (examined_ < mailbox_->waitingLines()) {
        const std::string word = waitingWord(examined_);
        Move move;
        if (readCoordinateMove(word, move)) {
            if (move.from != expectedReply_.from || move.to != expectedReply_.to || move.promotion != QUEEN)
                return Aborted;
            // The opponent played the reply pondered on: the search goes on
            // as the engine's own, with the clock the GUI has just sent.
            mailbox_->dropLine(examined_);
            ponderHit_ = true;
            engine_.thinker.ponderHit(engine_.clock.limits());
            return readInput();
        }
        // Nothing to move yet: "?" is for the engine's own search.
        if (word == "?") {
            mailbox_->dropLine(examined_);
            continue;
        }
        if (!actsAtOnce(word)) return Aborted;
        actOnWaitingLine();
    }
    return Completed;
}

// The thinking line: depth, score in centipawns, time in centiseconds,
// nodes and the line, as far as it is known (the best move alone in the
// progress of a long iteration). A GUI shows and records the score, so a
// line whose best move has only a bound is not printed; nor is one of a
// search whose position the GUI has already left.
bool XboardLoop::report(const ThinkingReport& report) {
    if (!report.hasScore || gameChangeWaiting()) return false;
    const Position& root = engine_.game.current();
    const std::string line = report.line.length > 0 ? lineText(root, report.line, engine_.rules)
                                                    : uciMove(root, report.bestFrom, report.bestTo);
    out_.printLine(std::to_string(report.depth) + " " + std::to_string(centipawns(report.score)) + " " +
                   std::to_string(report.elapsedMs / 10) + " " + std::to_string(report.nodes) + " " + line);
    return true;
}
