// vortelan-perft "<FEN>" <depth>: counts the leaves of the legal move tree,
// one line per root move in generation order, then the total and the speed.
// A promotion is one move (the pawn becomes a queen) and castling is the
// king's two-square move, as everywhere in the engine.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "board/move_text.h"
#include "board/rules.h"

namespace {

uint64_t perft(Rules& rules, Position& position, int depth) {
    MoveList moves;
    generateLegalMoves(position, moves, rules);
    if (depth == 1) return static_cast<uint64_t>(moves.count);
    uint64_t nodes = 0;
    Position child;
    for (int i = 0; i < moves.count; ++i) {
        copyState(child, position);
        makeMove(moves.from[i], moves.to[i], child, rules);
        switchSide(child);
        nodes += perft(rules, child, depth - 1);
    }
    return nodes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vortelan-perft \"<FEN>\" <depth>\n");
        return 2;
    }
    char* end = nullptr;
    const long depth = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || depth < 1 || depth > 20) {
        std::fprintf(stderr, "vortelan-perft: the depth must be a number from 1 to 20\n");
        return 2;
    }

    // The counts do not depend on the hash keys; the position keys are kept
    // right all the same.
    Rules rules;
    Random random(1);
    rules.keys.draw(random);
    Position root;
    std::string usedText;
    setupPosition(root, argv[1], rules.keys, usedText);

    const auto start = std::chrono::steady_clock::now();
    MoveList moves;
    generateLegalMoves(root, moves, rules);
    uint64_t total = 0;
    Position child;
    for (int i = 0; i < moves.count; ++i) {
        uint64_t nodes = 1;
        if (depth > 1) {
            copyState(child, root);
            makeMove(moves.from[i], moves.to[i], child, rules);
            switchSide(child);
            nodes = perft(rules, child, static_cast<int>(depth) - 1);
        }
        total += nodes;
        std::printf("%s: %llu\n", moveText(moves.from[i], moves.to[i]).c_str(), static_cast<unsigned long long>(nodes));
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("nodes %llu\n", static_cast<unsigned long long>(total));
    std::printf("nps %llu\n", static_cast<unsigned long long>(total * 1000 / (elapsed > 0 ? elapsed : 1)));
    return 0;
}
