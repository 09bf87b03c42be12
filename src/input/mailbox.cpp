#include "input/mailbox.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

namespace {

// Both sides wait by polling. A short interval keeps the delay of each line
// (a GUI sends three per move: the clocks and the move) off the engine's
// clock; the idle cost of waking this often is negligible.
constexpr auto pollInterval = std::chrono::milliseconds(1);

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

// The buffer grows by doubling, so a long line costs few copies. The heap
// buffer is never freed: the mailbox lives as long as the program.
bool InputMailbox::growBuffer(std::size_t characters) {
    if (characters + 1 <= bufferSize_) return true;
    const std::size_t size = std::min(std::max(characters + 1, 2 * bufferSize_), longestLine + 1);
    char* bigger = nullptr;
    if (line_ == inlineLine_) {
        bigger = static_cast<char*>(std::malloc(size));
        if (bigger) std::memcpy(bigger, inlineLine_, bufferSize_);
    } else {
        bigger = static_cast<char*>(std::realloc(line_, size));
    }
    if (!bigger) return false;
    line_ = bigger;
    bufferSize_ = size;
    return true;
}

// Reads one line of any length, keeping at most longestLine characters and
// dropping the line break.
bool InputMailbox::readLine(std::FILE* input) {
    std::size_t length = 0;
    bool room = true;
    int c;
    bool any = false;
    while ((c = std::fgetc(input)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (room && length < longestLine && growBuffer(length + 1))
            line_[length++] = static_cast<char>(c);
        else
            room = false;
    }
    if (length > 0 && line_[length - 1] == '\r') --length;
    line_[length] = '\0';
    return any;
}

// The end of input is answered with "quit", so a GUI that closes the pipe
// ends the program as cleanly as the command would, even mid-search.
void InputMailbox::readerLoop(std::FILE* input) {
    for (;;) {
        if (readRequested_.load(std::memory_order_acquire)) {
            if (!readLine(input)) std::snprintf(line_, bufferSize_, "quit");
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

const char* InputMailbox::waitLine() const {
    while (readRequested_.load(std::memory_order_acquire)) std::this_thread::sleep_for(pollInterval);
    return line_;
}

std::string InputMailbox::takeLine() {
    const char* waiting = waitLine();
    std::string line(waiting, std::min(std::strlen(waiting), lineLimit_));
    requestLine();
    return line;
}

const char* InputMailbox::peekLine() const { return readRequested_.load(std::memory_order_acquire) ? nullptr : line_; }

void InputMailbox::setLineLimit(std::size_t characters) {
    lineLimit_ = std::clamp(characters, lineCapacity, longestLine);
}

void InputMailbox::stopReader() { stopRequested_.store(true, std::memory_order_release); }
