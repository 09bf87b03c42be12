#include "book_pgn.h"

#include <cctype>

namespace {

// The start position as a FEN tag may repeat it: such a game is an ordinary
// game. Only the first four fields matter; the counters may differ.
constexpr const char* startFenFields = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

bool isResult(const std::string& token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*";
}

// Marks such as "!", "?!", "+-" or "=" that some writers set apart from the
// move, the en-passant mark "e.p." written apart, and symbols outside ASCII.
// A null move "--" is not one of them: it must stop the game, since the moves
// after it would be read for the wrong side.
bool isAnnotation(const std::string& token) {
    if (token == "e.p.") return true;
    if (token == "--") return false;
    for (char c : token) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 128 && c != '!' && c != '?' && c != '+' && c != '-' && c != '=' && c != '/') return false;
    }
    return true;
}

// "12." and "12..." are move numbers; "1.e4" carries its move behind the
// number. Returns the move part (empty for a bare number).
std::string stripMoveNumber(const std::string& token) {
    std::size_t i = 0;
    while (i < token.size() && std::isdigit(static_cast<unsigned char>(token[i]))) ++i;
    if (i == 0 || i == token.size() || token[i] != '.') return token;
    while (i < token.size() && token[i] == '.') ++i;
    return token.substr(i);
}

std::string firstFields(const std::string& fen, int count) {
    std::string out;
    int fields = 0;
    for (char c : fen) {
        if (c == ' ' && ++fields == count) break;
        out += c;
    }
    return out;
}

class PgnReader {
public:
    PgnReader(std::istream& in, const std::string& sourceName) : source_(sourceName) {
        text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<GameRecord> read() {
        while (pos_ < text_.size()) step();
        finishGame();
        return std::move(games_);
    }

private:
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    // Moves one character on, counting lines.
    char advance() {
        const char c = text_[pos_++];
        if (c == '\n') ++line_;
        return c;
    }

    bool atLineStart() const { return pos_ == 0 || text_[pos_ - 1] == '\n'; }

    void skipToLineEnd() {
        while (pos_ < text_.size() && peek() != '\n') advance();
    }

    void skipPast(char close) {
        while (pos_ < text_.size() && advance() != close) {
        }
    }

    void step() {
        if (atLineStart() && peek() == '%') return skipToLineEnd();
        const char c = peek();
        if (std::isspace(static_cast<unsigned char>(c))) {
            advance();
        } else if (c == '{') {
            skipPast('}');
        } else if (c == ';') {
            skipToLineEnd();
        } else if (c == '(') {
            advance();
            ++variationDepth_;
        } else if (c == ')') {
            advance();
            if (variationDepth_ > 0) --variationDepth_;
        } else if (c == '[' && (variationDepth_ == 0 || atLineStart())) {
            // A tag at the start of a line ends even a variation left open,
            // so one unbalanced parenthesis cannot swallow the rest of the file.
            readTag();
        } else {
            readToken();
        }
    }

    // A tag pair after moves begins the next game, even if the previous one
    // lacked its result.
    void readTag() {
        if (!game_.moves.empty()) finishGame();
        variationDepth_ = 0;
        startGame();
        advance();
        std::string name;
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(peek()))) advance();
        while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(peek())) || peek() == '_'))
            name += advance();
        std::string value;
        while (pos_ < text_.size() && peek() != '"' && peek() != ']' && peek() != '\n') advance();
        if (peek() == '"') {
            advance();
            while (pos_ < text_.size() && peek() != '"' && peek() != '\n') {
                if (peek() == '\\') advance();
                if (pos_ < text_.size()) value += advance();
            }
        }
        while (pos_ < text_.size() && peek() != ']' && peek() != '\n') advance();
        if (peek() == ']') advance();
        noteTag(name, value);
    }

    void noteTag(const std::string& name, const std::string& value) {
        // The result after the moves, when there is one, has the last word.
        if (name == "Result" && isResult(value)) game_.result = value;
        if (name == "Termination") game_.termination = value;
        if (name == "FEN" && firstFields(value, 4) != startFenFields) {
            game_.skipReason = "starts from a set-up position";
        } else if (name == "Variant" && value != "Standard" && value != "standard" && value != "chess" &&
                   !value.empty()) {
            game_.skipReason = "is of the variant '" + value + "'";
        }
    }

    void readToken() {
        const int tokenLine = line_;
        std::string token;
        while (pos_ < text_.size()) {
            const char c = peek();
            if (std::isspace(static_cast<unsigned char>(c)) || c == '{' || c == '}' || c == '(' || c == ')' ||
                c == ';' || c == '[' || c == ']')
                break;
            token += advance();
        }
        // A stray closing bracket or brace: drop it, so the reader moves on.
        if (token.empty()) {
            advance();
            return;
        }
        if (variationDepth_ > 0) return;
        if (isResult(token)) {
            if (inGame_) game_.result = token;
            return finishGame();
        }
        if (token[0] == '$' || isAnnotation(token)) return;
        const std::string move = stripMoveNumber(token);
        if (move.empty()) return;
        if (game_.moves.empty() && !inGame_) {
            startGame();
            game_.line = tokenLine;
        }
        game_.moves.push_back({move, tokenLine});
    }

    void startGame() {
        if (inGame_) return;
        game_ = GameRecord();
        game_.source = source_;
        game_.line = line_;
        game_.notation = Notation::San;
        inGame_ = true;
    }

    void finishGame() {
        if (inGame_ && (!game_.moves.empty() || !game_.skipReason.empty())) games_.push_back(std::move(game_));
        game_ = GameRecord();
        inGame_ = false;
        variationDepth_ = 0;
    }

    std::string source_;
    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int variationDepth_ = 0;
    bool inGame_ = false;
    GameRecord game_;
    std::vector<GameRecord> games_;
};

}  // namespace

std::vector<GameRecord> readPgnGames(std::istream& in, const std::string& sourceName) {
    return PgnReader(in, sourceName).read();
}
