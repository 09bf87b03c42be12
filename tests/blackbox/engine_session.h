// One run of the engine program as a GUI drives it: in xboard mode (or in
// UCI mode, when the greeting is "uci"), in a fresh empty working directory
// (so no book or tables are read) unless given a folder, read line by line. Shared by the
// black-box tests of play, of thinking and of UCI.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_process.h"

// An empty directory that lives as long as the object.
class ScratchDirectory {
public:
    ScratchDirectory() {
        char name[] = "/tmp/vortelan-play-XXXXXX";
        if (mkdtemp(name)) path_ = name;
    }
    ~ScratchDirectory() {
        if (!path_.empty()) rmdir(path_.c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline long long millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// A bound of a few hundred milliseconds on an answer holds for the
// optimised program even on a busy machine, not under the sanitizers, which
// slow it many times over: tests check such bounds only where they hold.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool tightTimingHolds = false;
#else
constexpr bool tightTimingHolds = true;
#endif

struct ThinkingLine {
    int depth = 0;
    int score = 0;
    int centiseconds = 0;
    long long nodes = 0;
    std::string move;  // the best move's squares
    std::vector<std::string> line;
};

// A whole number in decimal, with a minus sign if negative.
inline bool isWholeNumber(const std::string& text) {
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.size() > digits + 18) return false;
    for (std::size_t i = digits; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// Two squares in coordinates, as e2e4.
inline bool isSquarePair(const std::string& text) {
    return text.size() == 4 && text[0] >= 'a' && text[0] <= 'h' && text[1] >= '1' && text[1] <= '8' &&
           text[2] >= 'a' && text[2] <= 'h' && text[3] >= '1' && text[3] <= '8';
}

// A move in coordinates: two squares, and the piece a pawn becomes.
inline bool isCoordinateMove(const std::string& text) {
    return isSquarePair(text.substr(0, 4)) &&
           (text.size() == 4 || (text.size() == 5 && std::string("qrbn").find(text[4]) != std::string::npos));
}

// "2 -6 0 291 g8f6 b1c3": depth, centipawns, centiseconds, nodes and the
// line from the best move on, separated by single blanks and nothing else
// on the line.
inline bool parseThinkingLine(const std::string& line, ThinkingLine& parsed) {
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = line.find(' ', begin);
        fields.push_back(line.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) break;
        begin = end + 1;
    }
    if (fields.size() < 5) return false;
    for (std::size_t i = 4; i < fields.size(); ++i)
        if (!isCoordinateMove(fields[i])) return false;
    for (int i = 0; i < 4; ++i)
        if (!isWholeNumber(fields[i])) return false;
    parsed.depth = static_cast<int>(std::stoll(fields[0]));
    parsed.score = static_cast<int>(std::stoll(fields[1]));
    parsed.centiseconds = static_cast<int>(std::stoll(fields[2]));
    parsed.nodes = std::stoll(fields[3]);
    parsed.move = fields[4].substr(0, 4);
    parsed.line.assign(fields.begin() + 4, fields.end());
    return true;
}

// "move e7e5", or "move a7a8q" with the piece a pawn becomes.
inline bool isMoveLine(const std::string& line) {
    if (line.rfind("move ", 0) != 0) return false;
    const std::string move = line.substr(5);
    if (move.size() == 5) return isSquarePair(move.substr(0, 4)) && std::string("qrbn").find(move[4]) != std::string::npos;
    return isSquarePair(move);
}

// A line of the answer to "protover": "feature NAME=VALUE ...".
inline bool isFeatureLine(const std::string& line) { return line.rfind("feature ", 0) == 0; }

class EngineSession {
public:
    explicit EngineSession(const std::string& greeting = "xboard", const std::string& folder = "")
        : engine_({VORTELAN_BINARY}, folder.empty() ? directory_.path() : folder) {
        // The banner and the start diagram come before anything is read.
        const std::string diagramEnd = "  a b c d e f g h\n\n";
        ready_ = engine_.waitFor(diagramEnd, 10000);
        if (ready_) cursor_ = engine_.output().find(diagramEnd) + diagramEnd.size();
        send(greeting);
    }

    bool ready() const { return ready_; }

    void send(const std::string& line) { engine_.send(line + "\n"); }

    // The next whole line written, or false when none comes in time.
    bool nextLine(std::string& line, int timeoutMs) {
        if (!engine_.waitFor("\n", timeoutMs)) return false;
        const std::size_t end = engine_.output().find('\n', cursor_);
        line = engine_.output().substr(cursor_, end - cursor_);
        cursor_ = end + 1;
        return true;
    }

    // Every line up to and including the first that starts with the prefix;
    // the last line is not the one asked for when the time ran out.
    std::vector<std::string> linesUntil(const std::string& prefix, int timeoutMs) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> lines;
        std::string line;
        for (;;) {
            const long long left = timeoutMs - millisecondsSince(start);
            if (left <= 0 || !nextLine(line, static_cast<int>(left))) break;
            lines.push_back(line);
            if (line.rfind(prefix, 0) == 0) break;
        }
        return lines;
    }

    // Everything the engine says in answer to the lines already sent, when
    // it is not thinking: "protover 2" is answered only after them, so the
    // lines before its feature lines are the whole answer to the earlier
    // input.
    std::vector<std::string> quietAnswer(int timeoutMs = 10000) {
        send("protover 2");
        std::vector<std::string> lines = linesUntil("feature done=1", timeoutMs);
        const bool synced = !lines.empty() && lines.back() == "feature done=1";
        EXPECT_TRUE(synced) << "the engine did not answer protover";
        if (synced) {
            lines.pop_back();
            while (!lines.empty() && isFeatureLine(lines.back())) lines.pop_back();
        }
        return lines;
    }

    // Waits for the first thinking line of a search that has just begun.
    bool waitForThinking(int timeoutMs = 10000) {
        ThinkingLine parsed;
        const std::vector<std::string> lines = linesUntil("", timeoutMs);
        return !lines.empty() && parseThinkingLine(lines.back(), parsed);
    }

    ChildProcess& process() { return engine_; }

private:
    ScratchDirectory directory_;
    ChildProcess engine_;
    bool ready_ = false;
    std::size_t cursor_ = 0;
};

// What the engine announced for its move: the thinking lines and the move
// in coordinates ("" when no move came in time).
struct EngineReply {
    std::vector<ThinkingLine> thinking;
    std::vector<std::string> otherLines;
    std::string move;
    long long milliseconds = 0;
};

inline EngineReply awaitMove(EngineSession& session, int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    EngineReply reply;
    for (const std::string& line : session.linesUntil("move ", timeoutMs)) {
        ThinkingLine parsed;
        if (line.rfind("move ", 0) == 0) {
            EXPECT_TRUE(isMoveLine(line)) << line;
            reply.move = line.substr(5);
        } else if (parseThinkingLine(line, parsed)) {
            reply.thinking.push_back(parsed);
        } else {
            reply.otherLines.push_back(line);
        }
    }
    reply.milliseconds = millisecondsSince(start);
    return reply;
}
