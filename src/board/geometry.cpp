#include "board/geometry.h"

namespace {

// Mailbox step for each direction: ±1 along a rank, ±10 along a file.
constexpr int directionMailboxStep[directionCount] = {+1, -1, +10, -10, +11, -11, -9, +9};
constexpr int directionBoardStep[directionCount] = {+1, -1, +8, -8, +9, -9, -7, +7};
constexpr int knightMailboxStep[8] = {+12, -8, +8, -12, +21, +19, -19, -21};
constexpr int knightBoardStep[8] = {+10, -6, +6, -10, +17, +15, -15, -17};

// The 120-cell mailbox: -1 off the board, else the square number.
constexpr int mailbox120(int index) {
    const int row = index / 10;
    const int column = index % 10;
    if (row < 2 || row > 9 || column < 1 || column > 8) return -1;
    return (column - 1) + 8 * (row - 2);
}

constexpr int mailbox64(Square s) { return 21 + fileOf(s) + 10 * rankOf(s); }

constexpr bool stepStaysOnBoard(Square s, int mailboxStep) {
    const int index = mailbox64(s) + mailboxStep;
    return index >= 0 && index < 120 && mailbox120(index) != -1;
}

constexpr Geometry build() {
    Geometry g;
    for (Square s = 0; s < 64; ++s) {
        for (int d = 0; d < directionCount; ++d) {
            Ray& ray = g.rays[s][d];
            Square at = s;
            while (ray.length < 7 && stepStaysOnBoard(at, directionMailboxStep[d])) {
                at += directionBoardStep[d];
                ray.squares[ray.length++] = static_cast<uint8_t>(at);
                ray.squareSet |= uint64_t{1} << at;
            }
            (d < firstBishopDirection ? g.rookLines : g.bishopLines)[s] |= ray.squareSet;
            uint64_t passed = 0;
            for (int i = 0; i < ray.length; ++i) {
                g.between[s][ray.squares[i]] = passed;
                passed |= uint64_t{1} << ray.squares[i];
            }
            if (ray.length > 0) {
                StepTargets& king = g.kingTargets[s];
                king.squares[king.count++] = ray.squares[0];
                king.squareSet |= uint64_t{1} << ray.squares[0];
            }
        }
        for (int k = 0; k < 8; ++k) {
            if (stepStaysOnBoard(s, knightMailboxStep[k])) {
                StepTargets& knight = g.knightTargets[s];
                knight.squares[knight.count++] = static_cast<uint8_t>(s + knightBoardStep[k]);
                knight.squareSet |= uint64_t{1} << (s + knightBoardStep[k]);
            }
        }
        // White's pawns take towards the north-east and north-west, Black's
        // towards the south-east and south-west: the first squares of those
        // rays.
        for (const int d : {NorthEast, NorthWest})
            if (g.rays[s][d].length > 0) g.pawnAttacks[1][s] |= uint64_t{1} << g.rays[s][d].squares[0];
        for (const int d : {SouthEast, SouthWest})
            if (g.rays[s][d].length > 0) g.pawnAttacks[0][s] |= uint64_t{1} << g.rays[s][d].squares[0];
    }
    return g;
}

}  // namespace

// Built by the compiler, so the tables are ready before any code runs.
constexpr Geometry boardGeometry = build();
