// The JET collation and LIKE patterns.

#include "platform/jetsql/jetcompare.h"
#include "platform/jetsql/jetdate.h"

#include <QtCore/QCollator>
#include <QtCore/QLocale>
#include <QtCore/QRandomGenerator>

#include <gtest/gtest.h>

using namespace lg::jetsql;

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

TEST(JetCollation, HungarianOrderWithoutCase)
{
    const char* const ordered[] = {"Aba",   "ábel", "Abel2", "Béla", "cukor", "csak", "Dávid", "dzsem", "Győr",
                                   "Gyula", "lyuk", "Ottó",  "Ödön", "Öreg",  "sas",  "Szabó", "zab",   "Zsolt"};
    for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
        SCOPED_TRACE(std::string(ordered[i]) + " < " + ordered[i + 1]);
        EXPECT_LT(jetCompare(QString::fromUtf8(ordered[i]), QString::fromUtf8(ordered[i + 1])), 0);
        EXPECT_GT(jetCompare(QString::fromUtf8(ordered[i + 1]), QString::fromUtf8(ordered[i])), 0);
    }
    EXPECT_EQ(jetCompare(u"ÁRVÍZ", u"árvíz"), 0);
    EXPECT_EQ(jetCompare(u"ABC def", u"abc DEF"), 0);
    EXPECT_EQ(jetCompare(u"sZ", u"SZ"), 0);
    EXPECT_EQ(jetCompare(u"Ősz", u"őSZ"), 0);
    EXPECT_NE(jetCompare(u"a", u"á"), 0);
    EXPECT_EQ(jetCompare(u"", u""), 0);
    EXPECT_LT(jetCompare(u"", u"a"), 0);
}

// The byte-order shortcut must agree with the collator wherever it is taken.
TEST(JetCollation, ShortcutAgreesWithTheCollator)
{
    QCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const QString alphabet = QStringLiteral("aAbcCdDegGlLnNostTyYzZsS 019x");
    QRandomGenerator random(77);
    auto randomWord = [&] {
        QString w;
        const int n = random.bounded(7);
        for (int i = 0; i < n; ++i)
            w += alphabet[random.bounded(alphabet.size())];
        return w;
    };
    for (int i = 0; i < 50000; ++i) {
        const QString a = randomWord();
        QString b = random.bounded(2) ? randomWord() : a.left(random.bounded(a.size() + 1)) + randomWord();
        ASSERT_EQ(sign(jetCompare(a, b)), sign(collator.compare(a.toLower(), b.toLower())))
            << a.toStdString() << " / " << b.toStdString();
    }
}

// The same over punctuation, digits, the accented vowels in both cases, and
// characters the shortcut leaves to the collator, in texts that share long
// beginnings (as sorted columns do).
TEST(JetCollation, WideShortcutAgreesWithTheCollator)
{
    QCollator collator(QLocale(QLocale::Hungarian, QLocale::Hungary));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setIgnorePunctuation(false);
    const QString alphabet = QString::fromUtf8("aAáÁeéÉiíoóÖöőŐuúüÜűŰcCsSzZdDgGyYnNtTlLk -/.,_'()&+#@:;!?09ß\u010d"
                                               "\u0301\t");
    QRandomGenerator random(4711);
    auto randomWord = [&](int most) {
        QString w;
        const int n = random.bounded(most + 1);
        for (int i = 0; i < n; ++i)
            w += alphabet[random.bounded(alphabet.size())];
        return w;
    };
    for (int i = 0; i < 100000; ++i) {
        const QString common = randomWord(random.bounded(3) ? 2 : 12);
        const QString a = common + randomWord(5);
        const QString b = random.bounded(4) ? common + randomWord(5) : a.toUpper();
        ASSERT_EQ(sign(jetCompare(a, b)), sign(collator.compare(a.toLower(), b.toLower())))
            << a.toStdString() << " / " << b.toStdString();
        ASSERT_EQ(sign(jetCompare(b, a)), -sign(jetCompare(a, b))) << a.toStdString() << " / " << b.toStdString();
    }
}

TEST(JetLike, Patterns)
{
    const struct {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"P[A-F]###", "pb123", true},
        {"P[A-F]###", "PB12", false},
        {"P[A-F]###", "PBx23", false},
        {"[!0-9]*", "a1", true},
        {"[!0-9]*", "1a", false},
        {"*", "", true},
        {"?", "", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*ől", "KŐL", true},
        {"[á-é]", "É", true},
        {"[]x", "x", true},
        {"100%", "100%", true},
        {"100%", "1000", false},
        {"a[?]", "a?", true},
        {"a[?]", "ab", false},
        {"**a", "ba", true},
        {"[a-c][!a-c]", "cd", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.text);
        const auto p = LikePattern::compile(QString::fromUtf8(c.pattern));
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(p->matches(QString::fromUtf8(c.text)), c.matches);
    }
    EXPECT_FALSE(LikePattern::compile(u"[abc").has_value());
    EXPECT_FALSE(LikePattern::compile(u"[z-a]").has_value());
}

TEST(JetDates, LiteralsAndCanonicalForm)
{
    EXPECT_EQ(parseDateLiteral(u"2/29/2024"), QStringLiteral("2024-02-29 00:00:00"));
    EXPECT_FALSE(parseDateLiteral(u"2/29/2023").has_value());
    EXPECT_FALSE(parseDateLiteral(u"13/1/2023").has_value());
    EXPECT_FALSE(parseDateLiteral(u"1/1/2023 25:00").has_value());
    EXPECT_FALSE(parseDateLiteral(u"1/1/2023 13:00 PM").has_value());
    EXPECT_FALSE(parseDateLiteral(u"hello").has_value());
    EXPECT_EQ(parseDateLiteral(u"12/11/2006 12:30 PM"), QStringLiteral("2006-12-11 12:30:00"));
    EXPECT_EQ(parseDateLiteral(u"1/2/99"), QStringLiteral("1999-01-02 00:00:00"));

    const QDateTime dt(QDate(2024, 3, 5), QTime(7, 8, 9));
    EXPECT_EQ(toCanonicalDate(dt), QStringLiteral("2024-03-05 07:08:09"));
    EXPECT_EQ(fromCanonicalDate(u"2024-03-05 07:08:09"), dt);
    EXPECT_EQ(fromCanonicalDate(u"2024-03-05"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    EXPECT_FALSE(fromCanonicalDate(u"2024-02-30 00:00:00").has_value());
    EXPECT_FALSE(fromCanonicalDate(u"05/03/2024").has_value());
    // Day numbers count from 1899-12-30; times before it stay exact.
    EXPECT_EQ(canonicalToDayNumber(u"1899-12-31 12:00:00"), 1.5);
    EXPECT_EQ(dayNumberToCanonical(-1.25), QStringLiteral("1899-12-28 18:00:00"));
    EXPECT_EQ(dayNumberToCanonical(*canonicalToDayNumber(u"2024-03-05 23:59:59")),
              QStringLiteral("2024-03-05 23:59:59"));
}

}  // namespace
