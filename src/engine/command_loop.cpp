#include "engine/command_loop.h"

#include <csignal>
#include <cstdio>

#include "board/move_text.h"
#include "engine/uci_loop.h"

namespace {

// The first whitespace-delimited word and where it ends in the line.
std::string firstWord(const std::string& line, std::size_t& end) {
    const std::size_t begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        end = line.size();
        return {};
    }
    end = line.find_first_of(" \t", begin);
    if (end == std::string::npos) end = line.size();
    return line.substr(begin, end - begin);
}

}  // namespace

int CommandLoop::run(InputMailbox& mailbox) {
    engine_.mailbox = &mailbox;
    for (;;) {
        thinkIfAsked();
        if (!handleLine(mailbox.takeLine())) {
            mailbox.stopReader();
            return 0;
        }
        if (uciRequested_) return UciLoop(engine_).run(mailbox);
    }
}

// At most one engine move or one analysis per pass; every pass then waits
// for a line, so an engine playing both colours moves once per line.
void CommandLoop::thinkIfAsked() {
    Engine& e = engine_;
    if (positionRefused_) return;
    const bool gameGoesOn = e.gameStatus == Normal || e.gameStatus == InCheck;
    const bool atGameEnd = e.positionCount == e.ply + 1;
    if (!gameGoesOn || !atGameEnd) return;
    if (loopMode_ == AnalyseMode && !analysisDone_) {
        analyse();
    } else if (loopMode_ == PlayMode) {
        const bool whiteToMove = e.currentPosition->sideToMove == WHITE;
        if ((whiteToMove ? e.whitePlayer : e.blackPlayer) == Computer) engineMove();
    }
}

void CommandLoop::analyse() {
    Engine& e = engine_;
    MoveList moves;
    generateLegalMoves(*e.currentPosition, moves, e.rules);
    e.analysing = true;
    e.rootSearch(*e.currentPosition, moves, -infinityScore, infinityScore, e.depthLimit);
    e.analysing = false;
    analysisDone_ = true;
}

// An aborted search ("force", "new" or "quit" typed) plays nothing; the
// line that stopped it is still waiting in the mailbox. The root list holds
// the legal moves only, so that a forced move is recognised as one and
// played at once.
void CommandLoop::engineMove() {
    Engine& e = engine_;
    MoveList moves;
    generateLegalMoves(*e.currentPosition, moves, e.rules);
    const SearchResult result = e.rootSearch(*e.currentPosition, moves, -infinityScore, infinityScore, e.depthLimit);
    if (result.status == Aborted) return;

    const Square from = result.bestFrom;
    const Square to = result.bestTo;
    // The GUI must be told what the pawn became.
    const std::string text = "move " + uciMove(*e.currentPosition, from, to);
    e.playMove(from, to);
    e.holdOutput();
    e.printLine(text);
    showBoard();
    e.printResult();
    e.releaseOutput();
}

void CommandLoop::showBoard() {
    if (!xboardMode_) engine_.printBoard();
}

bool CommandLoop::handleLine(const std::string& rawLine) {
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
        int version = 0;
        if (std::sscanf(line.c_str(), " protover %d", &version) == 1 && version == 2) {
            e.printLine("feature setboard=1");
            e.printLine("feature done=1");
        }
    } else if (word == "computer" || word == "accepted" || word == "random" || word == "hard" || word == "easy" ||
               word == "post" || word == "nopost") {
    } else if (word == "level") {
        e.setLevel(line.c_str());
    } else if (word == "time") {
        e.setClock(line.c_str());
    } else if (word == "otim" || word == "?") {
    } else if (word == "new") {
        e.newGame();
        positionRefused_ = false;
        loopMode_ = PlayMode;
    } else if (word == "quit") {
        return false;
    } else if (word == "white") {
        e.whitePlayer = Human;
        e.blackPlayer = Computer;
        loopMode_ = WaitMode;
    } else if (word == "black") {
        e.whitePlayer = Computer;
        e.blackPlayer = Human;
        loopMode_ = WaitMode;
    } else if (word == "st") {
        e.setMoveTime(line.c_str());
    } else if (word == "sd") {
        e.setDepth(line.c_str());
    } else if (word == "go") {
        const bool whiteToMove = e.currentPosition->sideToMove == WHITE;
        e.whitePlayer = whiteToMove ? Computer : Human;
        e.blackPlayer = whiteToMove ? Human : Computer;
        loopMode_ = PlayMode;
    } else if (word == "force") {
        e.whitePlayer = e.blackPlayer = Human;
        loopMode_ = WaitMode;
    } else if (word == "remove") {
        if (e.ply >= 2) {
            e.ply -= 2;
            e.refreshPosition();
            e.positionCount = e.ply + 1;
            showBoard();
        }
        analysisDone_ = false;
    } else if (word == "analyze") {
        loopMode_ = AnalyseMode;
        analysisDone_ = false;
    } else if (word == "undo") {
        if (e.ply >= 1) {
            e.ply -= 1;
            e.refreshPosition();
            e.positionCount = e.ply + 1;
            showBoard();
        }
        analysisDone_ = false;
    } else if (word == "exit") {
        e.whitePlayer = e.blackPlayer = Human;
        loopMode_ = WaitMode;
        analysisDone_ = true;
    } else if (word == "uci") {
        uciRequested_ = true;
    } else if (word == "setboard") {
        // The text is everything after the word and the one character after it.
        const char* refusal = e.setBoard(wordEnd + 1 < line.size() ? line.c_str() + wordEnd + 1 : "");
        // The engine now holds the start position, which the GUI does not
        // show: until a game it can share, it neither moves nor analyses
        // nor takes a move.
        positionRefused_ = refusal != nullptr;
        if (refusal)
            e.printLine(xboardMode_ ? "tellusererror Illegal position"
                                    : std::string("Error (illegal position): ") + refusal);
        if (loopMode_ == PlayMode) loopMode_ = WaitMode;
        analysisDone_ = false;
    } else {
        userMove(word);
    }
    return true;
}

// A move in coordinates (e2e4, e7e8n). Anything that is not two real
// squares is refused, as is a move that is not legal here.
bool playUserMove(Engine& e, const std::string& word) {
    Move move;
    if (!readCoordinateMove(word, move)) return false;
    e.rules.promotionPiece = move.promotion;
    if (!e.acceptUserMove(move.from, move.to, *e.currentPosition)) return false;
    e.positionCount = e.ply + 1;
    switchSide(e.history[e.ply]);
    e.refreshPosition();
    return true;
}

// Illegal or malformed moves are ignored silently.
void CommandLoop::userMove(const std::string& word) {
    if (positionRefused_ || !playUserMove(engine_, word)) return;
    showBoard();
    engine_.printResult();
    // A GUI in analysis mode sends the moves of the game it shows and expects
    // the analysis to follow them.
    if (loopMode_ == AnalyseMode) analysisDone_ = false;
}
