// The console program as a person or a GUI sees it: the real binary, driven
// through pipes, one session per test; every line is compared exactly.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace {

struct Session {
    std::string banner;  // the first five lines
    std::string rest;    // everything after them
    int exitCode;
};

// Sends all the input, closes it and collects what the program writes. No
// session gives the engine a turn, so it never announces a move of its own.
Session run(const std::string& input, bool closeInput = true) {
    ChildProcess engine({VORTELAN_BINARY});
    engine.send(input);
    if (closeInput) engine.closeInput();
    const std::string output = engine.readAll(20000);
    Session s;
    s.exitCode = engine.waitExit();
    std::size_t at = 0;
    for (int i = 0; i < 5 && at != std::string::npos; ++i) {
        at = output.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    s.banner = output.substr(0, at);
    s.rest = at == std::string::npos ? "" : output.substr(at);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) EXPECT_NE(line.rfind("move", 0), 0u) << line;
    return s;
}

// The diagram from eight ranks of Spanish piece letters, rank 8 first.
std::string diagram(const std::array<const char*, 8>& ranks) {
    std::string text;
    for (int r = 0; r < 8; ++r) {
        text += static_cast<char>('8' - r);
        text += ' ';
        for (int f = 0; f < 8; ++f) {
            text += ranks[r][f];
            text += ' ';
        }
        text += '\n';
    }
    return text + "  a b c d e f g h\n\n";
}

const std::string startDiagram =
    "8 t c a d r a c t \n"
    "7 p p p p p p p p \n"
    "6                 \n"
    "5                 \n"
    "4                 \n"
    "3                 \n"
    "2 P P P P P P P P \n"
    "1 T C A D R A C T \n"
    "  a b c d e f g h\n"
    "\n";
const char* const empty = "        ";
const std::string afterE4 =
    diagram({"tcadract", "pppppppp", empty, empty, "    P   ", empty, "PPPP PPP", "TCADRACT"});
const std::string afterE4E5 =
    diagram({"tcadract", "pppp ppp", empty, "    p   ", "    P   ", empty, "PPPP PPP", "TCADRACT"});
const std::string afterE4D5 =
    diagram({"tcadract", "ppp pppp", empty, "   p    ", "    P   ", empty, "PPPP PPP", "TCADRACT"});
const std::string features =
    "feature setboard=1\nfeature ping=1\nfeature myname=\"Vortelan 2.73b\"\nfeature analyze=1\nfeature memory=1\n"
    "feature smp=1\nfeature option=\"MultiPV -spin 1 1 256\"\nfeature option=\"OwnBook -check 1\"\nfeature option=\"Clear Hash -button\"\n"
    "feature option=\"Skill Level -spin 20 0 20\"\nfeature option=\"UCI_LimitStrength -check 0\"\n"
    "feature option=\"UCI_Elo -spin 1940 1000 1940\"\nfeature done=1\n";

TEST(Console, BannerAndStartDiagram) {
    const Session s = run("quit\n");
    std::istringstream banner(s.banner);
    std::vector<std::string> lines;
    for (std::string line; std::getline(banner, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Vortelan Version 2.73b");
    EXPECT_FALSE(lines[1].empty());
    EXPECT_FALSE(lines[2].empty());
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(s.rest, startDiagram);
    EXPECT_EQ(s.exitCode, 0);
}

// Diagrams follow every accepted move, "undo" and "remove" until "xboard";
// after it only protocol answers are printed. Nothing after "quit" is read.
TEST(Console, DiagramsUntilXboard) {
    const Session s = run(
        "e2e4\nundo\ne2e4\ne7e5\nremove\nremove\nundo\n"
        "protover 2\nprotover 1\nxboard\n"
        "e2e4\nundo\ne2e4\ne7e5\nremove\nprotover 2\n"
        "quit\ne2e4\n",
        false);
    EXPECT_EQ(s.rest, startDiagram + afterE4 + startDiagram + afterE4 + afterE4E5 + startDiagram + features +
                          features);
    EXPECT_EQ(s.exitCode, 0);
}

// Illegal and malformed moves and unknown words are answered, lines without
// a word are passed over, and none of them changes the game.
TEST(Console, BadInputIsAnsweredAndChangesNothing) {
    const Session s = run(
        "e2e5\nzz\ne9e4\ne7e8q\ni1a3\na2\n" + std::string(5000, 'x') + "\n" + "protover 2" +
        std::string(1500, ' ') + "junk\n" +
        "e2e4\r\ne7e5\nundo\n\n   \n\t\nd7d5\n" + std::string(3000, ' ') + "\n" + "e2e4\n");
    EXPECT_EQ(s.rest, startDiagram +
                          "Illegal move: e2e5\nError (unknown command): zz\nIllegal move: e9e4\n"
                          "Illegal move: e7e8q\nIllegal move: i1a3\nIllegal move: a2\n"
                          "Error (unknown command): " + std::string(255, 'x') + "\n" + features + afterE4 +
                          afterE4E5 + afterE4 + afterE4D5 + "Illegal move: e2e4\n");
    EXPECT_EQ(s.exitCode, 0);  // the end of input quits
}

// Commands of the protocol that set players, clocks or options answer
// nothing, and none of them gives the engine a turn.
TEST(Console, ModeAndClockCommandsAreSilent) {
    const Session s = run(
        "new\nforce\nwhite\nblack\nexit\ncomputer\naccepted setboard\nrandom\nhard\neasy\n"
        "post\nnopost\notim 100\n?\nlevel 40 5 0\ntime 30000\nst 10\nsd 6\nnew\nforce\ne2e4");
    EXPECT_EQ(s.rest, startDiagram + afterE4);
    EXPECT_EQ(s.exitCode, 0);
}

// Each answer leaves at once, while the input is still open, as a GUI that
// waits for it needs.
TEST(Console, AnswersArriveWhileInputStaysOpen) {
    ChildProcess engine({VORTELAN_BINARY});
    EXPECT_TRUE(engine.waitFor(startDiagram));
    engine.send("xboard\nprotover 2\n");
    EXPECT_TRUE(engine.waitFor(features));
    engine.send("setboard 4k3/8/8/8/8/8/8/4KN2 w - - 0 1\n");
    EXPECT_TRUE(engine.waitFor("1/2-1/2 {material}\n"));
    engine.send("quit\n");
    EXPECT_EQ(engine.waitExit(), 0);
}

// "setboard" shows no diagram; unusable text is reported, and no move is
// taken until a usable position; a drawn position is announced at once, a
// move that draws after its diagram, and taking the move back announces
// nothing.
TEST(Console, SetboardAndDrawAnnouncements) {
    const Session s = run(
        "setboard 8/8/8/8/8/8/8/8 w - - 0 1\ne2e4\n"
        "setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\ne2e4\n"
        "setboard 4k3/8/8/8/8/8/8/4KB2 b - - 0 1\n"
        "setboard 4k3/8/8/8/8/8/3r4/4KB2 w - - 0 1\ne1d2\nundo\n"
        "setboard 4k3/8/8/8/8/8/8/R3K3 w - - 99 80\na1a2\n"
        "xboard\n"
        "setboard 4k3/8/8/8/8/8/3r4/4KB2 w - - 0 1\ne1d2\n"
        "setboard 4k3/8/8/8/8/8/8/R3K3 w - - 99 80\na1a2\n"
        "setboard 4k3/8/8/8/8/8/8/4K3 w - - 0 1\n"
        "setboard 3Pk3/8/8/8/8/8/8/4K3 w - - 0 1\n");
    const std::string material = "1/2-1/2 {material}\n";
    const std::string fifty = "1/2-1/2 {50 moves rule}\n";
    const std::string pawnMove = diagram({"    r   ", empty, empty, empty, "    P   ", empty, empty, "    R   "});
    const std::string kingTakesRook = diagram({"    r   ", empty, empty, empty, empty, empty, "   R    ", "     A  "});
    const std::string beforeCapture = diagram({"    r   ", empty, empty, empty, empty, empty, "   t    ", "    RA  "});
    const std::string rookMove = diagram({"    r   ", empty, empty, empty, empty, empty, "T       ", "    R   "});
    EXPECT_EQ(s.rest, startDiagram + "Error (illegal position): a side has no king\n" +
                          "Error (no position): e2e4\n" + pawnMove + material +
                          kingTakesRook + material + beforeCapture + rookMove + fifty + material + fifty + material +
                          "tellusererror Illegal position\n");
    EXPECT_EQ(s.exitCode, 0);
}

}  // namespace
