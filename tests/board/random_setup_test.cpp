// Set-up from random and damaged text: whatever "setboard" is given, the
// game it leaves is one the rest of the engine can play from.
#include <gtest/gtest.h>

#include <random>

#include "board_game.h"
#include "fen_text.h"

namespace {

struct Generator {
    std::mt19937 random;
    explicit Generator(uint32_t seed) : random(seed) {}
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    // A placement with one king of each colour and up to 20 other pieces,
    // pawns kept off their first and last ranks; squares[i] is the letter
    // on square i (a1 = 0) or a blank.
    std::string placement(char squares[64]) {
        static const char pieces[] = "PNBRQpnbrq";
        emptyBoardWithKings(squares, [this](int n) { return pick(n); });
        for (int n = pick(21); n > 0; --n) {
            const int s = pick(64);
            const char piece = pieces[pick(10)];
            if (squares[s] == ' ' && !((piece == 'P' || piece == 'p') && (s < 8 || s >= 56))) squares[s] = piece;
        }
        return placementText(squares);
    }

    std::string tail() {
        static const char* const castling[] = {"-", "KQkq", "Kk", "Qq", "q", "KQkqx"};
        static const char* const enPassant[] = {"-", "e3", "d6", "a6", "h3", "c4", "-"};
        return std::string(pick(2) ? " w " : " b ") + castling[pick(6)] + " " + enPassant[pick(7)] + " " +
               std::to_string(pick(300)) + " " + std::to_string(pick(20000));
    }

    // Text close to FEN: a good one, damaged in a few places.
    std::string damaged(std::string text) {
        static const char alphabet[] = "rnbqkpRNBQKP0123456789/ wb-x\t";
        for (int n = 1 + pick(5); n > 0 && !text.empty(); --n) {
            const std::size_t at = static_cast<std::size_t>(pick(static_cast<int>(text.size())));
            const char c = alphabet[pick(static_cast<int>(sizeof alphabet) - 1)];
            switch (pick(3)) {
                case 0: text.erase(at, 1); break;
                case 1: text[at] = c; break;
                default: text.insert(at, 1, c); break;
            }
        }
        return text;
    }

    std::string bytes(int length) {
        std::string text;
        for (int i = 0; i < length; ++i) text += static_cast<char>(1 + pick(255));
        return text;
    }
};

const Position& setUp(BoardGame& t, const std::string& text) { return t.setBoard(text); }

// What every game set up must satisfy, whatever the text was.
void expectPlayable(BoardGame& t, const std::string& text) {
    const Position& p = t.position();
    int whiteKings = 0, blackKings = 0;
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = p.board[s];
        if (kindOf(piece) == KING) ++(colourOf(piece) == WHITE ? whiteKings : blackKings);
        if (kindOf(piece) == PAWN) {
            EXPECT_TRUE(rankOf(s) != 0 && rankOf(s) != 7) << text;
        }
    }
    ASSERT_GE(whiteKings, 1) << text;
    ASSERT_GE(blackKings, 1) << text;
    ASSERT_TRUE(p.whiteKingSquare >= 0 && p.whiteKingSquare < 64) << text;
    ASSERT_TRUE(p.blackKingSquare >= 0 && p.blackKingSquare < 64) << text;
    EXPECT_EQ(p.board[p.whiteKingSquare], makePiece(KING, WHITE)) << text;
    EXPECT_EQ(p.board[p.blackKingSquare], makePiece(KING, BLACK)) << text;
    EXPECT_EQ(p.hashKey, t->keys.computeHashKey(p)) << text;
    EXPECT_LE(t.setupText.size(), 255u) << text;
    EXPECT_EQ(t.ply, 0);
    // Legal moves (the first few) lead to positions with a correct key,
    // whose own moves can be listed.
    std::vector<std::string> moves = t.legalMoves();
    if (moves.size() > 6) moves.resize(6);
    for (const std::string& move : moves) {
        ASSERT_TRUE(t.play(move)) << text << " " << move;
        EXPECT_EQ(t.position().hashKey, t->keys.computeHashKey(t.position())) << text << " " << move;
        t.legalMoves();
        --t.ply;  // back to the position set up
    }
}

TEST(RandomSetup, AnyTextLeavesAPlayableGame) {
    Generator g(777);
    BoardGame t;
    char squares[64];
    for (int i = 0; i < 1200; ++i) {
        std::string text;
        switch (i % 4) {
            case 0: text = g.damaged(g.placement(squares) + g.tail()); break;
            case 1: text = g.bytes(g.pick(120)); break;
            case 2:
                text = g.placement(squares) + g.tail();
                text.resize(static_cast<std::size_t>(g.pick(static_cast<int>(text.size()) + 1)));
                break;
            default: text = g.damaged("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"); break;
        }
        setUp(t, text);
        expectPlayable(t, text);
        if (HasFatalFailure()) return;
    }
}

// A well-formed position is set up exactly as written, unless its side to
// move could take the enemy king; then the start position stands in for it.
TEST(RandomSetup, WellFormedPositionsAreTakenAsWritten) {
    Generator g(4242);
    BoardGame t;
    char squares[64];
    int taken = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string placement = g.placement(squares);
        const bool whiteToMove = g.pick(2) == 0;
        const std::string text = placement + (whiteToMove ? " w - - 0 1" : " b - - 0 1");
        const Position& p = setUp(t, text);
        expectPlayable(t, text);
        if (t.setupText != text) continue;  // the enemy king stood in check
        ++taken;
        EXPECT_EQ(p.sideToMove, whiteToMove ? WHITE : BLACK) << text;
        for (Square s = 0; s < 64; ++s) {
            const char c = squares[s];
            const uint8_t expected =
                c == ' ' ? static_cast<uint8_t>(EMPTY)
                         : makePiece(static_cast<int>(std::string(" prnbkq").find(static_cast<char>(std::tolower(c)))),
                                     std::isupper(static_cast<unsigned char>(c)) ? WHITE : BLACK);
            ASSERT_EQ(kindOf(p.board[s]), kindOf(expected)) << text << " square " << squareName(s);
            if (c != ' ') {
                EXPECT_EQ(colourOf(p.board[s]), colourOf(expected)) << text << " square " << squareName(s);
            }
        }
    }
    EXPECT_GT(taken, 300);
}

}  // namespace
