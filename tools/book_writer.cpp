#include "book_writer.h"

#include <algorithm>
#include <cstdint>

#include "replace_file.h"

namespace {

// How many of the sorted lines begin with the prefix. Book characters lie
// between '0' and 'o', so every extension of the prefix sorts before
// prefix + '\x7f'.
std::size_t countWithPrefix(const std::vector<std::string>& sorted, const std::string& prefix) {
    const auto first = std::lower_bound(sorted.begin(), sorted.end(), prefix);
    const auto last = std::lower_bound(first, sorted.end(), prefix + '\x7f');
    return static_cast<std::size_t>(last - first);
}

}  // namespace

std::vector<std::string> keepSharedPrefixes(const std::vector<std::string>& lines, int minGames) {
    std::vector<std::string> sorted = lines;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> kept;
    for (const std::string& line : sorted) {
        std::size_t length = 0;
        // The share of a prefix only shrinks as it grows: stop at the first
        // move too few games played.
        while (length + 2 <= line.size() &&
               countWithPrefix(sorted, line.substr(0, length + 2)) >= static_cast<std::size_t>(minGames))
            length += 2;
        if (length > 0) kept.push_back(line.substr(0, length));
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

std::vector<std::string> limitLineCount(const std::vector<std::string>& sortedLines, std::size_t limit) {
    if (sortedLines.size() <= limit) return sortedLines;
    const uint64_t total = sortedLines.size();
    std::vector<std::string> out;
    for (std::size_t i = 0; i < sortedLines.size();) {
        std::size_t j = i;
        while (j < sortedLines.size() && sortedLines[j] == sortedLines[i]) ++j;
        const uint64_t copies = static_cast<uint64_t>(j - i) * limit / total;
        for (uint64_t k = 0; k < copies; ++k) out.push_back(sortedLines[i]);
        i = j;
    }
    return out;
}

bool writeBookFile(const std::string& path, const std::vector<std::string>& lines, std::string& error) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    if (!lines.empty()) text += '\n';
    return replaceFile(path, text, error);
}
