// The data tools run as a user runs them: sources in a folder, the files
// they write, their messages and exit codes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "child_process.h"

namespace {

struct Folder {
    std::string path;
    explicit Folder(const std::string& name) : path(::testing::TempDir() + name) {
        ChildProcess({"/bin/rm", "-rf", path}).waitExit();
        mkdir(path.c_str(), 0755);
    }
    ~Folder() { ChildProcess({"/bin/rm", "-rf", path}).waitExit(); }

    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::string& text) const { std::ofstream(file(name)) << text; }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool has(const std::string& name) const { return std::ifstream(file(name)).good(); }
};

struct ToolRun {
    std::string output;  // standard output and error together
    int exitCode;
};

ToolRun run(const std::string& command, const Folder& folder) {
    ChildProcess child({"/bin/sh", "-c", command + " 2>&1"}, folder.path);
    ToolRun result;
    result.output = child.readAll();
    result.exitCode = child.waitExit();
    return result;
}

const std::string book = VORTELAN_BOOK_BINARY;
const std::string tables = VORTELAN_TABLES_BINARY;

TEST(BookTool, BuildsBothBooksFromPgnAndCoordinateSources) {
    Folder f("book_tool_build");
    f.write("games.pgn",
            "[Event \"x\"]\n1. e4 e5 2. Nf3 Nc6 1-0\n[Event \"y\"]\n1. e4 e5 2. Nf3 Nf6 0-1\n"
            "[Event \"z\"]\n1. e4 e5 2. Qh5 Nc6 3. Bxf7 *\n");
    f.write("white.txt", "d2d4 d7d5  # ours\nd2d4 d7d5 c2c4\n");
    const ToolRun r = run(book + " games.pgn --white white.txt", f);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    // The bishop on f1 cannot reach f7: the message names line 6, and the
    // game keeps its first four plies.
    EXPECT_NE(r.output.find("games.pgn:6: move 'Bxf7' is not legal here"), std::string::npos) << r.output;
    // Default: two games must share a move. 1. e4 e5 2. Nf3 is shared, the
    // third moves are not; 1. d4 d5 is shared only in White's book.
    EXPECT_EQ(f.read("blancas.ape"), ";KcS\n;KcS\n<LdT\n<LdT6E\n<LdT6E\n\n");
    EXPECT_EQ(f.read("negras.ape"), "<LdT\n<LdT6E\n<LdT6E\n\n");
}

TEST(BookTool, PliesAndMinimumGamesAreOptions) {
    Folder f("book_tool_options");
    f.write("lines.txt", "e2e4 e7e5 g1f3 b8c6\n");
    const ToolRun r = run(book + " --plies 2 --min-games 1 -o . lines.txt", f);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(f.read("blancas.ape"), "<LdT\n\n");
    EXPECT_EQ(f.read("negras.ape"), "<LdT\n\n");
}

TEST(BookTool, StrictFailsOnAStoppedGame) {
    Folder f("book_tool_strict");
    f.write("lines.txt", "e2e4 e7e6 e4e6\n");
    EXPECT_EQ(run(book + " --strict lines.txt", f).exitCode, 1);
    EXPECT_EQ(run(book + " lines.txt", f).exitCode, 0);
}

TEST(BookTool, RefusesBadArgumentsAndMissingSources) {
    Folder f("book_tool_errors");
    EXPECT_EQ(run(book, f).exitCode, 2);
    EXPECT_EQ(run(book + " --plies 127 x.txt", f).exitCode, 2);
    EXPECT_EQ(run(book + " --min-games 0 x.txt", f).exitCode, 2);
    EXPECT_EQ(run(book + " --colour x.txt", f).exitCode, 2);
    const ToolRun missing = run(book + " missing.pgn", f);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("missing.pgn"), std::string::npos);
    EXPECT_FALSE(f.has("blancas.ape"));
    EXPECT_FALSE(f.has("negras.ape"));
}

TEST(TablesTool, WritesBothTablesOrNothing) {
    Folder f("tables_tool");
    f.write("bad.txt", "scale 2\nblend 12 26\ntable pawn opening\n1 2 three\n");
    const ToolRun bad = run(tables + " bad.txt", f);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.output.find("bad.txt:4: 'three' is not a number"), std::string::npos) << bad.output;
    EXPECT_FALSE(f.has("tablapiezasavanzadas"));

    const ToolRun good = run(tables + " -o " + f.path + " " + VORTELAN_TABLE_SOURCE, f);
    EXPECT_EQ(good.exitCode, 0) << good.output;
    EXPECT_EQ(f.read("tablapiezasavanzadas").size(), 221184u);
    EXPECT_EQ(f.read("tablapiezasnormales").size(), 24576u);
    EXPECT_EQ(run(tables, f).exitCode, 2);
}

}  // namespace
