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
    // The longest line kept; the rest of a longer line is dropped.
    static constexpr std::size_t lineCapacity = 1003;

    // Starts the reader thread on the given stream. Returns false when the
    // thread cannot be started.
    bool startReader(std::FILE* input);
    // Empties the line and asks the reader for the next one.
    void requestLine();
    // Waits for a line, returns it and asks for the next one.
    std::string takeLine();
    // The waiting line, or null while none is there; nothing is consumed.
    const char* peekLine() const;
    void stopReader();

private:
    void readerLoop(std::FILE* input);

    char line_[lineCapacity + 1] = {};
    std::atomic<bool> readRequested_{false};
    std::atomic<bool> stopRequested_{false};
};

// The program's mailbox outlives main(); nothing may need destroying.
static_assert(std::is_trivially_destructible_v<InputMailbox>);
