// The engine: what both protocols drive, each piece owned once. The rules'
// hash keys, the evaluation with its tables, the opening books and the
// transposition table are set up at start; the game holds the positions
// played, the clock the time controls, and the thinker chooses the moves.
#pragma once

#include <cstdint>
#include <string>

#include "board/random.h"
#include "board/rules.h"
#include "book/book.h"
#include "engine/clock.h"
#include "engine/game.h"
#include "engine/level.h"
#include "engine/thinker.h"
#include "eval/evaluate.h"
#include "search/hash_table.h"

struct Engine {
    // The seed drives the hash keys and then the book's choices; the program
    // passes one that differs from run to run, tests and tools a number of
    // their choosing. Allocation failures (the 48 MiB table above all) throw
    // std::bad_alloc.
    explicit Engine(uint32_t seed);

    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Starts the game afresh from FEN text (the start position when the text
    // is null or refused), as a host does before every move: the clock's
    // period and the ordering's counters start again, while the table, the
    // book state and the scores carry on. Returns why the text was refused,
    // or null.
    const char* setUp(const char* text);
    // A new game from FEN text or the start position: the table is cleared,
    // the book is on again and the scores are forgotten.
    const char* newGame(const char* text = nullptr);

    // The table's size in MiB, from the next search on: a new, empty table;
    // false, with the table kept, when the memory cannot be had.
    bool setHashMegabytes(int megabytes);
    int hashMegabytes() const { return hashMegabytes_; }
    // What the engine needs besides the table, in MiB: the fixed part and
    // each search thread's line, stacks and counters.
    int fixedMegabytes() const { return 4 + thinker.threads(); }
    // Forgets the table, with every search thread's help.
    void clearHash() { table.clear(thinker.threads()); }

    static constexpr int minHashMegabytes = 1;
    static constexpr int maxHashMegabytes = 65536;

    // The settings a GUI shows, read by both protocols: how many of the best
    // lines each iteration searches and shows, and whether the opening book
    // answers.
    static constexpr int maxLines = MoveList::capacity;
    int lines = 1;
    bool ownBook = true;
    // The playing level: the rating while the strength is limited, else the
    // skill level (20, full strength, by default).
    bool limitStrength = false;
    int elo = fullStrengthElo;
    int skill = 20;
    PlayingLevel level() const { return limitStrength ? PlayingLevel::ofElo(elo) : PlayingLevel::ofSkill(skill); }
    // "level: ..." for a weaker level, as both protocols tell it; empty at
    // full strength.
    std::string levelText() const;
    // The settings above, as every search of either protocol takes them:
    // the lines, the book, the level.
    void applySettings(ThinkRequest& request) const;

    // Declared in the order they are built: the hash keys are the first
    // values drawn from the random source, the book's choices come after.
    Random random;
    Rules rules;
    Evaluator evaluator;
    OpeningBook book;
    TranspositionTable table;
    Clock clock;
    Game game;
    Thinker thinker;

private:
    int hashMegabytes_ = static_cast<int>(TranspositionTable::defaultMegabytes);
};
