// vortelan-tune: fits the piece-square table source (data/tables.txt) to the
// results of games, so that the engine's evaluation of their quiet positions
// predicts the results as well as it can. Deterministic for a given input.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "book_sources.h"
#include "replace_file.h"
#include "tables_builder.h"
#include "tables_source.h"
#include "tune_engine.h"
#include "tune_fit.h"
#include "tune_writer.h"

namespace {

const char* usageText =
    "usage: vortelan-tune [options] SOURCE [GAMES.pgn...]\n"
    "  -o, --output FILE     the tuned source (default: tables-tuned.txt)\n"
    "  --positions FILE      write the games' quiet positions there, to be labelled, and stop\n"
    "  --labels FILE         labelled positions to fit (as many as wanted; instead of or with games)\n"
    "  --skip-plies N        plies left out at the start of each game (default 16)\n"
    "  --max-score N         positions beyond N engine units are left out (default 4000)\n"
    "  --passes N            passes of the coordinate descent at most (default 30)\n"
    "  --hold-out N          every N-th game is held out to stop the fit (default 10; 0: none)\n"
    "  --step N              first step of every value, in source units (default 4)\n"
    "  --prior X             error a value pays per squared unit it strays (default 1e-6)\n"
    "  --tables-only         keep the scale and the blend range as they are\n";

// White's score for a result as written; false for an unfinished game, or
// one decided off the board (on time, by a crash or an illegal move), whose
// result says nothing about its positions.
bool resultForWhite(const GameRecord& game, float& score) {
    const std::string& ending = game.termination;
    if (!ending.empty() && ending != "normal" && ending != "adjudication") return false;
    const std::string& result = game.result;
    if (result == "1-0")
        score = 1.0f;
    else if (result == "0-1")
        score = 0.0f;
    else if (result == "1/2-1/2")
        score = 0.5f;
    else
        return false;
    return true;
}

// Games that begin alike (the runner plays every opening twice, and an
// engine often plays the same moves for a while with either colour) share
// most of their early positions, so they are held out together: the group
// of a game is a hash of its first plies, the same on every machine.
int openingGroup(const GameRecord& game) {
    constexpr std::size_t groupPlies = 24;
    uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < game.moves.size() && i < groupPlies; ++i) {
        for (char c : game.moves[i].text + ' ') hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return static_cast<int>(hash >> 1);
}

// A labelled positions file has one position a line: White's expected
// result (0 to 1), the game number, then the moves from the start in
// coordinate notation, as scripts/tune-label.js writes them. Returns false
// when the file cannot be read or a line is malformed.
bool readLabels(const std::string& path, TunePositionSource& positions, const QuietPositionRules& rules, TuneSet& set,
                int& used, int& dropped) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    std::vector<std::string> moves;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        float label = 0;
        int game = 0;
        if (!(words >> label >> game) || label < 0 || label > 1) return false;
        moves.clear();
        for (std::string move; words >> move;) moves.push_back(move);
        if (positions.addPosition(moves, label, game, rules, set))
            ++used;
        else
            ++dropped;
    }
    return true;
}

bool readNumber(const char* text, int low, int high, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return text[used] == '\0' && value >= low && value <= high;
    } catch (...) {
        return false;
    }
}

bool readFraction(const char* text, double& value) {
    try {
        std::size_t used = 0;
        value = std::stod(text, &used);
        return text[used] == '\0' && value >= 0 && value < 1;
    } catch (...) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string output = "tables-tuned.txt";
    QuietPositionRules rules;
    FitOptions options;
    options.prior = 1e-6;
    std::vector<std::string> paths;
    std::vector<std::string> labelPaths;
    std::string positionsPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        bool ok = true;
        if ((arg == "-o" || arg == "--output") && hasValue)
            output = argv[++i];
        else if (arg == "--skip-plies" && hasValue)
            ok = readNumber(argv[++i], 0, 1000, rules.skipPlies);
        else if (arg == "--max-score" && hasValue)
            ok = readNumber(argv[++i], 1, 400000, rules.maxScore);
        else if (arg == "--passes" && hasValue)
            ok = readNumber(argv[++i], 0, 1000, options.maxPasses);
        else if (arg == "--hold-out" && hasValue)
            ok = readNumber(argv[++i], 0, 1000, options.holdOutEvery);
        else if (arg == "--step" && hasValue)
            ok = readNumber(argv[++i], 1, 100, options.firstStep);
        else if (arg == "--prior" && hasValue)
            ok = readFraction(argv[++i], options.prior);
        else if (arg == "--positions" && hasValue)
            positionsPath = argv[++i];
        else if (arg == "--labels" && hasValue)
            labelPaths.push_back(argv[++i]);
        else if (arg == "--tables-only")
            options.fitBlendAndScale = false;
        else if (arg.empty() || arg[0] == '-')
            ok = false;
        else
            paths.push_back(arg);
        if (!ok) {
            std::cerr << usageText;
            return 2;
        }
    }
    if (paths.empty() || (paths.size() < 2 && labelPaths.empty()) || (!positionsPath.empty() && paths.size() < 2)) {
        std::cerr << usageText;
        return 2;
    }

    std::ifstream in(paths[0]);
    if (!in) {
        std::cerr << "vortelan-tune: cannot read " << paths[0] << "\n";
        return 1;
    }
    auto source = std::make_unique<TableSource>();
    std::string error;
    if (!readTableSource(in, paths[0], *source, error)) {
        std::cerr << "vortelan-tune: " << error << "\n";
        return 1;
    }

    auto tables = std::make_unique<PieceSquareTables>();
    buildTables(*source, *tables);
    TunePositionSource positions(*tables);
    TuneSet set;
    int games = 0;
    int repeats = 0;
    std::ofstream positionsOut;
    if (!positionsPath.empty()) {
        positionsOut.open(positionsPath);
        if (!positionsOut) {
            std::cerr << "vortelan-tune: cannot write " << positionsPath << "\n";
            return 1;
        }
    }
    // A game read before is read once: an engine at a fixed depth plays the
    // same game with either colour, and a copy would both weigh it twice and
    // let it sit on both sides of the held-out split.
    std::unordered_set<std::string> seen;
    for (std::size_t p = 1; p < paths.size(); ++p) {
        std::vector<GameRecord> records;
        if (!readBookSource(paths[p], records, error)) {
            std::cerr << "vortelan-tune: " << error << "\n";
            return 1;
        }
        int used = 0;
        for (const GameRecord& record : records) {
            float result = 0;
            if (!resultForWhite(record, result)) continue;
            std::string moves;
            for (const MoveText& move : record.moves) moves += move.text + ' ';
            if (!seen.insert(moves).second) {
                ++repeats;
                continue;
            }
            positions.addGame(record, result, openingGroup(record), rules, set,
                              positionsPath.empty() ? nullptr : &positionsOut);
            ++games;
            ++used;
        }
        std::cout << paths[p] << ": " << used << " games with a result; " << set.samples.size()
                  << " quiet positions so far" << std::endl;
    }
    if (repeats > 0) std::cout << repeats << " repeated games read once" << std::endl;
    if (!positionsPath.empty()) {
        positionsOut.close();
        if (!positionsOut) {
            std::cerr << "vortelan-tune: cannot write " << positionsPath << "\n";
            return 1;
        }
        std::cout << "wrote " << set.samples.size() << " positions to " << positionsPath << std::endl;
        return 0;
    }
    int labelled = 0;
    for (const std::string& path : labelPaths) {
        int used = 0;
        int dropped = 0;
        if (!readLabels(path, positions, rules, set, used, dropped)) {
            std::cerr << "vortelan-tune: cannot read the labelled positions of " << path << "\n";
            return 1;
        }
        labelled += used;
        std::cout << path << ": " << used << " labelled positions";
        if (dropped > 0) std::cout << " (" << dropped << " not quiet with these tables, or unplayable)";
        std::cout << "; " << set.samples.size() << " quiet positions so far" << std::endl;
    }
    if (set.samples.empty()) {
        std::cerr << "vortelan-tune: no quiet positions to tune on\n";
        return 1;
    }

    options.progress = &std::cout;
    const FitReport report = fitTables(set, *source, options);
    std::cout << "error " << report.errorBefore << " -> " << report.errorAfter;
    if (options.holdOutEvery >= 2) std::cout << ", held out " << report.heldOutBefore << " -> " << report.heldOutAfter;
    std::cout << ", " << report.changes << " changes" << std::endl;

    std::ostringstream text;
    std::ostringstream header;
    header << "Source of the piece-square tables, fitted by vortelan-tune to ";
    if (labelled > 0)
        header << labelled << " positions labelled by a stronger engine\n";
    else
        header << games << " games\n";
    header << "(" << set.samples.size() << " quiet positions, slope " << report.slope << "; error "
           << report.errorBefore << " -> " << report.errorAfter << ").";
    writeTableSource(text, *source, header.str());
    if (!replaceFile(output, text.str(), error)) {
        std::cerr << "vortelan-tune: " << error << "\n";
        return 1;
    }
    const int clamped = buildTables(*source, *tables);
    std::cout << "wrote " << output;
    if (clamped > 0) std::cout << " (" << clamped << " entries clamped to -127..127)";
    std::cout << std::endl;
    return 0;
}
