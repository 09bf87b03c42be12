#include "input/mailbox.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace {

// Both sides wait by polling. A short interval keeps the delay of each line
// (a GUI sends three per move: the clocks and the move) off the engine's
// clock; the idle cost of waking this often is negligible.
constexpr auto pollInterval = std::chrono::milliseconds(1);

// Reads one line of any length, keeping at most capacity characters and
// dropping the line break. False at the end of input with nothing read.
bool readLine(std::FILE* input, char* buffer, std::size_t capacity) {
    std::size_t length = 0;
    int c;
    bool any = false;
    while ((c = std::fgetc(input)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < capacity) buffer[length++] = static_cast<char>(c);
    }
    if (length > 0 && buffer[length - 1] == '\r') --length;
    buffer[length] = '\0';
    return any;
}

}  // namespace

bool InputMailbox::startReader(std::FILE* input) {
    stopRequested_.store(false, std::memory_order_release);
    readRequested_.store(false, std::memory_order_release);
    line_[0] = '\0';
    try {
        std::thread(&InputMailbox::readerLoop, this, input).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

// The end of input is answered with "quit", so a GUI that closes the pipe
// ends the program as cleanly as the command would, even mid-search.
void InputMailbox::readerLoop(std::FILE* input) {
    for (;;) {
        if (readRequested_.load(std::memory_order_acquire)) {
            if (!readLine(input, line_, lineCapacity)) std::snprintf(line_, sizeof line_, "quit");
            readRequested_.store(false, std::memory_order_release);
        } else {
            std::this_thread::sleep_for(pollInterval);
        }
        if (stopRequested_.load(std::memory_order_acquire)) {
            readRequested_.store(false, std::memory_order_release);
            return;
        }
    }
}

void InputMailbox::requestLine() {
    line_[0] = '\0';
    readRequested_.store(true, std::memory_order_release);
}

std::string InputMailbox::takeLine() {
    while (readRequested_.load(std::memory_order_acquire)) std::this_thread::sleep_for(pollInterval);
    std::string line(line_);
    requestLine();
    return line;
}

const char* InputMailbox::peekLine() const {
    return readRequested_.load(std::memory_order_acquire) ? nullptr : line_;
}

void InputMailbox::stopReader() { stopRequested_.store(true, std::memory_order_release); }
