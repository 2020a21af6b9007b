#include "tokenizer.h"

#include "jetdate.h"

#include "platform/runtimeerror.h"

namespace lg::jetsql {

namespace {

// Numbers are written with 0-9 only; other scripts' digits are letters of a name.
inline bool isDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

std::vector<Token> splitTokens(const QString& s)
{
    std::vector<Token> tokens;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (true) {
        while (i < n && s[i].isSpace())
            ++i;
        Token t;
        t.pos = int(i) + 1;
        if (i >= n) {
            tokens.push_back(t);
            return tokens;
        }
        const QChar c = s[i];
        if (c == u'[') {
            const qsizetype close = s.indexOf(u']', i + 1);
            if (close < 0)
                throwSyntaxError(t.pos, QStringLiteral("["), QStringLiteral("the name has no closing ']'"));
            t.type = Tok::Bracket;
            t.text = s.mid(i + 1, close - i - 1);
            t.raw = s.mid(i, close - i + 1);
            if (t.text.trimmed().isEmpty())
                throwSyntaxError(t.pos, t.raw, QStringLiteral("empty name"));
            i = close + 1;
        } else if (c == u'\'' || c == u'"') {
            QString value;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += s[j++];
            }
            if (!closed)
                throwSyntaxError(t.pos, s.mid(i, 20), QStringLiteral("the text literal has no closing quote"));
            t.type = Tok::String;
            t.text = value;
            t.raw = s.mid(i, j - i + 1);
            i = j + 1;
        } else if (c == u'#') {
            const qsizetype close = s.indexOf(u'#', i + 1);
            if (close < 0)
                throwSyntaxError(t.pos, QStringLiteral("#"), QStringLiteral("the date literal has no closing '#'"));
            t.raw = s.mid(i, close - i + 1);
            const auto canonical = parseDateLiteral(QStringView(s).mid(i + 1, close - i - 1));
            if (!canonical)
                throwSyntaxError(t.pos, t.raw, QStringLiteral("not a valid date"));
            t.type = Tok::Date;
            t.text = *canonical;
            i = close + 1;
        } else if (isDigit(c) || (c == u'.' && i + 1 < n && isDigit(s[i + 1]))) {
            qsizetype j = i;
            while (j < n && isDigit(s[j]))
                ++j;
            if (j < n && s[j] == u'.') {
                ++j;
                while (j < n && isDigit(s[j]))
                    ++j;
            }
            if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                qsizetype k = j + 1;
                if (k < n && (s[k] == u'+' || s[k] == u'-'))
                    ++k;
                if (k < n && isDigit(s[k])) {
                    while (k < n && isDigit(s[k]))
                        ++k;
                    j = k;
                }
            }
            t.type = Tok::Number;
            t.text = t.raw = s.mid(i, j - i);
            i = j;
            if (i < n && (s[i].isLetter() || s[i] == u'_'))
                throwSyntaxError(t.pos, s.mid(t.pos - 1, i - t.pos + 2), QStringLiteral("not a valid number"));
        } else if (c == u'?' || c == u'@') {
            // A bound value: '?' by position, '@name' by name.
            qsizetype j = i + 1;
            if (c == u'@') {
                while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_'))
                    ++j;
                if (j == i + 1)
                    throwSyntaxError(t.pos, QStringLiteral("@"), QStringLiteral("expected a parameter name after '@'"));
            }
            t.type = Tok::Param;
            t.raw = s.mid(i, j - i);
            t.text = t.raw.mid(1).toLower();
            i = j;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == u'_' || s[j] == u'$'))
                ++j;
            t.type = Tok::Ident;
            t.text = t.raw = s.mid(i, j - i);
            i = j;
        } else {
            static const QString twoChar[] = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
            t.type = Tok::Symbol;
            for (const QString& two : twoChar) {
                if (QStringView(s).mid(i, 2) == two) {
                    t.text = two;
                    break;
                }
            }
            if (t.text.isEmpty()) {
                static const QString single = QStringLiteral("(),.*+-/\\^&=<>;!");
                if (!single.contains(c))
                    throwSyntaxError(t.pos, QString(c), QStringLiteral("unexpected character"));
                t.text = QString(c);
            }
            t.raw = t.text;
            i += t.text.size();
        }
        tokens.push_back(std::move(t));
    }
}

// Positional markers are numbered in text order, each distinct name gets
// one number where it first appears. The two kinds do not mix: a '?'
// among named values would have no clear number.
void numberParameters(TokenList& list)
{
    for (size_t i = 0; i < list.tokens.size(); ++i) {
        Token& t = list.tokens[i];
        if (t.type != Tok::Param)
            continue;
        if (list.firstParameter < 0) {
            list.firstParameter = int(i);
        } else if (list.tokens[size_t(list.firstParameter)].text.isEmpty() != t.text.isEmpty()) {
            throwSyntaxError(t.pos, t.raw,
                             QStringLiteral("positional (?) and named (@name) parameters cannot be mixed"));
        }
        if (!t.text.isEmpty()) {
            const qsizetype known = list.parameters.indexOf(t.text);
            if (known >= 0) {
                t.number = int(known) + 1;
                continue;
            }
        }
        list.parameters << t.text;
        t.number = int(list.parameters.size());
    }
}

}  // namespace

void throwSyntaxError(int pos, const QString& raw, const QString& what)
{
    const QString near = raw.isEmpty() ? QStringLiteral("the end of the statement") : u'\'' + raw + u'\'';
    throw RuntimeError(errnum::SyntaxError, QStringLiteral("jetsql"),
                       QStringLiteral("Syntax error at position %1 near %2: %3.").arg(pos).arg(near, what));
}

TokenList tokenize(const QString& text)
{
    // SQLite reads a statement only up to its first NUL: a statement holding
    // one would run cut short, meaning something else.
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0)
        throwSyntaxError(int(nul), QString(), QStringLiteral("a NUL character cannot be part of a statement"));
    TokenList list;
    list.tokens = splitTokens(text);
    numberParameters(list);
    return list;
}

}  // namespace lg::jetsql
