#include "book_sources.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "book_coordinates.h"
#include "book_pgn.h"

namespace {

bool isPgnName(std::string path) {
    std::transform(path.begin(), path.end(), path.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return path.size() >= 4 && path.compare(path.size() - 4, 4, ".pgn") == 0;
}

}  // namespace

bool readBookSource(const std::string& path, std::vector<GameRecord>& games, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<GameRecord> read = isPgnName(path) ? readPgnGames(in, path) : readCoordinateGames(in, path);
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    for (GameRecord& game : read) games.push_back(std::move(game));
    return true;
}
