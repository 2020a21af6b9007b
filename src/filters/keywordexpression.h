#pragma once

// The keyword expression of a text filter: words joined by "+" (AND) or a
// blank (OR), grouped with parentheses. "(a b)+c" finds the rows that hold
// a or b, and c. Unbalanced parentheses and stray operators are repaired
// (an unmatched ")" and a dangling operator are dropped, an open "(" is
// closed), so any input gives a well-formed condition or none.

#include <QtCore/QList>
#include <QtCore/QString>

namespace lg::filters {

class KeywordExpression {
public:
    // Beyond these an expression yields no condition. The translator reads
    // a run of words as one flat chain, so many words are cheap; every group
    // nests the statement one level deeper.
    static constexpr int kMaxWords = 256;
    static constexpr int kMaxDepth = 16;

    enum class TokenKind { Word, Open, Close, And, Or };
    struct Token {
        TokenKind kind;
        QString text;  // the word, for Word tokens
        bool operator==(const Token&) const = default;
    };

    // The tokens of a typed text, exactly as scanned (no repair).
    static QList<Token> scan(const QString& text);
    // The tokens repaired into a well-formed expression; empty when no word,
    // more than kMaxWords words or groups nested deeper than kMaxDepth.
    static QList<Token> normalise(const QList<Token>& tokens);

    struct Result {
        QString sql;   // " ( " ... " ) ", empty when there is no word
        QString text;  // " (" ... ") "
        bool isEmpty() const { return sql.isEmpty(); }
    };
    // The LIKE conditions on field, each word between two likeCharacters;
    // quotes are doubled and the wildcards of the word itself match literally.
    static Result build(const QString& text, const QString& field, const QString& likeCharacter);

    // A word in a Jet LIKE pattern: "'" doubled, "[", "*", "?", "#" bracketed.
    static QString likeLiteral(const QString& word);
};

}  // namespace lg::filters
