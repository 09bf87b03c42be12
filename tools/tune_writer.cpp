#include "tune_writer.h"

#include <iomanip>
#include <sstream>

#include "board/types.h"

namespace {

// The order of data/tables.txt: pawn, knight, bishop, rook, queen, king.
constexpr int kindOrder[6] = {PAWN, KNIGHT, BISHOP, ROOK, QUEEN, KING};

void writeRow(std::ostream& out, const int* row) {
    for (int i = 0; i < 8; ++i) out << ' ' << std::setw(3) << row[i];
    out << '\n';
}

}  // namespace

void writeTableSource(std::ostream& out, const TableSource& source, const std::string& header) {
    std::istringstream lines(header);
    for (std::string line; std::getline(lines, line);) out << "# " << line << '\n';
    out << "# data/README.md explains every entry. Values are centipawns from the\n"
           "# owner's side, each table drawn as White sees the board (eighth rank\n"
           "# on top); Black's pieces read it mirrored.\n\n";
    out << "# Engine units (thousandths of a pawn) per centipawn.\n";
    std::ostringstream scale;
    scale << std::setprecision(4) << source.scale;
    out << "scale " << scale.str() << "\n\n";
    out << "# Piece counts at or below which the endgame tables hold alone, and at or\n"
           "# above which the opening tables do; linear in between.\n";
    out << "blend " << source.endgameCount << ' ' << source.openingCount << "\n";
    for (int kind : kindOrder) {
        for (int stage = 0; stage < 2; ++stage) {
            out << "\ntable " << tablePieceName(kind) << (stage == 0 ? " opening" : " endgame") << '\n';
            for (int rank = 7; rank >= 0; --rank) {
                out << ' ';
                for (int file = 0; file < 8; ++file)
                    out << ' ' << std::setw(3) << source.base[kind][stage][makeSquare(file, rank)];
                out << '\n';
            }
        }
    }
    out << "\n# King-wing terms, faded out with the opening weight; by rank counted\n"
           "# from the owner's side, first rank first.\n";
    out << "shelter     ";
    writeRow(out, source.shelter);
    out << "storm       ";
    writeRow(out, source.storm);
    for (int kind : {KNIGHT, BISHOP, ROOK, QUEEN})
        out << "attack " << tablePieceName(kind) << ' ' << source.attack[kind] << '\n';
    out << "attack-ranks";
    writeRow(out, source.attackRanks);
}
