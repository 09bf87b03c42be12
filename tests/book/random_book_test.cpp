// Damaged and random book files: loading them never fails, and the book
// never offers a move that is not legal in the game.
#include <gtest/gtest.h>

#include <random>

#include "book_folder.h"
#include "test_engine.h"

namespace {

class RandomBookTest : public ::testing::Test {
protected:
    void write(const char* name, const std::string& bytes) { folder_.write(name, bytes); }
    std::unique_ptr<Engine> engineHere() { return folder_.engineHere(99u); }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    // One book line: the square codes of a real game from the start, played
    // with the engine's own rules, perhaps damaged; or codes at random; or
    // bytes of any kind.
    std::string bookLine() {
        std::string line;
        switch (pick(4)) {
            case 0:
            case 1: {
                TestEngine& game = *scratch_;
                game->setUp(nullptr);
                for (int ply = pick(30); ply > 0; --ply) {
                    const std::vector<std::string> moves = game.legalMoves();
                    if (moves.empty()) break;
                    const std::string move = moves[static_cast<std::size_t>(pick(static_cast<int>(moves.size())))];
                    game.play(move);
                    line += static_cast<char>('0' + sq(move.c_str()));
                    line += static_cast<char>('0' + sq(move.c_str() + 2));
                }
                if (pick(3) == 0 && !line.empty())
                    line[static_cast<std::size_t>(pick(static_cast<int>(line.size())))] =
                        static_cast<char>('0' + pick(64));
                break;
            }
            case 2:
                for (int n = pick(60); n > 0; --n) line += static_cast<char>('0' + pick(64));
                break;
            default:
                for (int n = pick(400); n > 0; --n) line += static_cast<char>(pick(256));
                break;
        }
        return line + (pick(10) ? "\n" : "\r\n");
    }

    std::string bookText(int lines) {
        std::string text;
        for (int i = 0; i < lines; ++i) text += bookLine();
        if (pick(2)) text += bookLine().substr(0, 7);  // an unfinished last line
        return text;
    }

    std::unique_ptr<TestEngine> scratch_ = std::make_unique<TestEngine>();
    std::mt19937 random_{5150};
    std::ostringstream out_;
    BookFolder folder_;
};

TEST_F(RandomBookTest, BookMovesAreAlwaysLegal) {
    int offered = 0;
    for (int round = 0; round < 6; ++round) {
        write("blancas.ape", bookText(80));
        write("negras.ape", bookText(80));
        auto engine = engineHere();
        engine->evaluator.tables = PieceSquareTables{};
        Output output(out_);
        XboardLoop loop(*engine, output);
        loop.handleLine("xboard");
        for (int game = 0; game < 12; ++game) {
            engine->setUp(nullptr);
            for (int ply = 0; ply < 30; ++ply) {
                const MoveList legal = engine->game.legalMoves();
                if (legal.count == 0) break;
                uint8_t from = 0, to = 0;
                std::string move;
                if (bookMove(*engine, from, to)) {
                    ++offered;
                    bool found = false;
                    for (int i = 0; i < legal.count; ++i) found |= legal.from[i] == from && legal.to[i] == to;
                    ASSERT_TRUE(found) << "book move " << squareName(from) << squareName(to) << " is not legal";
                    if (pick(4)) move = squareName(from) + squareName(to);
                }
                if (move.empty()) {
                    const int i = pick(legal.count);
                    move = squareName(legal.from[i]) + squareName(legal.to[i]);
                }
                const int before = engine->game.ply();
                loop.handleLine(move);
                ASSERT_EQ(engine->game.ply(), before + 1) << move;
            }
        }
    }
    EXPECT_GT(offered, 60);
}

// Files of nothing but random bytes, long and short, load without harm.
TEST_F(RandomBookTest, RandomBytesLoad) {
    for (int round = 0; round < 8; ++round) {
        std::string bytes;
        for (int n = pick(200000); n > 0; --n) bytes += static_cast<char>(pick(256));
        write("blancas.ape", bytes);
        write("negras.ape", bytes.substr(0, bytes.size() / 3));
        auto engine = engineHere();
        for (const std::string& line : engine->book.whiteBook) EXPECT_LE(line.size(), 254u);
        uint8_t from = 0, to = 0;
        if (bookMove(*engine, from, to)) {
            EXPECT_TRUE(scratch_->isLegal(squareName(from) + squareName(to)));
        }
    }
}

}  // namespace
