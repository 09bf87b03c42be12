#include "eval/piece_square.h"

#include <cstdio>

namespace {
// Fills as much of the table as the file holds; false when it cannot be opened.
bool readTable(const char* fileName, int8_t* table, std::size_t size) {
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file) return false;
    std::size_t got = std::fread(table, 1, size, file);
    (void)got;
    std::fclose(file);
    return true;
}

}  // namespace

int PieceSquareTables::load() {
    if (!readTable(advancedFile, advanced, advancedSize)) return 0;
    if (!readTable(normalFile, normal, normalSize)) return 0;
    return 1;
}
