#include "filters/keywordexpression.h"

#include "filters/queryfilter.h"
#include "platform/strings.h"

#include <algorithm>

namespace lg::filters {

using Kind = KeywordExpression::TokenKind;

QList<KeywordExpression::Token> KeywordExpression::scan(const QString& input)
{
    // Blanks around "+" belong to it: "a + b" is a AND b.
    QString text = input.trimmed();
    QList<Token> tokens;
    QString word;
    auto flushWord = [&] {
        if (!word.isEmpty()) {
            tokens.append({Kind::Word, word});
            word.clear();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            flushWord();
            qsizetype j = i;
            while (j + 1 < text.size() && text.at(j + 1).isSpace())
                ++j;
            const bool nextToPlus = (j + 1 < text.size() && text.at(j + 1) == u'+') ||
                                    (!tokens.isEmpty() && tokens.last().kind == Kind::And);
            if (!nextToPlus)
                tokens.append({Kind::Or, {}});
            i = j;
        } else if (c == u'(') {
            flushWord();
            tokens.append({Kind::Open, {}});
        } else if (c == u')') {
            flushWord();
            tokens.append({Kind::Close, {}});
        } else if (c == u'+') {
            flushWord();
            tokens.append({Kind::And, {}});
        } else {
            word.append(c);
        }
    }
    flushWord();
    return tokens;
}

QList<KeywordExpression::Token> KeywordExpression::normalise(const QList<Token>& tokens)
{
    QList<Token> out;
    int depth = 0;
    auto expectingOperand = [&] {
        return out.isEmpty() || out.last().kind == Kind::Open || out.last().kind == Kind::And ||
               out.last().kind == Kind::Or;
    };
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Kind::Word:
        case Kind::Open:
            if (t.kind == Kind::Word && withoutControlCharacters(t.text).isEmpty())
                break;
            if (!expectingOperand())
                out.append({Kind::Or, {}});
            out.append(t.kind == Kind::Word ? Token{Kind::Word, withoutControlCharacters(t.text)} : t);
            if (t.kind == Kind::Open)
                ++depth;
            break;
        case Kind::Close:
            if (depth == 0)
                break;
            if (!out.isEmpty() && (out.last().kind == Kind::And || out.last().kind == Kind::Or))
                out.removeLast();
            if (!out.isEmpty() && out.last().kind == Kind::Open) {
                out.removeLast();  // "()" holds nothing
                --depth;
                break;
            }
            out.append(t);
            --depth;
            break;
        case Kind::And:
        case Kind::Or:
            if (out.isEmpty() || out.last().kind == Kind::Open)
                break;
            if (out.last().kind == Kind::And || out.last().kind == Kind::Or) {
                if (t.kind == Kind::And)
                    out.last().kind = Kind::And;
                break;
            }
            out.append(t);
            break;
        }
    }
    // A dangling operator or "(" at the end goes; open groups are closed.
    while (!out.isEmpty() && out.last().kind != Kind::Word && out.last().kind != Kind::Close) {
        if (out.last().kind == Kind::Open)
            --depth;
        out.removeLast();
    }
    for (; depth > 0; --depth)
        out.append({Kind::Close, {}});
    int words = 0;
    int level = 0;
    int deepest = 0;
    for (const Token& t : out) {
        words += t.kind == Kind::Word ? 1 : 0;
        level += t.kind == Kind::Open ? 1 : t.kind == Kind::Close ? -1 : 0;
        deepest = std::max(deepest, level);
    }
    if (words == 0 || words > kMaxWords || deepest > kMaxDepth)
        return {};
    return out;
}

QString KeywordExpression::likeLiteral(const QString& word)
{
    QString result;
    for (QChar c : withoutControlCharacters(word)) {
        if (c == u'[' || c == u'*' || c == u'?' || c == u'#') {
            result += u'[';
            result += c;
            result += u']';
        } else if (c == u'\'') {
            result += QStringLiteral("''");
        } else {
            result += c;
        }
    }
    return result;
}

KeywordExpression::Result KeywordExpression::build(const QString& text, const QString& field,
                                                   const QString& likeCharacter)
{
    const QList<Token> tokens = normalise(scan(text));
    if (tokens.isEmpty())
        return {};
    const QString wildcard = sqlQuoted(likeCharacter);
    QString sql;
    QString shown;
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Kind::Open:
            sql += QStringLiteral(" ( ");
            shown += u'(';
            break;
        case Kind::Close:
            sql += QStringLiteral(" ) ");
            shown += u')';
            break;
        case Kind::And:
            sql += QStringLiteral(" AND ");
            shown += LoadResString(30002);
            break;
        case Kind::Or:
            sql += QStringLiteral(" OR ");
            shown += LoadResString(30003);
            break;
        case Kind::Word:
            sql += QStringLiteral(" (") + field + QStringLiteral(" LIKE '") + wildcard + likeLiteral(t.text) + wildcard +
                   QStringLiteral("') ");
            shown += LoadResString(30024) + t.text + u'\'';
            break;
        }
    }
    return {QStringLiteral(" ( ") + sql + QStringLiteral(" ) "), QStringLiteral(" (") + shown + QStringLiteral(") ")};
}

}  // namespace lg::filters
