// The queue of input lines between the console reader thread and the main
// thread. The reader reads ahead without waiting to be asked and appends
// every line it reads, so nothing is lost however fast a GUI writes, and the
// main thread sleeps on a condition variable until a line arrives. The
// search looks at the queue at many nodes: while nothing has arrived that
// costs one atomic load.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>

class InputMailbox {
public:
    // The longest line taken unless told otherwise; the rest of a longer
    // line is dropped.
    static constexpr std::size_t lineCapacity = 1003;
    // The most the reader ever keeps of a line: a UCI "position" line with
    // the moves of a game of 200,000 plies. It bounds the memory a line
    // without a break can take.
    static constexpr std::size_t longestLine = std::size_t{1} << 20;

    // Starts the reader thread on the given stream. Returns false when the
    // thread cannot be started. The thread is detached and may still be
    // blocked in a read when the program ends, so the mailbox must outlive
    // it: give it static storage or never delete it.
    bool startReader(std::FILE* input);
    // Waits for the oldest line, removes it and returns at most the line
    // limit of it.
    std::string takeLine();
    // How many lines are queued. Lock-free; only the main thread removes
    // lines, so for it the count can only grow until it takes or drops one.
    std::size_t waitingLines() const { return waiting_.load(std::memory_order_acquire); }
    // A copy of queued line index (0 the oldest), whole; empty when there
    // is no such line. Nothing is removed.
    std::string waitingLine(std::size_t index) const;
    // Removes queued line index, if there is one.
    void dropLine(std::size_t index);
    // Waits until at least the given number of lines is queued.
    void waitForLines(std::size_t count = 1) const;
    // How much of a line takeLine returns, from lineCapacity up to
    // longestLine. The reader keeps whole lines whatever the limit, so a
    // raised limit applies to a line that has already arrived too. Called
    // by the main thread only.
    void setLineLimit(std::size_t characters);
    // Asks the reader to stop after the line it is reading.
    void stopReader();

private:
    void readerLoop(std::FILE* input);
    void queueLine(std::string line, bool inputEnded);
    // Called with the lock held after a line was removed.
    void lineRemoved();

    mutable std::mutex mutex_;
    mutable std::condition_variable lineArrived_;
    std::deque<std::string> lines_;
    // Once the input has ended the queue never runs dry: the last "quit"
    // taken is queued again, so every later wait is answered too.
    bool inputEnded_ = false;
    // The size of lines_, written under the lock whenever it changes.
    std::atomic<std::size_t> waiting_{0};
    std::size_t lineLimit_ = lineCapacity;
    std::atomic<bool> stopRequested_{false};
};
