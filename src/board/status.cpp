// Material totals and the game status that end every full generation, and
// the three-fold repetition test against the game history.
#include "board/status.h"
#include "board/rules.h"

namespace {

// Whether no series of legal moves can end in mate, the only material draw
// the rules of chess know: a bare king against a king with at most one
// knight or bishop, or bishops alone on squares of one colour. A knight or
// bishop on each side can still mate (into a corner the own pieces block),
// so such games go on: a draw claimed there is a false claim that a GUI
// forfeits, or a game the engine stops playing.
bool noMatePossible(const Position& p, const int pieces[2], const bool heavy[2]) {
    if (pieces[0] > 2 || pieces[1] > 2 || heavy[0] || heavy[1]) return false;
    if (pieces[0] == 1 || pieces[1] == 1) return true;
    int bishopSquareColours[2] = {0, 0};  // by square colour: dark, light
    int minors = 0;
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = p.board[s];
        if (isEmpty(piece) || kindOf(piece) == KING) continue;
        ++minors;
        if (kindOf(piece) == BISHOP) ++bishopSquareColours[(fileOf(s) + rankOf(s)) % 2];
    }
    return bishopSquareColours[0] == minors || bishopSquareColours[1] == minors;
}

}  // namespace

void finishMaterialAndStatus(Position& p, const MoveList& moves, const int pieces[2], const int counts[2],
                             const int values[2], const bool heavy[2], const Rules& rules, EarlierPositions earlier) {
    constexpr int B = 0, W = 1;
    p.pieceCount = static_cast<uint8_t>(pieces[W] + pieces[B]);
    p.whiteMaterialCount = static_cast<int16_t>(counts[W]);
    p.blackMaterialCount = static_cast<int16_t>(counts[B]);

    // A lone knight or bishop cannot win: its side is valued just below the
    // other side, and that side gets a pawn's worth for its winning chances.
    int white = values[W];
    int black = values[B];
    if (pieces[W] == 2 && !heavy[W] && white > black) {
        white = black - 250;
        if (heavy[B] && pieces[B] > 2) black += 1000;
    } else if (pieces[B] == 2 && !heavy[B] && black > white) {
        black = white - 250;
        if (heavy[W] && pieces[W] > 2) white += 1000;
    }
    p.whiteMaterialValue = white;
    p.blackMaterialValue = black;

    // A move that mates wins even when it is the hundredth half-move:
    // checkmate comes before the fifty-move rule. The searches find the mate
    // themselves once the position is not marked as drawn; the test for a
    // legal reply is needed only in check with the clock run out, which is
    // rare.
    if (p.halfmoveClock >= 100 && !(p.inCheck && !hasLegalMove(p, moves, rules))) {
        p.setBothStatus(DrawFiftyMoves);
    } else if (earlier.count > 0 && isRepetition(p, earlier.positions, earlier.count)) {
        p.setBothStatus(DrawRepetition);
    } else if (noMatePossible(p, pieces, heavy)) {
        p.setBothStatus(DrawMaterial);
    } else {
        p.setBothStatus(Normal);
        if (p.inCheck) (p.sideToMove == WHITE ? p.whiteStatus : p.blackStatus) = InCheck;
    }
}

bool hasLegalMove(const Position& p, const MoveList& moves, const Rules& rules) {
    for (int i = 0; i < moves.count; ++i)
        if (isLegalMove(p, moves.from[i], moves.to[i], rules)) return true;
    return false;
}

void markNoLegalMove(Position& p) { p.setBothStatus(p.inCheck ? Checkmate : Stalemate); }

// Positions are compared by key, side to move and castling state; the scan
// stops at the first earlier position with other material, since no capture
// or promotion can be undone.
bool isRepetition(const Position& p, const Position* earlier, int count) {
    if (p.halfmoveClock <= 7) return false;
    const int total = p.whiteMaterialCount + p.blackMaterialCount;
    int occurrences = 1;
    for (int i = count - 1; i >= 0; --i) {
        const Position& h = earlier[i];
        if (h.whiteMaterialCount + h.blackMaterialCount != total) break;
        if (h.hashKey == p.hashKey && h.sideToMove == p.sideToMove && h.whiteCastled == p.whiteCastled &&
            h.blackCastled == p.blackCastled && h.whiteKingsideBarred == p.whiteKingsideBarred &&
            h.whiteQueensideBarred == p.whiteQueensideBarred && h.blackKingsideBarred == p.blackKingsideBarred &&
            h.blackQueensideBarred == p.blackQueensideBarred)
            ++occurrences;
    }
    return occurrences >= 3;
}
