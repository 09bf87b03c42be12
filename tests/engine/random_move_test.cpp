// The user-move reader on random words: a word changes the game only when it
// names a legal move, and then it plays exactly that move.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "test_engine.h"

namespace {

// What a word may change: the game's length and its current position.
struct Snapshot {
    int ply;
    PositionState state;

    explicit Snapshot(TestEngine& t) : ply(t.ply()), state(t.position()) {}
    bool operator==(const Snapshot& o) const {
        return ply == o.ply && std::memcmp(&state, &o.state, sizeof state) == 0;
    }
};

// Positions with castling, en passant and promotions on offer.
const char* const positions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/pPppqpb1/bn2pnp1/2pPN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq c6 0 2",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
    "4k3/1P4P1/8/3pP3/8/8/1p4p1/4K3 w - d6 0 1",
    "8/2P5/8/8/8/8/5p2/K6k b - - 0 1",
};

TEST(RandomMoves, WordsChangeTheGameOnlyWhenTheyAreLegalMoves) {
    std::mt19937 random(31337);
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    // Mostly letters and digits near the board's, so that many words look
    // like moves; some bytes of any kind.
    static const char alphabet[] = "abcdefgh12345678abcdefgh12345678i09qrbnkpxQ-@`:";
    TestEngine t;
    int played = 0, refused = 0;
    for (int round = 0; round < 40; ++round) {
        // "setboard" without clearing the transposition table each time.
        t->setUp(positions[round % 5]);
        for (int i = 0; i < 120; ++i) {
            std::string word;
            if (pick(4) == 0) {
                const std::vector<std::string> legal = t.legalMoves();
                if (legal.empty()) break;
                word = legal[static_cast<std::size_t>(pick(static_cast<int>(legal.size())))];
                if (pick(2)) word += "qrbnkx"[pick(6)];
            } else {
                const int length = pick(4) ? 4 + pick(2) : pick(9);
                for (int c = 0; c < length; ++c)
                    word += pick(10) ? alphabet[pick(static_cast<int>(sizeof alphabet) - 1)]
                                     : static_cast<char>(1 + pick(255));
            }
            if (word.find_first_of(" \t") != std::string::npos) continue;

            const Snapshot before(t);
            const bool legal = word.size() >= 4 && word.size() <= 5 && t.isLegal(word.substr(0, 4));
            const Position previous = t.position();
            t.loop.handleLine(word);
            if (!legal) {
                ++refused;
                EXPECT_TRUE(Snapshot(t) == before) << "the word \"" << word << "\" changed the game";
                continue;
            }
            ++played;
            ASSERT_EQ(t.ply(), before.ply + 1) << word;
            // The move played is the one named, with the promotion asked for.
            const Position& now = t.position();
            const Square from = sq(word.c_str());
            const Square to = sq(word.c_str() + 2);
            EXPECT_EQ(now.lastFrom, from) << word;
            EXPECT_EQ(now.lastTo, to) << word;
            EXPECT_TRUE(isEmpty(now.board[from])) << word;
            EXPECT_NE(now.sideToMove, previous.sideToMove) << word;
            if (isPromotingPawn(previous.board[from], from)) {
                const char letter = word.size() == 5 ? word[4] : 'q';
                const int kind = letter == 'r' ? ROOK : letter == 'b' ? BISHOP : letter == 'n' ? KNIGHT : QUEEN;
                EXPECT_EQ(now.board[to], makePiece(kind, previous.sideToMove)) << word;
            } else {
                EXPECT_EQ(now.board[to], previous.board[from]) << word;
            }
            EXPECT_EQ(now.hashKey, t->rules.keys.computeHashKey(now)) << word;
            // Keep the game going now and then; else take the move back.
            if (pick(3) == 0 || t.gameStatus() >= Checkmate) t.loop.handleLine("undo");
        }
    }
    EXPECT_GT(played, 600);
    EXPECT_GT(refused, 2000);
}

}  // namespace
