// The perft tool counts the legal move tree; its counts prove the move
// generator. Trees without promotions match the published tables; trees with
// promotions count one move per promotion (the pawn becomes a queen), and
// those counts were checked with an independent move generator.
#include <gtest/gtest.h>

#include <sstream>

#include "child_process.h"

namespace {

struct PerftCase {
    const char* fen;
    std::vector<unsigned long long> counts;  // depth 1, 2, ...
};

std::string runPerft(const std::string& fen, int depth) {
    ChildProcess perft({VORTELAN_PERFT_BINARY, fen, std::to_string(depth)});
    return perft.readAll(120000);
}

unsigned long long totalNodes(const std::string& output) {
    const auto at = output.find("\nnodes ");
    if (at == std::string::npos) return 0;
    return std::stoull(output.substr(at + 7));
}

const PerftCase cases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {20, 400, 8902, 197281, 4865609}},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", {48, 2039, 97862}},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {14, 191, 2812, 43238, 674624}},
    // Promotions, with and without capture, for both colours.
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {6, 228, 8087}},
    {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {41, 1373, 54007}},
    {"n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1", {15, 210, 3253, 47828}},
    // Rooks captured on their corners and recaptured there by the other rook:
    // the recapturing rook may not castle. Counted by an independent move
    // generator.
    {"r3k2r/7r/6N1/8/8/6n1/7R/R3K2R b KQkq - 0 1", {34, 1045, 33660, 1051509}},
};

TEST(Perft, CountsMatchKnownTrees) {
    for (const PerftCase& c : cases) {
        for (std::size_t depth = 1; depth <= c.counts.size(); ++depth) {
            EXPECT_EQ(totalNodes(runPerft(c.fen, static_cast<int>(depth))), c.counts[depth - 1])
                << c.fen << " depth " << depth;
        }
    }
}

TEST(Perft, DividesByRootMoveInGenerationOrder) {
    const std::string output = runPerft("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 2);
    std::istringstream lines(output);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    ASSERT_EQ(all.size(), 22u);
    EXPECT_EQ(all[0], "b1c3: 20");
    EXPECT_EQ(all[1], "b1a3: 20");
    EXPECT_EQ(all[2], "g1h3: 20");
    EXPECT_EQ(all[3], "g1f3: 20");
    EXPECT_EQ(all[4], "a2a3: 20");
    EXPECT_EQ(all[19], "h2h4: 20");
    EXPECT_EQ(all[20], "nodes 400");
    EXPECT_EQ(all[21].rfind("nps ", 0), 0u);
}

TEST(Perft, RejectsABadDepth) {
    ChildProcess perft({VORTELAN_PERFT_BINARY, "8/8/8/8/8/8/8/8 w - - 0 1", "x"});
    perft.readAll();
    EXPECT_EQ(perft.waitExit(), 2);
}

}  // namespace
