// Bad input never breaks the engine: several sessions of the real program
// are fed thousands of random, malformed and hostile lines between ordinary
// commands, moves and short searches, in play, force and analyse modes. Each
// session keeps a twin game in process, built from the engine library and
// fed the same lines, so every "move" the program prints and every move its
// thinking names is checked against the game it is really playing, and what
// it says besides (result lines) must be what its twin says. At the end the
// program must still answer "protover 2" exactly and quit cleanly.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <thread>

#include "engine_session.h"
#include "fen_text.h"
#include "engine/words.h"
#include "test_engine.h"

namespace {

using Lines = std::vector<std::string>;

// What the command loop receives of a raw line: the reader keeps at most a
// mailbox's worth of characters and drops a final carriage return, and the
// line ends at its first NUL byte.
std::string asReceived(const std::string& raw) {
    std::string line = raw.substr(0, InputMailbox::lineCapacity);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line.substr(0, line.find('\0'));
}

// The first word as the command loop reads it.
std::string commandWord(const std::string& line) {
    std::size_t end = 0;
    return firstWord(line.substr(0, XboardLoop::lineCapacity), end);
}

Lines splitLines(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}


class Fuzzer {
public:
    explicit Fuzzer(uint32_t seed) : seed_(seed), random_(seed) {}

    // Sends about `lines` fuzz lines; returns with the failures recorded.
    void run(int lines);

    std::vector<std::string> failures;
    int linesSent = 0;
    int movesChecked = 0;
    int thinkingChecked = 0;
    int probesResent = 0;
    int resultLinesCompared = 0;

private:
    int probes_ = 0;
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }
    template <typename T>
    const T& oneOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(pick(static_cast<int>(items.size())))];
    }

    void fail(const std::string& what) {
        std::ostringstream text;
        text << "seed " << seed_ << ", after " << linesSent << " lines: " << what;
        failures.push_back(text.str());
        if (failures.size() >= 5) broken_ = true;
    }

    bool gameGoesOn() { return game_->game.goesOn(); }
    bool engineToMove() {
        const char player = game_.position().sideToMove == WHITE ? game_.loop.whitePlayer() : game_.loop.blackPlayer();
        return game_.loop.loopMode() == PlayMode && player == 'C' && gameGoesOn() && !game_.loop.positionRefused();
    }

    // Sends one line to the program and gives its twin what the program's
    // loop will read of it.
    void send(const std::string& raw) {
        session_.process().send(raw + "\n");
        ++linesSent;
        const std::string line = asReceived(raw);
        const std::string word = commandWord(line);
        const int plyBefore = game_.ply();
        game_.loop.handleLine(line);
        collectTwinOutput();
        if (word == "analyze" || word == "undo" || word == "remove" || word == "setboard") analysisOwed_ = true;
        // A move played while analysing is analysed in its turn.
        if (game_.loop.loopMode() == AnalyseMode && game_.ply() > plyBefore) analysisOwed_ = true;
        if (word == "exit") analysisOwed_ = false;
    }

    // Sends a line and waits, if it sets the program thinking, until the
    // search is over: a line sent during a search would be dropped.
    void sendAndSettle(const std::string& raw) {
        send(raw);
        settle();
    }

    void settle() {
        if (engineToMove()) {
            awaitEngineMove();
            sync();
        } else if (game_.loop.loopMode() == AnalyseMode && analysisOwed_ && gameGoesOn() &&
                   !game_.loop.positionRefused()) {
            analysisOwed_ = false;
            // An analysis without a low depth limit runs until it is stopped.
            if (!awaitAnalysisEnd()) send("exit");
            sync();
        }
    }

    void collectTwinOutput() {
        for (const std::string& line : splitLines(game_.takeOutput()))
            if (!isFeatureLine(line)) twinSaid_.push_back(line);
    }

    // Checks one line of the program's output against the twin game and
    // plays its moves there. False when the line is a feature line.
    bool takeEngineLine(const std::string& line) {
        ThinkingLine thinking;
        if (parseThinkingLine(line, thinking)) {
            if (checkThinking_) {
                ++thinkingChecked;
                if (!game_.isLegal(thinking.move))
                    fail("thinking line \"" + line + "\" names a move that is not legal in the game");
            }
        } else if (line.rfind("move ", 0) == 0) {
            const std::string move = line.substr(5);
            ++movesChecked;
            if (!isMoveLine(line) || !game_.isLegal(move.substr(0, 4))) {
                fail("the engine played \"" + line + "\", which is not legal in its game");
                broken_ = true;
                return true;
            }
            game_.loop.handleLine(move);
            collectTwinOutput();
        } else if (isFeatureLine(line)) {
            return false;
        } else {
            engineSaid_.push_back(line);
        }
        return true;
    }

    void awaitEngineMove() {
        std::string line;
        while (session_.nextLine(line, 20000)) {
            takeEngineLine(line);
            if (line.rfind("move ", 0) == 0) return;
        }
        fail("no move came from the engine, which was to move");
        broken_ = true;
    }

    // An analysis ends with its line of the last depth; false when a quiet
    // second came first (a search still running, or one that found a mate).
    bool awaitAnalysisEnd() {
        std::string line;
        while (session_.nextLine(line, 1000)) {
            takeEngineLine(line);
            ThinkingLine thinking;
            if (parseThinkingLine(line, thinking) && thinking.depth >= game_.limits().depth + 1) return true;
        }
        return false;
    }

    // Waits until the program has acted on everything sent so far: it
    // answers a "ping" only when it is not searching (a search drops it, so
    // it is sent again after a pause), and the probe's own name tells its
    // answer from one to a "ping" among the random lines. Then what it said
    // must be what the twin said.
    void sync() {
        if (broken_) return;
        for (int attempt = 0; attempt < 6; ++attempt) {
            const std::string probe = "sync-" + std::to_string(++probes_);
            session_.process().send("ping " + probe + "\n");
            if (attempt > 0) ++probesResent;
            std::string line;
            while (session_.nextLine(line, 3000)) {
                if (line == "pong " + probe) {
                    compareSayings();
                    return;
                }
                if (line.rfind("pong sync-", 0) != 0) takeEngineLine(line);
                if (broken_) return;
            }
        }
        fail("the engine stopped answering");
        broken_ = true;
    }

    void compareSayings() {
        if (engineSaid_ != twinSaid_) {
            std::string text = "the engine said:";
            for (const std::string& line : engineSaid_) text += "\n    " + line;
            text += "\nits twin game said:";
            for (const std::string& line : twinSaid_) text += "\n    " + line;
            fail(text);
        }
        resultLinesCompared += static_cast<int>(engineSaid_.size());
        engineSaid_.clear();
        twinSaid_.clear();
    }

    // ---- What is sent ----

    std::string legalMove() {
        const Lines moves = game_.legalMoves();
        if (moves.empty()) return "e2e4";
        std::string move = oneOf(moves);
        const Position& p = game_.position();
        const Square from = sq(move.c_str());
        if (kindOf(p.board[from]) == PAWN && (rankOf(sq(move.c_str() + 2)) == 0 || rankOf(sq(move.c_str() + 2)) == 7))
            move += oneOf(Lines{"", "q", "r", "b", "n"});
        return move;
    }

    std::string randomSquare() {
        std::string s;
        s += static_cast<char>('a' + pick(8));
        s += static_cast<char>('1' + pick(8));
        return s;
    }

    std::string randomCoordinateMove() {
        std::string move = randomSquare() + randomSquare();
        if (chance(20)) move += oneOf(Lines{"q", "r", "b", "n", "k", "p", "x", "Q"});
        return move;
    }

    std::string malformedMove() {
        return oneOf(Lines{"e2",    "e2e",   "e2e4e5", "E2E4",   "e2-e4", "e0e4", "i2i4",   "e2e9",  "e2e4\t",
                           " e2e4", "0000",  "@@@@",   "e2e4qq", "e7e8Q", "a1a1", "h8h8q",  "e2 e4", "`1`2",
                           "e:e4",  "e2e4 ", "\te2e4", "Nf3",    "O-O",   "1-0",  "e2e4\r", "e1g1k"});
    }

    std::string randomBytes(int length) {
        std::string text;
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(pick(256));
            if (c == '\n') c = '\0';
            text += c;
        }
        // Broken UTF-8: overlong forms, surrogates, lone continuation bytes.
        if (chance(50))
            text.insert(static_cast<std::size_t>(pick(length + 1)),
                        oneOf(Lines{"\xC0\x80", "\xED\xA0\x80", "\xFF\xFE", "\x80", "\xF4\x90\x80\x80"}));
        return text;
    }

    std::string longLine() {
        const std::string filler(100000, oneOf(std::vector<char>{'x', ' ', '1', '/', '\t'}));
        switch (pick(5)) {
            case 0: return filler;
            case 1: return legalMove() + filler;
            case 2: return "setboard " + randomFen() + filler;
            case 3: return "protover 2" + std::string(100000, ' ');
            default: return randomBytes(100000);
        }
    }

    std::string randomNumber() {
        return oneOf(Lines{"",       "0",   "1",          "2",          "-1",          "-7",
                           "3",      "99",  "2147483647", "2147483648", "-2147483649", "99999999999999999999999",
                           "abc",    "1.5", "0x10",       "1e9",        "+4",          "5:30",
                           "-0:-30", "nan", ":",          "40 5",       "\xFF"});
    }

    std::string randomFen() {
        static const char pieces[] = "PNBRQpnbrq";
        std::string board;
        if (pick(4) != 0) {
            char squares[64];
            emptyBoardWithKings(squares, [this](int n) { return pick(n); });
            for (int n = pick(16); n > 0; --n) {
                const int s = pick(64);
                const char piece = pieces[pick(10)];
                if (squares[s] != ' ') continue;
                if ((piece == 'P' || piece == 'p') && (s < 8 || s >= 56) && !chance(5)) continue;
                squares[s] = piece;
            }
            board = placementText(squares);
        } else {
            board = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
        }
        std::string fen = board + " " + (chance(50) ? "w" : "b") + " " +
                          oneOf(Lines{"-", "KQkq", "Kq", "kQ", "KQkqKQkq", "x", ""}) + " " +
                          oneOf(Lines{"-", "e3", "d6", "a3", "h6", "e4", "z9", "-", ""}) + " " + randomNumber() + " " +
                          randomNumber();
        switch (pick(6)) {
            case 0: {  // damaged: characters deleted, replaced or inserted
                static const char alphabet[] = "rnbqkpRNBQKP0123456789/ wb-xK";
                for (int n = 1 + pick(4); n > 0 && !fen.empty(); --n) {
                    const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(fen.size())));
                    const char c = alphabet[pick(static_cast<int>(sizeof alphabet - 1))];
                    switch (pick(3)) {
                        case 0: fen.erase(at, 1); break;
                        case 1: fen[at] = c; break;
                        default: fen.insert(at, 1, c); break;
                    }
                }
                return fen;
            }
            case 1: return fen.substr(0, static_cast<std::size_t>(pick(static_cast<int>(fen.size()) + 1)));
            case 2: return randomBytes(pick(80));
            default: return fen;
        }
    }

    // A command with a missing, huge, negative or non-numeric argument. The
    // clock commands are followed by a sane depth, so searches stay short.
    void oddCommand() {
        const std::string command =
            oneOf(Lines{"sd",   "st",    "level",  "time",  "otim",     "protover", "setboard", "go",
                        "new",  "undo",  "remove", "force", "accepted", "rejected", "ping",     "analyze",
                        "exit", "white", "black",  "?",     "xboard",   "post"});
        std::string line = command;
        for (int n = pick(4); n > 0; --n) line += (chance(80) ? " " : "\t") + randomNumber();
        if (command == "sd" || command == "st" || command == "level" || command == "time") {
            send(line);
            sendAndSettle(saneDepth());
        } else {
            sendAndSettle(line);
        }
    }

    std::string saneDepth() { return chance(50) ? "sd 1" : "sd 2"; }

    // A search that is interrupted: "?" plays at once, "force" and "new"
    // stop it. Whether a move still came first depends on timing; the twin
    // takes "go", plays the move if one came, and then the interrupting line.
    void interruptedSearch() {
        if (!gameGoesOn()) return;
        send("force");
        send("st 1");
        session_.process().send("go\n");
        ++linesSent;
        std::this_thread::sleep_for(std::chrono::milliseconds(pick(400)));
        const std::string stop = oneOf(Lines{"?", "force", "new"});
        session_.process().send(stop + "\n");
        ++linesSent;
        game_.loop.handleLine("go");
        sync();
        game_.loop.handleLine(stop);
        collectTwinOutput();
        send(saneDepth());
        sync();
    }

    // An analysis that a line changing the game stops: the line is acted on
    // at once. The stopped analysis's lines belong to the old position, so
    // thinking is not checked until the program is quiet again.
    void interruptedAnalysis() {
        if (!gameGoesOn()) return;
        send("st 1");
        session_.process().send("analyze\n");
        ++linesSent;
        std::this_thread::sleep_for(std::chrono::milliseconds(pick(300)));
        checkThinking_ = false;
        game_.loop.handleLine("analyze");
        collectTwinOutput();
        const std::string stop = oneOf(Lines{legalMove(), "undo", "exit", "new", "force", "setboard " + randomFen()});
        send(stop);
        settle();
        sync();
        checkThinking_ = true;
        analysisOwed_ = false;
        send("exit");
        send(saneDepth());
        sync();
    }

    void oneStep() {
        const int roll = pick(100);
        if (roll < 30) {
            sendAndSettle(gameGoesOn() ? legalMove() : "undo");
        } else if (roll < 37) {
            sendAndSettle(randomCoordinateMove());
        } else if (roll < 41) {
            sendAndSettle(malformedMove());
        } else if (roll < 49) {
            const std::string bytes = randomBytes(pick(200));
            if (commandWord(asReceived(bytes)) != "quit") sendAndSettle(bytes);
        } else if (roll < 50) {
            sendAndSettle(longLine());
        } else if (roll < 53) {
            sendAndSettle(oneOf(Lines{"", " ", "\t", "   \t  ", "\r", " \r"}));
        } else if (roll < 61) {
            oddCommand();
        } else if (roll < 68) {
            sendAndSettle("setboard " + randomFen());
        } else if (roll < 69) {
            interruptedSearch();
        } else if (roll < 70) {
            interruptedAnalysis();
        } else {
            sendAndSettle(oneOf(Lines{"go", "go", "force", "force", "undo", "undo", "remove", "new", "new", "analyze",
                                      "analyze", "exit", "exit", "?", "white", "black", "sd 1", "sd 2"}));
        }
    }

    uint32_t seed_;
    std::mt19937 random_;
    EngineSession session_;
    TestEngine game_;
    Lines engineSaid_;
    Lines twinSaid_;
    bool analysisOwed_ = false;
    bool checkThinking_ = true;
    bool broken_ = false;
};

void Fuzzer::run(int lines) {
    if (!session_.ready()) {
        fail("the engine did not start");
        return;
    }
    send("sd 2");
    send("new");
    int nextSync = 40;
    while (linesSent < lines && !broken_) {
        oneStep();
        if (linesSent >= nextSync) {
            sync();
            nextSync = linesSent + 40;
        }
    }
    if (broken_) return;
    sync();

    // Alive, and answering exactly as before.
    session_.send("force");
    const Lines answer = session_.quietAnswer();
    if (!answer.empty()) fail("extra output before the answer to protover: " + answer.front());
    session_.send("quit");
    if (session_.process().waitExit(2000) != 0) fail("\"quit\" did not end the program cleanly");
}

// Eight sessions at once: the program spends most of its time waiting for
// input, so they share the processors well.
TEST(Fuzz, BadInputNeverBreaksTheEngine) {
    constexpr int sessions = 8;
    constexpr int linesPerSession = 300;
    std::vector<std::unique_ptr<Fuzzer>> fuzzers;
    for (int i = 0; i < sessions; ++i)
        fuzzers.push_back(std::make_unique<Fuzzer>(20261207u + static_cast<uint32_t>(i)));
    std::vector<std::thread> threads;
    for (auto& fuzzer : fuzzers) threads.emplace_back([&fuzzer] { fuzzer->run(linesPerSession); });
    for (std::thread& thread : threads) thread.join();

    int lines = 0, moves = 0, thinking = 0, results = 0, resent = 0;
    for (const auto& fuzzer : fuzzers) {
        for (const std::string& failure : fuzzer->failures) ADD_FAILURE() << failure;
        lines += fuzzer->linesSent;
        moves += fuzzer->movesChecked;
        thinking += fuzzer->thinkingChecked;
        resent += fuzzer->probesResent;
        results += fuzzer->resultLinesCompared;
    }
    std::cout << "fuzz: " << lines << " lines sent, " << moves << " engine moves and " << thinking
              << " thinking lines checked, " << results << " result lines compared, " << resent
              << " probes sent again\n";
    EXPECT_GE(lines, sessions * linesPerSession);
    EXPECT_GT(moves, 100);
}

}  // namespace
