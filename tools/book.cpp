// vortelan-book: builds the engine's opening books "blancas.ape" (consulted
// when White is to move) and "negras.ape" (when Black is to move) from PGN
// files and plain files of coordinate-move lines.
//
// A source named plainly feeds both books; one given with --white or
// --black feeds only that colour's book. Every game becomes one line of
// moves from the start position, cut to the plies kept and checked move by
// move with the engine's rules. Within each book, a line is then cut back to
// the longest prefix that at least the minimum number of games share; the
// number of lines that continue with a move is its weight.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "board/rules.h"
#include "book_replay.h"
#include "book_sources.h"
#include "book_writer.h"

namespace {

// One game played in a single collection is more likely a whim (or a slip)
// than theory: by default a move must come from two games to be kept.
constexpr int defaultMinGames = 2;
constexpr int defaultPlies = 16;

const char* usageText =
    "usage: vortelan-book [options] [FILE...] [--white FILE] [--black FILE]\n"
    "  FILE              a source for both books (.pgn: PGN; other: lines of coordinate moves)\n"
    "  -w, --white FILE  a source for White's book (blancas.ape) only\n"
    "  -b, --black FILE  a source for Black's book (negras.ape) only\n"
    "  -p, --plies N     plies kept from each game, 1 to 126 (default 16)\n"
    "  -m, --min-games N games that must share a move for it to be kept (default 2)\n"
    "  -o, --output DIR  folder for blancas.ape and negras.ape (default .)\n"
    "  --strict          fail when any game had to be stopped or skipped\n";

struct Source {
    std::string path;
    bool white = true;
    bool black = true;
};

struct Options {
    int plies = defaultPlies;
    int minGames = defaultMinGames;
    std::string output = ".";
    bool strict = false;
    std::vector<Source> sources;
};

bool readNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long number = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

// False on a usage error, with the reason in error.
bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "-w" || arg == "--white" || arg == "-b" || arg == "--black" || arg == "-p" ||
                                arg == "--plies" || arg == "-m" || arg == "--min-games" || arg == "-o" ||
                                arg == "--output";
        if (takesValue && i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "-w" || arg == "--white") {
            options.sources.push_back({argv[++i], true, false});
        } else if (arg == "-b" || arg == "--black") {
            options.sources.push_back({argv[++i], false, true});
        } else if (arg == "-p" || arg == "--plies") {
            if (!readNumber(argv[++i], 1, maxBookPlies, options.plies)) {
                error = "the plies must be a number from 1 to 126";
                return false;
            }
        } else if (arg == "-m" || arg == "--min-games") {
            if (!readNumber(argv[++i], 1, 1000000000, options.minGames)) {
                error = "the minimum number of games must be a number from 1 up";
                return false;
            }
        } else if (arg == "-o" || arg == "--output") {
            options.output = argv[++i];
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option " + arg;
            return false;
        } else {
            options.sources.push_back({arg, true, true});
        }
    }
    if (options.sources.empty()) {
        error = "no source files";
        return false;
    }
    return true;
}

// Cuts, limits and writes one colour's book; false when it cannot be written.
bool buildBook(const std::string& name, const std::vector<std::string>& lines, const Options& options) {
    std::vector<std::string> kept = keepSharedPrefixes(lines, options.minGames);
    const std::size_t before = kept.size();
    kept = limitLineCount(kept, maxBookLines);
    if (kept.size() < before)
        std::cerr << "vortelan-book: " << name << ": " << before << " lines are more than the engine holds; "
                  << "weights lowered in proportion to " << kept.size() << " lines\n";
    std::string error;
    if (!writeBookFile(options.output + "/" + name, kept, error)) {
        std::cerr << "vortelan-book: " << error << "\n";
        return false;
    }
    std::cout << name << ": " << kept.size() << " lines\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::cerr << "vortelan-book: " << error << "\n" << usageText;
        return 2;
    }

    // The book holds squares only: the hash keys play no part in it.
    Rules rules;
    GameReplayer replayer(rules, std::cerr);
    std::vector<std::string> whiteLines;
    std::vector<std::string> blackLines;
    int games = 0;
    for (const Source& source : options.sources) {
        std::vector<GameRecord> records;
        if (!readBookSource(source.path, records, error)) {
            std::cerr << "vortelan-book: " << error << "\n";
            return 1;
        }
        for (const GameRecord& game : records) {
            ++games;
            const std::string line = replayer.replay(game, options.plies);
            if (line.empty()) continue;
            if (source.white) whiteLines.push_back(line);
            if (source.black) blackLines.push_back(line);
        }
    }
    std::cout << games << " games read, " << replayer.stoppedGames() << " stopped or skipped\n";
    if (!buildBook("blancas.ape", whiteLines, options) || !buildBook("negras.ape", blackLines, options)) return 1;
    if (options.strict && replayer.stoppedGames() > 0) {
        std::cerr << "vortelan-book: " << replayer.stoppedGames() << " games had to be stopped or skipped\n";
        return 1;
    }
    return 0;
}
