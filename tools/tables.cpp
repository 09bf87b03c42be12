// vortelan-tables: writes the engine's piece-square tables
// "tablapiezasavanzadas" and "tablapiezasnormales" from their readable
// source (data/tables.txt).
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "replace_file.h"
#include "tables_builder.h"
#include "tables_source.h"

namespace {

const char* usageText = "usage: vortelan-tables [-o DIR] SOURCE\n";

bool writeTable(const std::string& path, const int8_t* data, std::size_t size) {
    std::string error;
    if (replaceFile(path, std::string(reinterpret_cast<const char*>(data), size), error)) return true;
    std::cerr << "vortelan-tables: " << error << "\n";
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string output = ".";
    std::string sourcePath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "-o" || arg == "--output") && i + 1 < argc) {
            output = argv[++i];
        } else if (arg.empty() || arg[0] == '-' || !sourcePath.empty()) {
            std::cerr << usageText;
            return 2;
        } else {
            sourcePath = arg;
        }
    }
    if (sourcePath.empty()) {
        std::cerr << usageText;
        return 2;
    }

    std::ifstream in(sourcePath);
    if (!in) {
        std::cerr << "vortelan-tables: cannot read " << sourcePath << "\n";
        return 1;
    }
    auto source = std::make_unique<TableSource>();
    std::string error;
    if (!readTableSource(in, sourcePath, *source, error)) {
        std::cerr << "vortelan-tables: " << error << "\n";
        return 1;
    }
    auto tables = std::make_unique<PieceSquareTables>();
    const int clamped = buildTables(*source, *tables);
    if (clamped > 0) std::cerr << "vortelan-tables: " << clamped << " values lay outside -127..127 and were clamped\n";
    if (!writeTable(output + "/" + PieceSquareTables::advancedFile, tables->advanced,
                    PieceSquareTables::advancedSize) ||
        !writeTable(output + "/" + PieceSquareTables::normalFile, tables->normal, PieceSquareTables::normalSize))
        return 1;
    std::cout << PieceSquareTables::advancedFile << ": " << PieceSquareTables::advancedSize << " bytes, "
              << PieceSquareTables::normalFile << ": " << PieceSquareTables::normalSize << " bytes\n";
    return 0;
}
