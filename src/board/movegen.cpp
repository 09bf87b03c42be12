// The single rules engine: one pass over the board lists the pseudo-legal
// moves of the side to move, counts its attacks, and tells whether the move
// that led here was legal. The full mode also finds pins and check and
// finishes material and status.
//
// The pieces are read once into sets (one per piece code), and each piece's
// attacks come whole from the precomputed step sets or from its rays cut at
// the first piece. The list is still written piece by piece in square order,
// each piece's targets in its fixed direction order: the search's move order
// and every node count depend on that order.
#include <cstring>
#if defined(__BMI2__) || defined(__AVX512BW__)
#include <immintrin.h>
#endif

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/phase.h"
#include "board/piece_sets.h"
#include "board/rules.h"
#include "board/status.h"

namespace {

const Geometry& geo = boardGeometry;

// The squares a slider reaches along one direction: the ray up to and
// including the first piece on it, whatever its colour.
template <int Direction>
inline uint64_t rayAttacks(Square s, uint64_t occupied) {
    uint64_t ray = geo.rays[s][Direction].squareSet;
    const uint64_t blockers = ray & occupied;
    if (blockers != 0) {
        const Square first = isAscending(Direction) ? lowestSquare(blockers) : highestSquare(blockers);
        ray ^= geo.rays[first][Direction].squareSet;
    }
    return ray;
}

// Bit i of an index of eight squares becomes bit 0 of byte i.
struct SpreadTable {
    uint64_t entry[256] = {};
    constexpr SpreadTable() {
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i)
                if (b & (1 << i)) entry[b] |= uint64_t{1} << (8 * i);
    }
};
constexpr SpreadTable spreadBits{};

// The low eight bits of a set spread to bit 0 of the eight bytes of a word.
inline uint64_t spreadByte(uint64_t squares) {
#ifdef __BMI2__
    return _pdep_u64(squares, 0x0101010101010101ull);
#else
    return spreadBits.entry[squares & 0xff];
#endif
}

// Attack counts as bit-planes: bit k of a square's count is its bit in
// plane k. Adding a piece's whole attack set is a ripple of AND and XOR
// through the planes, the way a binary counter adds one, for every square
// at once. No square is attacked by more than 16 pieces of one side (the
// first piece on each of its eight lines and eight knights), so five planes
// hold every count.
struct AttackPlanes {
    static constexpr int count = 5;
    uint64_t plane[count] = {};

    // A half adder per plane; the last plane never carries.
    void add(uint64_t squares) {
        for (int k = 0; k < count - 1; ++k) {
            const uint64_t carry = plane[k] & squares;
            plane[k] ^= squares;
            squares = carry;
        }
        plane[count - 1] ^= squares;
    }
    uint64_t attacked() const { return plane[0] | plane[1] | plane[2] | plane[3] | plane[4]; }

    // Adds the counts onto a map of one byte per square, eight squares at a
    // time: each plane's byte of eight squares spreads to one bit per byte.
    void addTo(int8_t counts[64]) const {
#ifdef __AVX512BW__
        // Each plane becomes 64 bytes of all ones or zeros in one step.
        __m512i sum = _mm512_loadu_si512(counts);
        for (int k = 0; k < count; ++k)
            sum = _mm512_add_epi8(
                sum, _mm512_and_si512(_mm512_movm_epi8(plane[k]), _mm512_set1_epi8(static_cast<char>(1 << k))));
        _mm512_storeu_si512(counts, sum);
#else
        int used = count;
        while (used > 0 && plane[used - 1] == 0) --used;
        for (int chunk = 0; chunk < 8; ++chunk) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            uint64_t sum = 0;
            for (int k = 0; k < used; ++k) sum |= spreadByte(plane[k] >> (8 * chunk)) << k;
            uint64_t bytes;
            std::memcpy(&bytes, counts + 8 * chunk, sizeof bytes);
            // No byte carries into the next: each count stays far below 128.
            bytes += sum;
            std::memcpy(counts + 8 * chunk, &bytes, sizeof bytes);
#else
            for (int i = 0; i < 8; ++i) {
                int n = 0;
                for (int k = 0; k < used; ++k) n |= static_cast<int>((plane[k] >> (8 * chunk + i)) & 1) << k;
                counts[8 * chunk + i] = static_cast<int8_t>(counts[8 * chunk + i] + n);
            }
#endif
        }
#endif
    }
};

constexpr uint64_t fileA = 0x0101010101010101ull;
constexpr uint64_t fileH = fileA << 7;
constexpr uint64_t rank3 = 0xffull << 16;
constexpr uint64_t rank6 = 0xffull << 40;

uint64_t walkBishopAttacks(Square s, uint64_t occupied) {
    return rayAttacks<NorthEast>(s, occupied) | rayAttacks<SouthWest>(s, occupied) |
           rayAttacks<SouthEast>(s, occupied) | rayAttacks<NorthWest>(s, occupied);
}
uint64_t walkRookAttacks(Square s, uint64_t occupied) {
    return rayAttacks<East>(s, occupied) | rayAttacks<West>(s, occupied) | rayAttacks<North>(s, occupied) |
           rayAttacks<South>(s, occupied);
}

#ifdef __BMI2__
// Where the processor can extract bits by a mask, a slider's squares are
// looked up: the pieces on its lines (the last square of each ray, which
// stops nothing beyond, left out) index a table of the squares reached,
// filled at start-up from the rays.
class SliderTables {
public:
    SliderTables() {
        std::size_t next = 0;
        for (Square s = 0; s < 64; ++s) {
            fill(rook_[s], s, 0, firstBishopDirection, next, walkRookAttacks);
            fill(bishop_[s], s, firstBishopDirection, directionCount, next, walkBishopAttacks);
        }
    }
    uint64_t rook(Square s, uint64_t occupied) const { return lookUp(rook_[s], occupied); }
    uint64_t bishop(Square s, uint64_t occupied) const { return lookUp(bishop_[s], occupied); }

private:
    struct Entry {
        uint64_t mask = 0;
        std::size_t offset = 0;
    };
    // 4096 pieces' worth of rook lines at most on one square, 512 of bishop
    // lines: 102400 and 5248 entries over the board.
    static constexpr std::size_t size = 102400 + 5248;

    template <typename Walk>
    void fill(Entry& entry, Square s, int firstDirection, int endDirection, std::size_t& next, Walk walk) {
        for (int d = firstDirection; d < endDirection; ++d) {
            const Ray& ray = geo.rays[s][d];
            if (ray.length > 1) entry.mask |= ray.squareSet & ~squareBit(ray.squares[ray.length - 1]);
        }
        entry.offset = next;
        const std::size_t subsets = std::size_t{1} << countSquares(entry.mask);
        for (std::size_t i = 0; i < subsets; ++i) table_[next + i] = walk(s, _pdep_u64(i, entry.mask));
        next += subsets;
    }
    uint64_t lookUp(const Entry& entry, uint64_t occupied) const {
        return table_[entry.offset + _pext_u64(occupied, entry.mask)];
    }

    Entry rook_[64];
    Entry bishop_[64];
    uint64_t table_[size];
};
const SliderTables sliderTables;

uint64_t bishopAttacks(Square s, uint64_t occupied) { return sliderTables.bishop(s, occupied); }
uint64_t rookAttacks(Square s, uint64_t occupied) { return sliderTables.rook(s, occupied); }
#else
uint64_t bishopAttacks(Square s, uint64_t occupied) { return walkBishopAttacks(s, occupied); }
uint64_t rookAttacks(Square s, uint64_t occupied) { return walkRookAttacks(s, occupied); }
#endif

// Castling asks only for the rights, empty squares between and the own rook
// on its corner; whether the king passes through check is found in the
// child.
template <typename Append>
void castlingMoves(const Position& p, Square s, Append append) {
    const uint8_t* b = p.board;
    if (s == E1 && b[s] == makePiece(KING, WHITE)) {
        if (!p.whiteQueensideBarred && isEmpty(b[D1]) && isEmpty(b[C1]) && isEmpty(b[B1]) &&
            b[A1] == makePiece(ROOK, WHITE))
            append(E1, C1);
        if (!p.whiteKingsideBarred && isEmpty(b[F1]) && isEmpty(b[G1]) && b[H1] == makePiece(ROOK, WHITE))
            append(E1, G1);
    } else if (s == E8 && b[s] == makePiece(KING, BLACK)) {
        if (!p.blackQueensideBarred && isEmpty(b[D8]) && isEmpty(b[C8]) && isEmpty(b[B8]) &&
            b[A8] == makePiece(ROOK, BLACK))
            append(E8, C8);
        if (!p.blackKingsideBarred && isEmpty(b[F8]) && isEmpty(b[G8]) && b[H8] == makePiece(ROOK, BLACK))
            append(E8, G8);
    }
}

// What one side's pieces attack, and for the evaluation's mobility how many
// pseudo-legal moves they have. A defended piece of the own colour counts as
// attacked, so that the attack maps measure protection too. Everything is
// kept in locals and summed kind by kind: the counts do not depend on the
// order, and the byte stores of a move list, which may alias anything, are
// kept out of this loop.
struct SideAttacks {
    AttackPlanes planes;
    int moveCount = 0;
};

// The sliders are stopped by the pieces of occupied, which is the board's
// occupancy or, for the squares a king may step to, that without the king.
// Where reach is given, it receives each slider's squares by its square.
template <bool CountMoves>
SideAttacks sideAttacks(const Position& p, const PieceSets& sets, uint8_t side, uint64_t occupied,
                        uint64_t* reach = nullptr) {
    SideAttacks result;
    AttackPlanes& planes = result.planes;
    const uint64_t own = sets.ofColour(side);
    const uint64_t notOwn = ~own;
    int moves = 0;

    const uint64_t pawns = sets.of(PAWN, side);
    const bool white = side == WHITE;
    // A pawn's two diagonals, each counted for every pawn.
    const uint64_t westward = white ? (pawns & ~fileA) << 7 : (pawns & ~fileA) >> 9;
    const uint64_t eastward = white ? (pawns & ~fileH) << 9 : (pawns & ~fileH) >> 7;
    planes.add(westward);
    planes.add(eastward);
    if constexpr (CountMoves) {
        const uint64_t empty = ~occupied;
        const uint64_t single = (white ? pawns << 8 : pawns >> 8) & empty;
        const uint64_t twice = (white ? (single & rank3) << 8 : (single & rank6) >> 8) & empty;
        const uint64_t captureTargets =
            sets.ofColour(opponentOf(side)) | (p.enPassantTimer != 0 ? squareBit(p.enPassantSquare) : 0);
        moves += countSquares(single) + countSquares(twice) + countSquares(westward & captureTargets) +
                 countSquares(eastward & captureTargets);
    }
    const auto add = [&](uint64_t attacks) {
        planes.add(attacks);
        if constexpr (CountMoves) moves += countSquares(attacks & notOwn);
    };
    for (uint64_t rest = sets.of(KNIGHT, side); rest != 0;) add(geo.knightTargets[popLowestSquare(rest)].squareSet);
    const uint64_t queens = sets.of(QUEEN, side);
    for (uint64_t rest = sets.of(BISHOP, side) | queens; rest != 0;) {
        const Square s = popLowestSquare(rest);
        const uint64_t reached = bishopAttacks(s, occupied);
        add(reached);
        if (reach) reach[s] = reached;
    }
    for (uint64_t rest = sets.of(ROOK, side) | queens; rest != 0;) {
        const Square s = popLowestSquare(rest);
        const uint64_t reached = rookAttacks(s, occupied);
        add(reached);
        if (reach) reach[s] = ((queens >> s) & 1 ? reach[s] : 0) | reached;
    }
    for (uint64_t rest = sets.of(KING, side); rest != 0;) {
        const Square s = popLowestSquare(rest);
        add(geo.kingTargets[s].squareSet);
        if constexpr (CountMoves) castlingMoves(p, s, [&moves](Square, Square) { ++moves; });
    }
    result.moveCount = moves;
    return result;
}

// Lists the moves of the side to move: piece by piece in square order, each
// piece's targets in its fixed direction order; a slider's targets come
// from the squares it reaches (reach), cut into its directions, whose
// squares run outward as the list wants them. The count is kept in a local:
// the byte stores of the list may alias anything in memory.
void listMoves(const Position& p, MoveList& moves, uint64_t occupied, uint64_t own, uint64_t enemy,
               const uint64_t* reach) {
    int n = 0;
    const auto append = [&moves, &n](Square from, Square to) {
        if (n < MoveList::capacity) {
            moves.from[n] = static_cast<uint8_t>(from);
            moves.to[n] = static_cast<uint8_t>(to);
            moves.score[n] = 0;
            ++n;
        }
    };
    const auto steps = [&append, own](Square from, const StepTargets& targets) {
        for (int i = 0; i < targets.count; ++i)
            if ((own & squareBit(targets.squares[i])) == 0) append(from, targets.squares[i]);
    };
    const auto line = [&](Square from, int direction) {
        const Ray& ray = geo.rays[from][direction];
        const int length = countSquares(reach[from] & ~own & ray.squareSet);
        for (int i = 0; i < length; ++i) append(from, ray.squares[i]);
    };
    const auto rookMoves = [&](Square from) {
        for (const int d : {East, West, North, South}) line(from, d);
    };
    const auto bishopMoves = [&](Square from) {
        for (const int d : {NorthEast, SouthWest, SouthEast, NorthWest}) line(from, d);
    };

    const bool white = p.sideToMove == WHITE;
    const uint64_t captureTargets = enemy | (p.enPassantTimer != 0 ? squareBit(p.enPassantSquare) : 0);
    for (uint64_t rest = own; rest != 0;) {
        const Square s = popLowestSquare(rest);
        switch (kindOf(p.board[s])) {
            case PAWN: {
                const Square ahead = white ? s + 8 : s - 8;
                if ((occupied & squareBit(ahead)) == 0) {
                    append(s, ahead);
                    const Square twoAhead = white ? s + 16 : s - 16;
                    if (rankOf(s) == (white ? 1 : 6) && (occupied & squareBit(twoAhead)) == 0) append(s, twoAhead);
                }
                // The capture is a move only onto an enemy piece or the
                // en-passant square. White's pawns list the north-west
                // capture first, Black's the south-east one.
                uint64_t captures = geo.pawnAttacks[white ? 1 : 0][s] & captureTargets;
                while (captures != 0) {
                    const Square t = white ? lowestSquare(captures) : highestSquare(captures);
                    captures ^= squareBit(t);
                    append(s, t);
                }
                break;
            }
            case KNIGHT: steps(s, geo.knightTargets[s]); break;
            case BISHOP: bishopMoves(s); break;
            case ROOK: rookMoves(s); break;
            case QUEEN:
                rookMoves(s);
                bishopMoves(s);
                break;
            case KING:
                steps(s, geo.kingTargets[s]);
                castlingMoves(p, s, append);
                break;
            default: break;
        }
    }
    moves.count = n;
}

// Marks the pieces pinned to the king and, for the side to move, check.
// Only an enemy slider on one of the king's lines can give check along it
// or pin: with nothing between, it checks; with one own piece between, that
// piece is pinned.
void scanKingLines(Square kingSquare, Position& p, const PieceSets& sets) {
    const uint8_t colour = colourOf(p.board[kingSquare]);
    const uint8_t enemy = opponentOf(colour);
    const uint64_t queens = sets.of(QUEEN, enemy);
    uint64_t sliders = (geo.rookLines[kingSquare] & (sets.of(ROOK, enemy) | queens)) |
                       (geo.bishopLines[kingSquare] & (sets.of(BISHOP, enemy) | queens));
    if (sliders != 0) {
        const uint64_t own = sets.ofColour(colour);
        while (sliders != 0) {
            const uint64_t between = geo.between[kingSquare][popLowestSquare(sliders)] & sets.occupied;
            if (between == 0)
                p.inCheck = 1;
            else if ((between & (between - 1)) == 0 && (between & own) != 0)
                ++p.pinned[lowestSquare(between)];
        }
    }
    // Knights and pawns are looked for only around the king of the side to move.
    if (colour == p.sideToMove && !p.inCheck &&
        ((geo.knightTargets[kingSquare].squareSet & sets.of(KNIGHT, enemy)) != 0 ||
         (geo.pawnAttacks[colourIndex(colour)][kingSquare] & sets.of(PAWN, enemy)) != 0))
        p.inCheck = 1;
}

// The move that led to the position must not leave the mover's king attacked
// (nor have castled out of, through or into check), which the squares the
// side to move attacks, just gathered, tell.
bool previousMoveWasLegal(const Position& p, uint64_t attacked) {
    return moverKingIsSafe(p, opponentOf(p.sideToMove), [attacked](Square s) { return (attacked >> s) & 1; });
}

template <bool ListMoves>
int generate(Position& p, MoveList& moves, Generation mode, const Rules& rules, EarlierPositions earlier) {
    const bool full = mode == Generation::Full;
    const PieceSets sets(p.board);
    // The phase's piece values, kept in the position for its readers and
    // read below for the material.
    const int* phaseValues = nullptr;
    if (full) {
        phaseValues = phasePieceValues(gamePhase(p));
        p.pieceValues = phaseValues;
        std::memset(p.whiteAttacks, 0, sizeof p.whiteAttacks);
        std::memset(p.blackAttacks, 0, sizeof p.blackAttacks);
        std::memset(p.pinned, 0, sizeof p.pinned);
        p.inCheck = 0;
        scanKingLines(p.blackKingSquare, p, sets);
        scanKingLines(p.whiteKingSquare, p, sets);
    }

    moves.count = 0;
    const uint8_t side = p.sideToMove;
    uint64_t reach[64];
    const SideAttacks attacks = sideAttacks<!ListMoves>(p, sets, side, sets.occupied, ListMoves ? reach : nullptr);
    attacks.planes.addTo(side == WHITE ? p.whiteAttacks : p.blackAttacks);
    if (!previousMoveWasLegal(p, attacks.planes.attacked())) return 0;
    if constexpr (ListMoves) {
        listMoves(p, moves, sets.occupied, sets.ofColour(side), sets.ofColour(opponentOf(side)), reach);
    } else {
        moves.count = attacks.moveCount < MoveList::capacity ? attacks.moveCount : MoveList::capacity;
    }
    if (full) {
        // Indexed by colour: 0 Black, 1 White.
        int pieces[2] = {}, counts[2] = {}, values[2] = {};
        bool heavy[2] = {};
        for (const uint8_t colour : {BLACK, WHITE}) {
            const int c = colourIndex(colour);
            for (int kind = PAWN; kind <= QUEEN; ++kind) {
                const int n = countSquares(sets.of(kind, colour));
                pieces[c] += n;
                counts[c] += n * materialCountWeight[kind];
                values[c] += n * phaseValues[kind];
                if (n > 0 && (kind == PAWN || kind == ROOK || kind == QUEEN)) heavy[c] = true;
            }
        }
        finishMaterialAndStatus(p, moves, pieces, counts, values, heavy, rules, earlier);
    }
    return 1;
}

}  // namespace

int generateMoves(Position& p, MoveList& moves, Generation mode, const Rules& rules, EarlierPositions earlier) {
    if (mode == Generation::CountOnly) return generate<false>(p, moves, mode, rules, earlier);
    return generate<true>(p, moves, mode, rules, earlier);
}

int generateLegalMoves(Position& position, MoveList& moves, const Rules& rules, EarlierPositions earlier) {
    MoveList pseudo;
    moves.count = 0;
    if (!generateMoves(position, pseudo, Generation::Full, rules, earlier)) return 0;
    // Out of check, only three kinds of move can expose the king: a move of
    // the king itself, which must not land on an attacked square (the enemy
    // sliders seen through the king's old square), a move of a pinned piece,
    // and an en-passant capture, which empties two squares of a line. The
    // rest are legal as listed; check, castling, pins and en passant are
    // rare and are played out on a child position.
    const PieceSets sets(position.board);
    const uint8_t side = position.sideToMove;
    const Square king = side == WHITE ? position.whiteKingSquare : position.blackKingSquare;
    const uint64_t enemyAttacks =
        sideAttacks<false>(position, sets, opponentOf(side), sets.occupied & ~squareBit(king)).planes.attacked();
    const bool inCheck = (enemyAttacks & squareBit(king)) != 0;
    for (int i = 0; i < pseudo.count; ++i) {
        const Square from = pseudo.from[i], to = pseudo.to[i];
        const int kind = kindOf(position.board[from]);
        bool legal;
        if (inCheck || position.pinned[from] != 0 ||
            (kind == KING && (from != king || to == from + 2 || to == from - 2)) ||
            (kind == PAWN && position.enPassantTimer != 0 && to == position.enPassantSquare))
            legal = isLegalMove(position, from, to, rules);
        else
            legal = kind != KING || (enemyAttacks & squareBit(to)) == 0;
        if (legal) moves.append(from, to);
    }
    return 1;
}
