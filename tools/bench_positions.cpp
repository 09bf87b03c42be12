// The bench positions: openings, middle games with both kinds of castling,
// tactics with checks, en passant and promotions, endgames with and without
// pawns, and bare kings to be mated. Depths are set so that each position
// costs about the same and the whole list runs in a few seconds.
#include "bench_runner.h"

const std::vector<BenchPosition>& benchPositions() {
    static const std::vector<BenchPosition> positions = {
        // Openings.
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 7},
        {"rnbqkbnr/pp2pppp/3p4/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 0 3", 7},
        {"rnbqkb1r/ppp2ppp/4pn2/3p4/2PP4/2N5/PP2PPPP/R1BQKBNR w KQkq - 2 4", 7},
        {"r1bqk1nr/pppp1ppp/2n5/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", 7},
        {"rnbq1rk1/ppp1ppbp/3p1np1/8/2PPP3/2N2N2/PP3PPP/R1BQKB1R w KQ - 1 6", 6},
        // Middle games.
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 6},
        {"r1bq1rk1/pp2bppp/2n1pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R1BQ1RK1 w - - 0 8", 7},
        {"r2q1rk1/1b2bppp/p2ppn2/1p6/3NP3/1BN1B3/PPP2PPP/R2Q1RK1 w - - 0 11", 7},
        {"2rq1rk1/pp1bppbp/2np1np1/8/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 0 11", 6},
        {"r1b2rk1/2q1bppp/p2ppn2/1p6/3NPP2/2N1B3/PPP1B1PP/R2Q1RK1 w - - 0 11", 7},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 6},
        {"4rrk1/pp1n3p/3q2pQ/2p1pb2/2PP4/2P3N1/P2B2PP/4RRK1 b - - 7 19", 7},
        // Checks, en passant and promotions.
        {"r1bqk2r/pppp1Bpp/2n2n2/2b1p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 0 4", 7},
        {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", 9},
        {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", 7},
        {"rnbqkbnr/pppp1ppp/8/8/3Pp3/4P3/PPP2PPP/RNBQKBNR b KQkq d3 0 3", 7},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 7},
        {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", 8},
        {"6k1/5ppp/8/8/8/8/1q3PPP/3R2K1 w - - 0 1", 7},
        // Endgames with pawns.
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 9},
        {"8/8/4k3/8/4P3/4K3/8/8 w - - 0 1", 15},
        {"R7/5pk1/6p1/P7/8/6P1/r4PK1/8 w - - 0 40", 9},
        {"8/3k4/2p1p3/1pPpPp2/1P1P1P2/3K4/4B3/5b2 w - - 0 50", 12},
        {"8/5k2/3n4/5p2/5P2/4NK2/8/8 w - - 0 60", 10},
        {"8/8/8/8/8/1k6/p7/3K4 b - - 0 1", 12},
        // Endgames without pawns, and bare kings to be mated.
        {"8/8/8/3k4/8/3r4/8/3QK3 w - - 0 1", 9},
        {"8/8/8/4k3/8/8/2r5/R3KB2 w - - 0 1", 7},
        {"8/8/8/4k3/8/8/8/3QK3 w - - 0 1", 9},
        {"8/8/3k4/8/8/8/8/R3K3 w - - 0 1", 9},
        {"8/8/8/8/8/2k5/8/KBN5 w - - 0 1", 9},
    };
    return positions;
}
