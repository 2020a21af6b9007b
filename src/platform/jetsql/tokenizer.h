#pragma once

// The tokens of a Jet statement: names (plain or [bracketed]), text, number
// and date literals, symbols and the markers of bound values.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

namespace lg::jetsql {

enum class Tok { End, Ident, Bracket, String, Number, Date, Symbol, Param };

struct Token {
    Tok type = Tok::End;
    QString text;    // identifier/value/symbol; for Date the canonical form; for Param the lower-cased name
    QString raw;     // as written, for messages
    int pos = 0;     // 1-based
    int number = 0;  // Param: the number of the bound value, from 1
};

struct TokenList {
    std::vector<Token> tokens;  // ends with one End token
    // Bound values: entry k-1 is the name of number k, empty for a '?'.
    QStringList parameters;
    int firstParameter = -1;  // index into tokens of the first marker
};

// Splits a statement into tokens. Positional markers '?' are numbered in
// text order; each distinct '@name' (names are case-insensitive) gets one
// number where it first appears. Throws lg::RuntimeError (errnum::SyntaxError)
// on an unclosed literal or name, an invalid date or number, an unexpected
// character, or '?' and '@name' in one text.
TokenList tokenize(const QString& text);

// Throws the syntax error every part of the translator reports: "Syntax error
// at position <pos> near '<raw>': <what>." (near the end of the statement when
// raw is empty).
[[noreturn]] void throwSyntaxError(int pos, const QString& raw, const QString& what);

}  // namespace lg::jetsql
