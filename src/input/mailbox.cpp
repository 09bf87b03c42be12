#include "input/mailbox.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Reads one line of any length into line, keeping at most longestLine
// characters and dropping the line break; false at the end of input with
// nothing read. A NUL ends the line's text, as it did when lines were
// handed over as C strings. Without memory for more, the rest of the line
// is dropped as if it were too long.
bool readLine(std::FILE* input, std::string& line) {
    line.clear();
    bool room = true;
    bool any = false;
    int c;
    while ((c = std::fgetc(input)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (!room || line.size() >= InputMailbox::longestLine) continue;
        try {
            line.push_back(static_cast<char>(c));
        } catch (const std::bad_alloc&) {
            room = false;
        }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line.erase(std::find(line.begin(), line.end(), '\0'), line.end());
    return any;
}

}  // namespace

bool InputMailbox::startReader(std::FILE* input) {
    stopRequested_.store(false, std::memory_order_release);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
        inputEnded_ = false;
        waiting_.store(0, std::memory_order_release);
    }
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
    std::string line;
    while (!stopRequested_.load(std::memory_order_acquire)) {
        if (!readLine(input, line)) {
            queueLine("quit", true);
            return;
        }
        queueLine(std::move(line), false);
    }
}

void InputMailbox::queueLine(std::string line, bool inputEnded) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
        inputEnded_ = inputEnded_ || inputEnded;
        waiting_.store(lines_.size(), std::memory_order_release);
    }
    lineArrived_.notify_all();
}

void InputMailbox::lineRemoved() {
    if (inputEnded_ && lines_.empty()) lines_.emplace_back("quit");
    waiting_.store(lines_.size(), std::memory_order_release);
}

std::string InputMailbox::takeLine() {
    std::unique_lock<std::mutex> lock(mutex_);
    lineArrived_.wait(lock, [this] { return !lines_.empty(); });
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    lineRemoved();
    lock.unlock();
    if (line.size() > lineLimit_) line.resize(lineLimit_);
    return line;
}

std::string InputMailbox::waitingLine(std::size_t index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return index < lines_.size() ? lines_[index] : std::string();
}

void InputMailbox::dropLine(std::size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= lines_.size()) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
    lineRemoved();
}

void InputMailbox::waitForLines(std::size_t count) const {
    std::unique_lock<std::mutex> lock(mutex_);
    lineArrived_.wait(lock, [this, count] { return lines_.size() >= count; });
}

void InputMailbox::setLineLimit(std::size_t characters) {
    lineLimit_ = std::clamp(characters, lineCapacity, longestLine);
}

void InputMailbox::stopReader() { stopRequested_.store(true, std::memory_order_release); }
