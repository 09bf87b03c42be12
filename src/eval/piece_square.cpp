#include "eval/piece_square.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "input/data_file.h"

namespace {

enum class TableRead { Missing, Unusable, Loaded };

// Fills the table from the file when it holds exactly one table. A file
// that cannot be used (cut short, no table of ours, unreadable) is reported
// and leaves the table zero: part of a table would value some squares and
// leave the rest at zero.
TableRead readTable(const char* fileName, int8_t* table, std::size_t size) {
    bool present = false;
    std::FILE* file = openDataFile(fileName, "rb", &present);
    if (!file) {
        if (!present) return TableRead::Missing;
        std::fill(table, table + size, int8_t{0});
        return TableRead::Unusable;
    }
    const std::size_t got = std::fread(table, 1, size, file);
    const bool longer = got == size && std::fgetc(file) != EOF;
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (got == size && !longer && !readFailed) return TableRead::Loaded;

    std::fill(table, table + size, int8_t{0});
    const std::string tableSize = std::to_string(size) + " bytes of a table";
    std::string problem = "cannot be read to the end";
    if (!readFailed && longer) problem = "is longer than the " + tableSize;
    if (!readFailed && !longer) problem = "holds " + std::to_string(got) + " bytes, not the " + tableSize;
    reportDataFile(fileName, problem + "; going on without it");
    return TableRead::Unusable;
}

}  // namespace

int PieceSquareTables::load() {
    const TableRead advancedRead = readTable(advancedFile, advanced, advancedSize);
    if (advancedRead == TableRead::Missing) return 0;
    const TableRead normalRead = readTable(normalFile, normal, normalSize);
    return advancedRead == TableRead::Loaded && normalRead == TableRead::Loaded;
}
