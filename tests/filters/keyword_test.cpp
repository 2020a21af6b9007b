#include "filters/keywordexpression.h"
#include "printing.h"

#include <gtest/gtest.h>

using namespace lg::filters;
using K = KeywordExpression::TokenKind;

namespace {

// Tokens written compactly: "a", "(", ")", "+" (AND), "|" (OR).
QString render(const QList<KeywordExpression::Token>& tokens)
{
    QStringList parts;
    for (const auto& t : tokens) {
        switch (t.kind) {
        case K::Word: parts << t.text; break;
        case K::Open: parts << QStringLiteral("("); break;
        case K::Close: parts << QStringLiteral(")"); break;
        case K::And: parts << QStringLiteral("+"); break;
        case K::Or: parts << QStringLiteral("|"); break;
        }
    }
    return parts.join(u' ');
}

TEST(KeywordExpression, ScanAndRepair)
{
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // typed, scanned, repaired
        {"a b+c", "a | b + c", "a | b + c"},
        {"(a b)+c", "( a | b ) + c", "( a | b ) + c"},
        {"a (b c)", "a | ( b | c )", "a | ( b | c )"},
        {"a + b", "a + b", "a + b"},
        {"a  +  b   c", "a + b | c", "a + b | c"},
        {"  a  ", "a", "a"},
        {"( a b )", "( | a | b | )", "( a | b )"},
        {"a+", "a +", "a"},
        {"+a", "+ a", "a"},
        {"a++b", "a + + b", "a + b"},
        {"a +  b", "a + b", "a + b"},
        {"((a)", "( ( a )", "( ( a ) )"},
        {"a))b", "a ) ) b", "a | b"},
        {"()", "( )", ""},
        {"a+()+b", "a + ( ) + b", "a + b"},
        {"(a)b", "( a ) b", "( a ) | b"},
        {"a(b", "a ( b", "a | ( b )"},
        {"+ ( ) +", "+ ( | ) +", ""},
        {"", "", ""},
        {"O'Neil", "O'Neil", "O'Neil"},
    };
    for (const auto& [typed, scanned, repaired] : cases) {
        const auto tokens = KeywordExpression::scan(QString::fromUtf8(typed));
        EXPECT_EQ(render(tokens), QString::fromUtf8(scanned)) << typed;
        EXPECT_EQ(render(KeywordExpression::normalise(tokens)), QString::fromUtf8(repaired)) << typed;
    }
}

TEST(KeywordExpression, SizeLimits)
{
    const auto words = [](int n, QChar joint) {
        QStringList w;
        for (int i = 0; i < n; ++i)
            w << QStringLiteral("w%1").arg(i);
        return w.join(joint);
    };
    const auto build = [](const QString& text) {
        return KeywordExpression::build(text, QStringLiteral("N"), QStringLiteral("*"));
    };
    EXPECT_FALSE(build(words(KeywordExpression::kMaxWords, u' ')).isEmpty());
    EXPECT_TRUE(build(words(KeywordExpression::kMaxWords + 1, u' ')).isEmpty());
    EXPECT_TRUE(build(words(KeywordExpression::kMaxWords + 1, u'+')).isEmpty());
    EXPECT_FALSE(build(QString(KeywordExpression::kMaxDepth, u'(') + u'a').isEmpty());
    EXPECT_TRUE(build(QString(KeywordExpression::kMaxDepth + 1, u'(') + u'a').isEmpty());
    // Many groups side by side are no deeper than one.
    EXPECT_FALSE(build(QStringLiteral("(a)").repeated(20)).isEmpty());
}

TEST(KeywordExpression, SqlAndText)
{
    const auto r = KeywordExpression::build(QStringLiteral("(a b)+c"), QStringLiteral("N"), QStringLiteral("*"));
    EXPECT_EQ(r.sql, QStringLiteral(" (  (  (N LIKE '*a*')  OR  (N LIKE '*b*')  )  AND  (N LIKE '*c*')  ) "));
    EXPECT_EQ(r.text, QStringLiteral(" ((olyan mint 'a' VAGY olyan mint 'b') ÉS olyan mint 'c') "));

    EXPECT_TRUE(KeywordExpression::build(QStringLiteral("( + )"), QStringLiteral("N"), QStringLiteral("*")).isEmpty());
}

TEST(KeywordExpression, WordsMatchLiterally)
{
    const std::pair<const char*, const char*> cases[] = {
        {"O'Neil", "O''Neil"}, {"50*", "50[*]"}, {"a?b", "a[?]b"}, {"#1", "[#]1"},
        {"[x]", "[[]x]"},      {"100%", "100%"}, {"a\tb", "ab"},    {"Ünnepély", "Ünnepély"},
    };
    for (const auto& [word, literal] : cases)
        EXPECT_EQ(KeywordExpression::likeLiteral(QString::fromUtf8(word)), QString::fromUtf8(literal)) << word;
}

}  // namespace
