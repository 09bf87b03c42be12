// The evaluation: what it reads beyond the position (the piece-square tables
// and two settings) and the score of a position for the side to move.
#pragma once

#include "board/rules.h"
#include "eval/piece_square.h"

struct Evaluator {
    PieceSquareTables tables;
    // The advanced table (which also reads both kings' wings) unless off.
    bool useAdvancedTables = true;
    // Setting: evaluate returns the window bound at once when the material
    // balance alone lies far outside the window. On from construction.
    bool lazyEvaluation = true;

    // Reads the tables from the working directory; 1 when both files opened.
    int loadPieceSquareTables() { return tables.load(); }

    // The score of the position for the side to move, by the evaluator of its
    // game phase. statusOut receives the side to move's status; moves holds
    // the moves the full generation has just listed for this position. The
    // rules list the opponent's moves for the attack maps.
    int evaluate(Position& position, int* statusOut, const MoveList& moves, int alpha, int beta,
                 const Rules& rules) const;

    // The evaluation and the move ordering read the tables for every piece
    // and every quiet move, so these are defined where every caller can
    // inline them.
    PieceSquareView pieceSquareView(const Position& position) const {
        if (useAdvancedTables) return {tables.advanced + PieceSquareTables::advancedPositionOffset(position), true};
        return {tables.normal + PieceSquareTables::normalPositionOffset(position), false};
    }
    int pieceSquareValue(const Position& position, int kind, int whiteFlag, Square s) const {
        return pieceSquareView(position).value(kind, whiteFlag != 0, s);
    }
    int squareValue(const Position& position, Square s) const {
        const uint8_t piece = position.board[s];
        if (isEmpty(piece)) return 0;
        return pieceSquareValue(position, kindOf(piece), colourOf(piece) == WHITE, s);
    }
};
