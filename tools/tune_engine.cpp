#include "tune_engine.h"

#include <sstream>

#include "board/move_text.h"
#include "book_moves.h"
#include "engine/engine.h"

namespace {

// Far beyond any score, so the capture search runs with an open window.
constexpr int openWindow = 1000000;

// The evaluators after the middle game do not read the tables.
constexpr int lastPhaseWithTables = 2;

}  // namespace

TunePositionSource::TunePositionSource(const PieceSquareTables& tables) : engine_(std::make_unique<Engine>(1)) {
    engine_->evaluator.tables = tables;
    engine_->evaluator.useAdvancedTables = true;
    // The fit needs the whole evaluation, never a window bound.
    engine_->evaluator.lazyEvaluation = false;
}

TunePositionSource::~TunePositionSource() = default;

bool TunePositionSource::addIfQuiet(const Position& position, std::size_t ply, float result, int gameNumber,
                                    const QuietPositionRules& rules, TuneSet& set) {
    if (static_cast<int>(ply) < rules.skipPlies || position.inCheck || position.status() != Normal ||
        gamePhase(position) > lastPhaseWithTables)
        return false;
    Engine& engine = *engine_;
    Rules& chessRules = engine.rules;
    Position quiet = position;
    MoveList moves;
    generateMoves(quiet, moves, Generation::Full, chessRules);
    int status = Normal;
    const int staticScore = engine.evaluator.evaluate(quiet, &status, moves, -openWindow, openWindow, chessRules);
    Position searched = position;
    MoveList searchedMoves;
    generateMoves(searched, searchedMoves, Generation::Full, chessRules);
    Search& search = engine.thinker.search();
    const int settled =
        search.quiesce(searched, searchedMoves, -openWindow, openWindow, search.settings.quiescenceDepth);
    if (settled != staticScore || staticScore > rules.maxScore || staticScore < -rules.maxScore) return false;
    // The tables' share of the score, from White's side, and the entries
    // that make it up.
    int tableSum = 0;
    entries_.clear();
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = position.board[s];
        if (isEmpty(piece)) continue;
        const bool white = colourOf(piece) == WHITE;
        const std::size_t index = PieceSquareTables::advancedIndex(position, kindOf(piece), white, s);
        tableSum += white ? engine.evaluator.tables.advanced[index] : -engine.evaluator.tables.advanced[index];
        entries_.push_back(static_cast<uint32_t>(index * 2 + (white ? 0 : 1)));
    }
    const int whiteScore = position.sideToMove == WHITE ? staticScore : -staticScore;
    set.add(whiteScore - tableSum, result, gameNumber, entries_);
    return true;
}

int TunePositionSource::addGame(const GameRecord& game, float result, int gameNumber, const QuietPositionRules& rules,
                                TuneSet& set, std::ostream* positionsOut) {
    if (!game.skipReason.empty()) return 0;
    Rules& chessRules = engine_->rules;
    Position position;
    std::string usedText;
    setupPosition(position, nullptr, chessRules.keys, usedText);
    std::string played;  // the moves so far, for positionsOut
    int added = 0;
    for (std::size_t ply = 0;; ++ply) {
        MoveList legal;
        if (!generateLegalMoves(position, legal, chessRules)) break;
        if (addIfQuiet(position, ply, result, gameNumber, rules, set)) {
            ++added;
            if (positionsOut) *positionsOut << gameNumber << played << '\n';
        }
        if (ply >= game.moves.size()) break;
        const MoveText& move = game.moves[ply];
        const FoundMove found = game.notation == Notation::San ? findSanMove(position, legal, move.text)
                                                               : findCoordinateMove(position, legal, move.text);
        if (found.problem != MoveProblem::None) break;
        if (positionsOut) played += ' ' + uciMove(position, found.from, found.to);
        playFoundMove(position, found, chessRules);
    }
    return added;
}

bool TunePositionSource::addPosition(const std::vector<std::string>& moves, float result, int gameNumber,
                                     const QuietPositionRules& rules, TuneSet& set) {
    Rules& chessRules = engine_->rules;
    Position position;
    std::string usedText;
    setupPosition(position, nullptr, chessRules.keys, usedText);
    for (const std::string& text : moves) {
        MoveList legal;
        if (!generateLegalMoves(position, legal, chessRules)) return false;
        const FoundMove found = findCoordinateMove(position, legal, text);
        if (found.problem != MoveProblem::None) return false;
        playFoundMove(position, found, chessRules);
    }
    MoveList legal;
    if (!generateLegalMoves(position, legal, chessRules)) return false;
    return addIfQuiet(position, moves.size(), result, gameNumber, rules, set);
}
