#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "input/mailbox.h"

namespace {

// A mailbox whose reader thread reads the far end of a pipe. The reader is
// detached and never joined, so the mailboxes are never destroyed and their
// streams have static storage duration, as the program's own mailbox lives
// for the whole run.
InputMailbox* mailboxes[8];
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
        mailbox = mailboxes[mailboxesUsed++] = new InputMailbox;
        if (!input || !mailbox->startReader(input)) std::abort();
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
    ASSERT_EQ(box.mailbox->waitingLines(), 1u);  // every later wait is answered
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
    box.mailbox->waitForLines();
    box.mailbox->setLineLimit(InputMailbox::longestLine);
    EXPECT_EQ(box.mailbox->takeLine(), game);
    box.send(std::string(InputMailbox::longestLine + 10, 'x') + "\nnext\n");
    EXPECT_EQ(box.mailbox->takeLine(), std::string(InputMailbox::longestLine, 'x'));
    EXPECT_EQ(box.mailbox->takeLine(), "next");
}

// The reader reads ahead: lines sent before any is taken all wait, in
// order and whole, until taken or dropped; a search drops the lines it has
// acted on, from anywhere in the queue.
TEST(Mailbox, LinesQueueUntilTakenOrDropped) {
    PipedMailbox box;
    constexpr std::size_t sent = 3000;
    std::string text;
    for (std::size_t i = 0; i < sent; ++i) text += "line " + std::to_string(i) + "\n";
    box.send(std::string(2000, 'x') + "\n" + text);
    for (int i = 0; i < 2000 && box.mailbox->waitingLines() < sent + 1; ++i) usleep(5000);
    ASSERT_EQ(box.mailbox->waitingLines(), sent + 1);
    EXPECT_EQ(box.mailbox->waitingLine(0), std::string(2000, 'x'));  // not cut
    EXPECT_EQ(box.mailbox->waitingLine(sent), "line " + std::to_string(sent - 1));
    EXPECT_EQ(box.mailbox->waitingLine(sent + 1), "");
    box.mailbox->dropLine(0);
    box.mailbox->dropLine(1);  // "line 1"
    box.mailbox->dropLine(sent + 5);
    EXPECT_EQ(box.mailbox->waitingLines(), sent - 1);
    EXPECT_EQ(box.mailbox->takeLine(), "line 0");
    for (std::size_t i = 2; i < sent; ++i) ASSERT_EQ(box.mailbox->takeLine(), "line " + std::to_string(i));
    EXPECT_EQ(box.mailbox->waitingLines(), 0u);
    box.send("force\n");
    box.mailbox->waitForLines();
    EXPECT_EQ(box.mailbox->waitingLine(0), "force");
    EXPECT_EQ(box.mailbox->takeLine(), "force");
}

}  // namespace
