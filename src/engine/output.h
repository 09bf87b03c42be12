// The protocols' standard output: whole lines, each flushed at once so that
// a GUI reads it without delay.
#pragma once

#include <ostream>
#include <string>

class Output {
public:
    explicit Output(std::ostream& out) : out_(out) {}

    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Prints one line and flushes it, unless output is held.
    void printLine(const std::string& text);
    // Lines printed while output is held leave together, in one write, at
    // release: a GUI then reads a move and the result line that ends the
    // game at once, and never takes the result, read late, for a claim in
    // the game it has started since.
    void hold() { held_ = true; }
    void release();

private:
    std::ostream& out_;
    bool held_ = false;
};
