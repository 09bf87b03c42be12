// The single-slot mailbox between the console reader thread and the main
// thread. A request flag hands the line buffer back and forth: while it is
// set the reader owns the buffer and owes a line; while it is clear a line
// is waiting for the main thread. No lock is needed because each side
// touches the buffer only on its own turn.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <type_traits>

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
    // thread cannot be started.
    bool startReader(std::FILE* input);
    // Empties the line and asks the reader for the next one.
    void requestLine();
    // Waits for a line and returns it; nothing is consumed.
    const char* waitLine() const;
    // Waits for a line, returns at most the line limit of it and asks for
    // the next one.
    std::string takeLine();
    // The waiting line, whole, or null while none is there; nothing is
    // consumed.
    const char* peekLine() const;
    // How much of a line takeLine returns, from lineCapacity up to
    // longestLine. The reader keeps whole lines whatever the limit, so a
    // raised limit applies to a line that has already arrived too. Called
    // by the main thread only.
    void setLineLimit(std::size_t characters);
    void stopReader();

private:
    void readerLoop(std::FILE* input);
    // Reads one line into the buffer, growing it as needed; false at the
    // end of input with nothing read.
    bool readLine(std::FILE* input);
    // Makes room for at least the given number of characters; false when
    // no memory is left for it.
    bool growBuffer(std::size_t characters);

    // Lines up to the usual length live inline; a longer one moves the
    // buffer to the heap, where it stays for the life of the mailbox.
    char inlineLine_[lineCapacity + 1] = {};
    char* line_ = inlineLine_;
    std::size_t bufferSize_ = lineCapacity + 1;
    std::size_t lineLimit_ = lineCapacity;
    std::atomic<bool> readRequested_{false};
    std::atomic<bool> stopRequested_{false};
};

// The program's mailbox outlives main(); nothing may need destroying.
static_assert(std::is_trivially_destructible_v<InputMailbox>);
