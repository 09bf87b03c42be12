#include "book/book.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

#include "book/book_code.h"
#include "input/data_file.h"

namespace {

constexpr std::size_t maxBookLines = 50000;
constexpr int bookReadSize = 255;  // at most 254 characters per read

// A stored line of moves holds square codes alone before its line break. It
// ends in the break unless it is a full piece of a longer line: one that
// stops short of both was cut by a NUL byte, which no book holds.
bool isLineOfMoves(const std::string& line) {
    std::size_t end = line.size();
    if (end < static_cast<std::size_t>(bookReadSize - 1) && (end == 0 || line[end - 1] != '\n')) return false;
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r')) --end;
    return std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(end), isSquareCode);
}

// Why the lines read from a book file are not all of it, or nothing. A file
// that could not be read to the end or holds no line of moves is not used;
// damaged lines are kept, since the choice skips whatever is no legal move.
std::string bookFileProblem(std::vector<std::string>& lines, bool readFailed, bool cutShort, bool unfinishedLastLine) {
    if (readFailed) {
        lines.clear();
        return "cannot be read to the end; going on without it";
    }
    const auto damaged =
        std::count_if(lines.begin(), lines.end(), [](const std::string& line) { return !isLineOfMoves(line); });
    if (damaged > 0 && static_cast<std::size_t>(damaged) == lines.size()) {
        lines.clear();
        return "holds no line of moves in square code; going on without it";
    }
    if (cutShort) return "holds more than " + std::to_string(maxBookLines) + " lines; the rest is left out";
    if (damaged > 0) return "holds lines that are not moves in square code; they are never chosen";
    if (unfinishedLastLine) return "ends in a line without a line break, left out: the file may be cut short";
    return {};
}

// Longer lines are cut into pieces of 254 characters, each stored as a line
// of its own. A last line without a line break is not stored. An empty file
// is an empty book, as the book builder writes for a colour without lines.
void loadBookFile(const char* fileName, std::vector<std::string>& lines) {
    std::FILE* file = openDataFile(fileName, "r");
    if (!file) return;
    char buffer[256];
    bool unfinishedLastLine = false;
    while (lines.size() < maxBookLines) {
        if (!std::fgets(buffer, bookReadSize, file)) break;
        if (std::feof(file)) {
            unfinishedLastLine = true;
            break;
        }
        lines.emplace_back(buffer);
    }
    const bool cutShort = lines.size() == maxBookLines && std::fgetc(file) != EOF;
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    const std::string problem = bookFileProblem(lines, readFailed, cutShort, unfinishedLastLine);
    if (!problem.empty()) reportDataFile(fileName, problem);
}

}  // namespace

void OpeningBook::loadBooks() {
    whiteBook.clear();
    blackBook.clear();
    loadBookFile("blancas.ape", whiteBook);
    loadBookFile("negras.ape", blackBook);
}

// Candidates that are not squares or not legal here are skipped, so a
// damaged book can never make the engine play an illegal move.
int OpeningBook::chooseMove(const Position* game, int count, Position& current, const Rules& rules, Random& random,
                            uint8_t& from, uint8_t& to) const {
    std::string gameText;
    for (int i = 0; i < count; ++i) {
        const Position& p = game[i];
        if (p.lastFrom == 255) continue;
        gameText += encodeMove(p.lastFrom, p.lastTo);
    }
    const std::size_t length = gameText.size();
    const std::vector<std::string>& book = current.sideToMove == WHITE ? whiteBook : blackBook;

    MoveList legal;
    generateLegalMoves(current, legal, rules);
    auto isLegal = [&legal](int f, int t) {
        for (int i = 0; i < legal.count; ++i) {
            if (legal.from[i] == f && legal.to[i] == t) return true;
        }
        return false;
    };

    // The last loaded line of a list takes no part in the choice.
    std::vector<uint8_t> candidateFrom;
    std::vector<uint8_t> candidateTo;
    for (std::size_t e = 0; e + 1 < book.size(); ++e) {
        const std::string& line = book[e];
        if (line.size() < length + 2) continue;
        if (length != 0 && line.compare(0, length, gameText) != 0) continue;
        if (candidateFrom.size() >= maxBookLines) break;
        const char f = line[length];
        const char t = line[length + 1];
        if (!isSquareCode(f) || !isSquareCode(t) || !isLegal(codeSquare(f), codeSquare(t))) continue;
        candidateFrom.push_back(static_cast<uint8_t>(codeSquare(f)));
        candidateTo.push_back(static_cast<uint8_t>(codeSquare(t)));
    }
    const std::size_t candidates = candidateFrom.size();
    if (candidates == 0) return 0;
    const std::size_t index = candidates * static_cast<std::size_t>(random.next()) / 32767;
    if (index >= candidates) return 0;
    from = candidateFrom[index];
    to = candidateTo[index];
    return 1;
}
