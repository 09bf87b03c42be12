#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "input/mailbox.h"

namespace {

// A mailbox whose reader thread reads the far end of a pipe. The reader is
// detached and never joined, so the mailboxes and their streams have static
// storage duration, as the program's own mailbox lives for the whole run.
InputMailbox mailboxes[8];
std::FILE* streams[8];
int mailboxesUsed = 0;

struct PipedMailbox {
    InputMailbox* mailbox = nullptr;
    int writeEnd = -1;

    PipedMailbox() {
        int ends[2];
        if (mailboxesUsed == 8 || pipe(ends) != 0) std::abort();
        writeEnd = ends[1];
        std::FILE* input = streams[mailboxesUsed] = fdopen(ends[0], "r");
        mailbox = &mailboxes[mailboxesUsed++];
        if (!input || !mailbox->startReader(input)) std::abort();
        mailbox->requestLine();
    }
    ~PipedMailbox() {
        closeInput();
        mailbox->stopReader();
    }

    void send(const std::string& text) {
        if (write(writeEnd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
    }
    void closeInput() {
        if (writeEnd >= 0) close(writeEnd);
        writeEnd = -1;
    }
};

TEST(Mailbox, LinesArriveInOrderWithoutTheirLineBreaks) {
    PipedMailbox box;
    box.send("xboard\nprotover 2\r\n\nlast");
    EXPECT_EQ(box.mailbox->takeLine(), "xboard");
    EXPECT_EQ(box.mailbox->takeLine(), "protover 2");
    EXPECT_EQ(box.mailbox->takeLine(), "");
    box.closeInput();
    EXPECT_EQ(box.mailbox->takeLine(), "last");  // ended by the end of input
    EXPECT_EQ(box.mailbox->takeLine(), "quit");
    EXPECT_EQ(box.mailbox->takeLine(), "quit");
}

TEST(Mailbox, LongLinesAreCut) {
    PipedMailbox box;
    box.send(std::string(5000, 'x') + "\nnext\n");
    const std::string line = box.mailbox->takeLine();
    EXPECT_EQ(line, std::string(InputMailbox::lineCapacity, 'x'));
    EXPECT_EQ(line.size(), 1003u);
    EXPECT_EQ(box.mailbox->takeLine(), "next");
}

// A UCI host sends the whole game in one line. Raised, the limit lets a
// 400-ply game through, also when the line arrived before the limit was
// raised; the longest line kept still bounds a line without end.
TEST(Mailbox, RaisedLimitKeepsWholeLines) {
    PipedMailbox box;
    std::string game = "position startpos moves";
    for (int ply = 0; ply < 400; ++ply) game += ply % 2 ? " b8c6" : " b1c3";
    box.send(game + "\n");
    while (!box.mailbox->peekLine()) usleep(1000);
    box.mailbox->setLineLimit(InputMailbox::longestLine);
    EXPECT_EQ(box.mailbox->takeLine(), game);
    box.send(std::string(InputMailbox::longestLine + 10, 'x') + "\nnext\n");
    EXPECT_EQ(box.mailbox->takeLine(), std::string(InputMailbox::longestLine, 'x'));
    EXPECT_EQ(box.mailbox->takeLine(), "next");
}

// Peeking shows the waiting line without taking it.
TEST(Mailbox, PeekLeavesTheLineWaiting) {
    PipedMailbox box;
    box.send("force\n");
    const char* seen = nullptr;
    for (int i = 0; i < 400 && !seen; ++i) {
        seen = box.mailbox->peekLine();
        if (!seen) usleep(5000);
    }
    ASSERT_NE(seen, nullptr);
    EXPECT_STREQ(seen, "force");
    EXPECT_STREQ(box.mailbox->peekLine(), "force");
    EXPECT_EQ(box.mailbox->takeLine(), "force");
    EXPECT_EQ(box.mailbox->peekLine(), nullptr);
}

}  // namespace
