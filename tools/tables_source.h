// The readable source of the piece-square tables (data/tables.txt): base
// tables per piece for the opening and the endgame in centipawn-like units,
// the piece counts between which they blend, the king-wing terms and the
// scale into the engine's units. data/README.md describes every entry.
#pragma once

#include <istream>
#include <string>

struct TableSource {
    // Engine units (thousandths of a pawn) per source unit.
    double scale = 1.0;
    // At or below endgameCount pieces the endgame tables hold alone, at or
    // above openingCount the opening ones; in between they blend linearly.
    int endgameCount = 0;
    int openingCount = 0;
    // [kind][0 opening, 1 endgame][square as seen by White, a1 = 0], from
    // the owner's point of view: Black reads the board mirrored.
    int base[7][2][64] = {};
    // By rank counted from the owner's side (index 0 = first rank).
    int shelter[8] = {};
    int storm[8] = {};
    int attackRanks[8] = {};  // percent of the piece's attack value
    int attack[7] = {};       // by kind
};

// The word the source uses for a piece kind ("pawn", ..., "king").
const char* tablePieceName(int kind);

// False (and error names the line) when the text is not a complete source.
bool readTableSource(std::istream& in, const std::string& sourceName, TableSource& source, std::string& error);
