#include "book/book.h"

#include <cstdio>

#include "book/book_code.h"

namespace {

constexpr std::size_t maxBookLines = 50000;
constexpr int bookReadSize = 255;  // at most 254 characters per read

// Longer lines are cut into pieces of 254 characters, each stored as a line
// of its own. A last line without a line break is not stored.
void loadBookFile(const char* fileName, std::vector<std::string>& lines) {
    std::FILE* file = std::fopen(fileName, "r");
    if (!file) return;
    char buffer[256];
    while (lines.size() < maxBookLines) {
        if (!std::fgets(buffer, bookReadSize, file) || std::feof(file)) break;
        lines.emplace_back(buffer);
    }
    std::fclose(file);
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
