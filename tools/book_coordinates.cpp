#include "book_coordinates.h"

#include <sstream>

std::vector<GameRecord> readCoordinateGames(std::istream& in, const std::string& sourceName) {
    std::vector<GameRecord> games;
    std::string text;
    for (int lineNumber = 1; std::getline(in, text); ++lineNumber) {
        const std::size_t comment = text.find('#');
        if (comment != std::string::npos) text.erase(comment);
        GameRecord game;
        game.source = sourceName;
        game.line = lineNumber;
        game.notation = Notation::Coordinate;
        std::istringstream words(text);
        for (std::string word; words >> word;) game.moves.push_back({word, lineNumber});
        if (!game.moves.empty()) games.push_back(std::move(game));
    }
    return games;
}
