#include "engine/engine.h"

namespace {
Rules drawRules(Random& random) {
    Rules rules;
    rules.keys.draw(random);
    return rules;
}
}  // namespace

Engine::Engine(uint32_t seed)
    : random(seed), rules(drawRules(random)), game(rules), thinker(rules, evaluator, table, book, random) {
    evaluator.loadPieceSquareTables();
    book.loadBooks();
}

const char* Engine::setUp(const char* text) {
    const char* refusal = game.setUp(text);
    thinker.startGame();
    clock.startGame();
    return refusal;
}

const char* Engine::newGame(const char* text) {
    thinker.newGame();
    clearHash();
    return setUp(text);
}

bool Engine::setHashMegabytes(int megabytes) {
    if (!table.resize(TranspositionTable::entriesIn(static_cast<std::size_t>(megabytes)))) return false;
    hashMegabytes_ = megabytes;
    return true;
}

void Engine::applySettings(ThinkRequest& request) const {
    request.lines = lines;
    request.useBook = ownBook;
    applyLevel(level(), request);
}

std::string Engine::levelText() const {
    const PlayingLevel playing = level();
    if (!playing.limited()) return std::string();
    std::string text = "level: ";
    if (limitStrength) text += "UCI_Elo " + std::to_string(elo) + ", ";
    text += "Skill Level " + std::to_string(playing.tenths / 10) + "." + std::to_string(playing.tenths % 10) +
            ", about " + std::to_string(playing.elo()) + " Elo, " + std::to_string(playing.nodes()) + " nodes a move";
    return text;
}
