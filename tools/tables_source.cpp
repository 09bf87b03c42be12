#include "tables_source.h"

#include <cmath>
#include <sstream>
#include <vector>

#include "board/types.h"

namespace {

struct Word {
    std::string text;
    int line;
};

std::vector<Word> splitWords(std::istream& in) {
    std::vector<Word> words;
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        const std::size_t comment = text.find('#');
        if (comment != std::string::npos) text.erase(comment);
        std::istringstream stream(text);
        for (std::string word; stream >> word;) words.push_back({word, line});
    }
    return words;
}

int kindOfName(const std::string& name) {
    if (name == "pawn") return PAWN;
    if (name == "knight") return KNIGHT;
    if (name == "bishop") return BISHOP;
    if (name == "rook") return ROOK;
    if (name == "queen") return QUEEN;
    if (name == "king") return KING;
    return EMPTY;
}

class SourceParser {
public:
    SourceParser(std::istream& in, const std::string& name, TableSource& source)
        : words_(splitWords(in)), name_(name), source_(source) {}

    bool parse(std::string& error) {
        while (ok_ && at_ < words_.size()) statement();
        if (ok_) checkComplete();
        error = error_;
        return ok_;
    }

private:
    // Names the line of the last word read: the one found wrong.
    void fail(const std::string& what) {
        if (!ok_) return;
        ok_ = false;
        const int line = at_ > 0 ? words_[at_ - 1].line : 0;
        error_ = name_ + ":" + std::to_string(line) + ": " + what;
    }

    std::string word() {
        if (at_ >= words_.size()) {
            fail("the source ends too early");
            return "";
        }
        return words_[at_++].text;
    }

    double number() {
        const std::string text = word();
        std::size_t used = 0;
        double value = 0;
        try {
            value = std::stod(text, &used);
        } catch (...) {
            used = 0;
        }
        if (ok_ && (text.empty() || used != text.size())) fail("'" + text + "' is not a number");
        return value;
    }

    int integer() {
        const double value = number();
        // Written so that "nan" and huge numbers fail too.
        if (ok_ && !(value >= -1000 && value <= 1000 && value == std::floor(value)))
            fail("'" + words_[at_ - 1].text + "' is not a whole number from -1000 to 1000");
        return static_cast<int>(value);
    }

    void readRow(int* row) {
        for (int i = 0; i < 8 && ok_; ++i) row[i] = integer();
    }

    void statement() {
        const std::string keyword = word();
        if (keyword == "scale") {
            source_.scale = number();
            if (ok_ && !(source_.scale > 0 && source_.scale <= 127)) fail("the scale must lie above 0 and up to 127");
            seenScale_ = true;
        } else if (keyword == "blend") {
            source_.endgameCount = integer();
            source_.openingCount = integer();
            if (ok_ && !(0 <= source_.endgameCount && source_.endgameCount < source_.openingCount &&
                         source_.openingCount <= 32))
                fail("blend needs two piece counts, the endgame's below the opening's, at most 32");
            seenBlend_ = true;
        } else if (keyword == "table") {
            table();
        } else if (keyword == "shelter") {
            readRow(source_.shelter);
        } else if (keyword == "storm") {
            readRow(source_.storm);
        } else if (keyword == "attack-ranks") {
            readRow(source_.attackRanks);
        } else if (keyword == "attack") {
            const int kind = kindOfName(word());
            if (kind == EMPTY || kind == PAWN || kind == KING)
                return fail("attack takes a knight, bishop, rook or queen");
            source_.attack[kind] = integer();
        } else {
            fail("unknown entry '" + keyword + "'");
        }
    }

    // "table <piece> opening|endgame" and 64 values, the eighth rank first,
    // as the board looks from White's side.
    void table() {
        const int kind = kindOfName(word());
        if (ok_ && kind == EMPTY) return fail("unknown piece");
        const std::string stage = word();
        if (ok_ && stage != "opening" && stage != "endgame") return fail("a table is for the opening or the endgame");
        const int stageIndex = stage == "opening" ? 0 : 1;
        for (int row = 0; row < 8 && ok_; ++row) {
            for (int file = 0; file < 8 && ok_; ++file)
                source_.base[kind][stageIndex][makeSquare(file, 7 - row)] = integer();
        }
        seenTable_[kind][stageIndex] = true;
    }

    void checkComplete() {
        if (!seenScale_) return fail("no scale given");
        if (!seenBlend_) return fail("no blend given");
        for (int kind = PAWN; kind <= QUEEN; ++kind) {
            for (int stage = 0; stage < 2; ++stage) {
                if (!seenTable_[kind][stage])
                    return fail(std::string("no ") + (stage == 0 ? "opening" : "endgame") + " table for the " +
                                tablePieceName(kind));
            }
        }
    }

    std::vector<Word> words_;
    std::size_t at_ = 0;
    std::string name_;
    TableSource& source_;
    bool ok_ = true;
    std::string error_;
    bool seenScale_ = false;
    bool seenBlend_ = false;
    bool seenTable_[7][2] = {};
};

}  // namespace

const char* tablePieceName(int kind) {
    static const char* const names[7] = {"", "pawn", "rook", "knight", "bishop", "king", "queen"};
    return kind >= PAWN && kind <= QUEEN ? names[kind] : "";
}

bool readTableSource(std::istream& in, const std::string& sourceName, TableSource& source, std::string& error) {
    source = TableSource();
    return SourceParser(in, sourceName, source).parse(error);
}
