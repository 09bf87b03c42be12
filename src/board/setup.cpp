// Setting up a position from Forsyth-Edwards Notation. Text it cannot use
// gives the standard start position instead, and the caller is told why.
#include <algorithm>
#include <cstring>

#include "board/rules.h"

namespace {

constexpr std::size_t setupTextCapacity = 255;

// Piece letters, Black's first, with the kind each stands for.
constexpr char pieceLetters[] = "rnbqkpRNBQKP";
constexpr int letterKinds[6] = {ROOK, KNIGHT, BISHOP, QUEEN, KING, PAWN};

class FenReader {
public:
    explicit FenReader(const std::string& text) : text_(text) {}

    bool atFieldEnd() const { return pos_ >= text_.size() || text_[pos_] == ' '; }
    char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    char next() { return pos_ < text_.size() ? text_[pos_++] : '\0'; }
    void skipSpaces() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    void skipField() {
        while (!atFieldEnd()) ++pos_;
    }
    // A run of decimal digits, saturating at limit; 0 when there are none.
    long number(long limit) {
        long value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            value = value * 10 + (text_[pos_++] - '0');
            if (value > limit) value = limit;
        }
        return value;
    }

private:
    const std::string& text_;
    std::size_t pos_ = 0;
};

constexpr const char* unreadablePlacement = "the piece placement cannot be read";

// Places the pieces; the reason when the text cannot describe a board. A
// pawn on its first or last rank is refused too: no move could be generated
// for it.
const char* readPlacement(FenReader& reader, Position& position) {
    int file = 0;
    int rank = 7;
    while (!reader.atFieldEnd()) {
        if (file < 0 || file > 7 || rank < 0 || rank > 7) return unreadablePlacement;
        const char c = reader.next();
        if (const char* letter = std::strchr(pieceLetters, c); letter && c != '\0') {
            const int index = static_cast<int>(letter - pieceLetters);
            const int kind = letterKinds[index % 6];
            if (kind == PAWN && (rank == 0 || rank == 7)) return "a pawn on the first or last rank";
            position.board[makeSquare(file, rank)] = makePiece(kind, index < 6 ? BLACK : WHITE);
            if (file == 7) {
                file = 0;
                --rank;
            } else {
                ++file;
            }
        } else if (c >= '0' && c <= '8') {
            file += c - '0';
            if (file > 7) {
                file -= 8;
                --rank;
            }
        } else if (c != '/') {
            return unreadablePlacement;
        }
    }
    return nullptr;
}

// An en-passant square counts only where a capture onto it could follow: on
// the far side of an enemy pawn that has just made its double step. A field
// that fits neither side would otherwise let a pawn "capture" a piece of its
// own colour.
bool enPassantPlausible(const Position& position) {
    const Square ep = position.enPassantSquare;
    if (!isEmpty(position.board[ep])) return false;
    if (position.sideToMove == WHITE) return rankOf(ep) == 5 && position.board[ep - 8] == makePiece(PAWN, BLACK);
    return rankOf(ep) == 2 && position.board[ep + 8] == makePiece(PAWN, WHITE);
}

// Null when the text describes a position of a game, else why not.
const char* parseSetupText(Position& position, const std::string& text, const HashKeys& keys) {
    FenReader reader(text);
    for (uint8_t& square : position.board) square &= static_cast<uint8_t>(~KIND_MASK);
    if (text.find_first_not_of(' ') == std::string::npos) return "the text is empty";
    if (const char* refusal = readPlacement(reader, position)) return refusal;

    // Guessing the side to move would set up a position other than the one
    // meant; the fields after it may be left out.
    reader.skipSpaces();
    if (reader.atFieldEnd()) return "the side to move is missing";
    const char side = reader.next();
    if ((side != 'w' && side != 'b') || !reader.atFieldEnd()) return "the side to move is neither w nor b";
    position.sideToMove = side == 'w' ? WHITE : BLACK;
    reader.skipSpaces();

    position.whiteKingsideBarred = position.whiteQueensideBarred = 1;
    position.blackKingsideBarred = position.blackQueensideBarred = 1;
    while (!reader.atFieldEnd()) {
        switch (reader.next()) {
            case 'K': position.whiteKingsideBarred = 0; break;
            case 'Q': position.whiteQueensideBarred = 0; break;
            case 'k': position.blackKingsideBarred = 0; break;
            case 'q': position.blackQueensideBarred = 0; break;
            default: break;
        }
    }
    reader.skipSpaces();

    position.enPassantTimer = 0;
    position.enPassantSquare = 0;
    if (!reader.atFieldEnd()) {
        const char fileLetter = reader.next();
        const char rankDigit = reader.peek();
        if (fileLetter >= 'a' && fileLetter <= 'h' && (rankDigit == '3' || rankDigit == '6')) {
            position.enPassantTimer = 1;
            position.enPassantSquare = static_cast<uint8_t>(makeSquare(fileLetter - 'a', rankDigit - '1'));
        }
    }
    reader.skipField();
    reader.skipSpaces();

    // From 100 on the fifty-move rule draws whatever the count, and the
    // clock is a signed byte: a larger number is read as 100.
    position.halfmoveClock = static_cast<int8_t>(reader.number(100));
    reader.skipSpaces();
    long fullMove = reader.number(16000);
    if (fullMove == 0) fullMove = 1;
    position.plyCount = static_cast<int16_t>(2 * fullMove - 2 + (position.sideToMove == BLACK ? 1 : 0));

    position.whiteMaterialCount = position.blackMaterialCount = 0;
    position.whiteCastled = position.blackCastled = 0;
    position.lastFrom = position.lastTo = 255;
    position.whiteKingSquare = position.blackKingSquare = -1;
    position.hashKey = 0;
    for (Square s = 0; s < 64; ++s) {
        const uint8_t piece = position.board[s];
        if (isEmpty(piece)) continue;
        position.hashKey ^= keys.pieceKey(piece, s);
        if (kindOf(piece) == KING) {
            (colourOf(piece) == WHITE ? position.whiteKingSquare : position.blackKingSquare) = static_cast<int8_t>(s);
        }
    }
    if (position.whiteKingSquare < 0 || position.blackKingSquare < 0) return "a side has no king";
    if (position.enPassantTimer && !enPassantPlausible(position)) {
        position.enPassantTimer = 0;
        position.enPassantSquare = 0;
    }

    // A side to move that could take the enemy king describes no position of
    // a game; nothing sensible can be generated for it.
    Position probe = position;
    std::memset(probe.whiteAttacks, 0, sizeof probe.whiteAttacks);
    std::memset(probe.blackAttacks, 0, sizeof probe.blackAttacks);
    MoveList scratch;
    Rules rules;
    if (!generateMoves(probe, scratch, Generation::MovesOnly, rules))
        return "the side to move could take the enemy king";
    return nullptr;
}

}  // namespace

const char* setupPosition(Position& position, const char* text, const HashKeys& keys, std::string& usedText) {
    usedText = text ? std::string(text).substr(0, setupTextCapacity) : startPositionText;
    const char* refusal = parseSetupText(position, usedText, keys);
    if (refusal) {
        usedText = startPositionText;
        parseSetupText(position, usedText, keys);
    }
    return refusal;
}

// The piece counts are checked side by side; what one side lacks never
// excuses the other. Beyond the initial queen, two rooks, two bishops and two
// knights, every piece is a promoted pawn.
const char* impossibleMaterial(const Position& position) {
    int count[2][KIND_MASK + 1] = {};
    for (const uint8_t piece : position.board)
        if (!isEmpty(piece)) ++count[colourIndex(colourOf(piece))][kindOf(piece)];
    for (const auto& side : count) {
        if (side[KING] != 1) return "a side has no king or more than one";
        if (side[PAWN] + side[KNIGHT] + side[BISHOP] + side[ROOK] + side[QUEEN] + side[KING] > 16)
            return "a side has more than 16 pieces";
        if (side[PAWN] > 8) return "a side has more than 8 pawns";
        const int promoted = std::max(side[QUEEN] - 1, 0) + std::max(side[ROOK] - 2, 0) +
                             std::max(side[BISHOP] - 2, 0) + std::max(side[KNIGHT] - 2, 0);
        if (promoted > 8 - side[PAWN]) return "a side has more promoted pieces than missing pawns";
    }
    return nullptr;
}
