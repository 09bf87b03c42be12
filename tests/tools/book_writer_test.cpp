// Turning a colour's game lines into a book file: the minimum-games cut, the
// line limit and the file itself, read back the way the engine reads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "book_code.h"
#include "book_writer.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BookWriter, CutsEachLineToThePrefixEnoughGamesShare) {
    const std::vector<std::string> lines = {
        code("e2e4 e7e5 g1f3 b8c6"), code("e2e4 e7e5 g1f3 g8f6"), code("e2e4 e7e5 f1c4"),
        code("e2e4 c7c5 g1f3"),      code("e2e4 c7c5 g1f3"),      code("d2d4"),
    };
    EXPECT_EQ(keepSharedPrefixes(lines, 2),
              (std::vector<std::string>{code("e2e4 c7c5 g1f3"), code("e2e4 c7c5 g1f3"), code("e2e4 e7e5"),
                                        code("e2e4 e7e5 g1f3"), code("e2e4 e7e5 g1f3")}));
    // Three games share 1. e4 e5; only 1. e4 has five.
    EXPECT_EQ(keepSharedPrefixes(lines, 3), (std::vector<std::string>{code("e2e4"), code("e2e4"), code("e2e4 e7e5"),
                                                                      code("e2e4 e7e5"), code("e2e4 e7e5")}));
    EXPECT_EQ(keepSharedPrefixes(lines, 5), std::vector<std::string>(5, code("e2e4")));
    EXPECT_TRUE(keepSharedPrefixes(lines, 6).empty());
    // With one game enough, every line stays whole (only sorted).
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(keepSharedPrefixes(lines, 1), sorted);
}

TEST(BookWriter, LimitKeepsTheSharesOfFrequentLines) {
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i) lines.push_back(code("e2e4"));
    for (int i = 0; i < 30; ++i) lines.push_back(code("d2d4"));
    for (int i = 0; i < 10; ++i) lines.push_back(code("c2c4"));
    lines.push_back(code("g1f3"));
    std::sort(lines.begin(), lines.end());
    const std::vector<std::string> limited = limitLineCount(lines, 50);
    EXPECT_LE(limited.size(), 50u);
    EXPECT_EQ(std::count(limited.begin(), limited.end(), code("e2e4")), 29);
    EXPECT_EQ(std::count(limited.begin(), limited.end(), code("d2d4")), 14);
    EXPECT_EQ(std::count(limited.begin(), limited.end(), code("c2c4")), 4);
    EXPECT_EQ(std::count(limited.begin(), limited.end(), code("g1f3")), 0);
    EXPECT_TRUE(std::is_sorted(limited.begin(), limited.end()));
    EXPECT_EQ(limitLineCount(lines, 200), lines);
}

TEST(BookWriter, WritesOneLinePerGameAndAClosingEmptyLine) {
    const std::string path = ::testing::TempDir() + "book_writer_test.ape";
    std::string error;
    ASSERT_TRUE(writeBookFile(path, {code("e2e4 e7e5"), code("d2d4")}, error)) << error;
    // The engine skips the last line it loads; the empty line takes that place.
    EXPECT_EQ(readFile(path), "<LdT\n;K\n\n");
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());
    ASSERT_TRUE(writeBookFile(path, {}, error));
    EXPECT_EQ(readFile(path), "");
    std::remove(path.c_str());
}

TEST(BookWriter, ReportsAFolderItCannotWriteTo) {
    std::string error;
    EXPECT_FALSE(writeBookFile("/nonexistent-folder/blancas.ape", {code("e2e4")}, error));
    EXPECT_NE(error.find("/nonexistent-folder/blancas.ape"), std::string::npos);
}

}  // namespace
