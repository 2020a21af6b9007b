#include <gtest/gtest.h>

#include "platform/strings.h"

#include <QtCore/QFile>
#include <QtCore/QStringList>

#include <algorithm>

using namespace lg;

TEST(StringTable, QuotedTextsKeepTheirBlanks)
{
    EXPECT_EQ(LoadResString(30002), QStringLiteral(" ÉS "));
    EXPECT_EQ(LoadResString(30030), QStringLiteral(" < Minden típus > "));
    EXPECT_EQ(LoadResString(30610), QStringLiteral("Jelszó: "));
    EXPECT_EQ(LoadResString(30022), QStringLiteral(" között "));
    EXPECT_EQ(LoadResString(30200), QStringLiteral("A(z) '"));
    EXPECT_EQ(LoadResString(2004), QStringLiteral("A listán megjelenítendő  mezők meghatározása"));
}

TEST(StringTable, SampleOfKnownTexts)
{
    const QList<QPair<int, QString>> expected = {
        {100, QStringLiteral("Dinamikus listagenerátor")},
        {200, QStringLiteral("Váratlan hiba történt.")},
        {201, QStringLiteral("Hibakezelő")},
        {507, QStringLiteral("Microsoft Excel (*.XLS)|*.xls")},
        {3001, QStringLiteral("<< &Vissza")},
        {4005, QStringLiteral("Átlag")},
        {5004, QStringLiteral("A vLQ_VsView7.clsView objektum létrehozása nem sikerült!")},
        {20000, QStringLiteral("Január,Február,Marcius,Április,Majus,Június,Július,Augusztus,Szeptember,"
                               "Október,November,December")},
        {20001, QStringLiteral("V,H,K,Sze,Cs,P,Szo")},
        {30190, QStringLiteral("A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!")},
        {30640, QStringLiteral("Nincs több lehetősége!")},
        {30650, QStringLiteral("Már csak ")},
        {30660, QStringLiteral(" lehetősége van!")},
        {30830, QStringLiteral("A fizikai táblanév megadása kötelező!")},
        {30850, QStringLiteral("<NINCSEN>")},
        {31100, QStringLiteral("Ilyen széles lesz a riporton")},
    };
    for (const auto& [id, text] : expected)
        EXPECT_EQ(LoadResString(id), text) << "id " << id;

    // Texts without a fixed wording still exist.
    for (int id : {2001, 2003, 2005, 2007, 2009, 6000, 10002, 30380, 30470, 30600})
        EXPECT_FALSE(LoadResString(id).isEmpty()) << "id " << id;
}

TEST(StringTable, UnknownIdsGiveEmptyText)
{
    EXPECT_EQ(LoadResString(0), QString());
    EXPECT_EQ(LoadResString(-200), QString());
    EXPECT_EQ(LoadResString(99999), QString());
    EXPECT_EQ(LibraryTitle(), LoadResString(100));
}

TEST(StringTable, ShippedFileHasNoMalformedLine)
{
    QFile file(QStringLiteral(LISTGEN_SOURCE_DIR "/resources/strings.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList problems;
    const auto table = strings::parseTable(QString::fromUtf8(file.readAll()), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_GT(table.size(), 200);
    for (auto it = table.begin(); it != table.end(); ++it) {
        EXPECT_GE(it.key(), 100);
        EXPECT_LT(it.key(), 99999);  // kept free: the tests' unknown id
    }
}

TEST(StringTable, ParserEscapesCommentsAndLineEnds)
{
    const QString source = QStringLiteral("# comment\r\n"
                                          "\r\n"
                                          "  10 \"plain\"\r\n"
                                          "11 \"say \\\"hi\\\"\"\n"
                                          "12 \"two\\r\\nlines\\tand \\\\ slash\"   \n"
                                          "13 \"\"\n");
    QStringList problems;
    const auto t = strings::parseTable(source, &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(t.value(10), QStringLiteral("plain"));
    EXPECT_EQ(t.value(11), QStringLiteral("say \"hi\""));
    EXPECT_EQ(t.value(12), QStringLiteral("two\r\nlines\tand \\ slash"));
    EXPECT_TRUE(t.contains(13));
    EXPECT_EQ(t.value(13), QString());
}

TEST(StringTable, MalformedLinesAreReportedAndSkipped)
{
    const QString source = QStringLiteral("20 \"ok\"\n"
                                          "21 no quotes\n"
                                          "x22 \"bad id\"\n"
                                          "23 \"unterminated\n"
                                          "24 \"bad \\q escape\"\n"
                                          "25 \"trailing\" junk\n"
                                          "20 \"again\"\n");
    QStringList problems;
    const auto t = strings::parseTable(source, &problems);
    EXPECT_EQ(t.size(), 1);
    EXPECT_EQ(t.value(20), QStringLiteral("ok"));  // the first entry of a repeated id wins
    ASSERT_EQ(problems.size(), 6);
    EXPECT_TRUE(problems[0].startsWith(QStringLiteral("line 2:")));
    EXPECT_TRUE(problems[5].startsWith(QStringLiteral("line 7:")));
}

// The English table is read beside the Hungarian one; both must describe the
// same texts, or a host that switches language meets holes and broken
// sentences.
TEST(StringTable, EnglishTableMatchesTheHungarianOne)
{
    const auto& hu = strings::table(UiLanguage::Hungarian);
    const auto& en = strings::table(UiLanguage::English);
    QFile file(QStringLiteral(LISTGEN_SOURCE_DIR "/resources/strings.en.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList problems;
    strings::parseTable(QString::fromUtf8(file.readAll()), &problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();

    auto ids = [](const QHash<int, QString>& t) {
        QList<int> k = t.keys();
        std::sort(k.begin(), k.end());
        return k;
    };
    EXPECT_EQ(ids(hu), ids(en));

    for (auto it = hu.begin(); it != hu.end(); ++it) {
        const QString hungarian = it.value();
        const QString english = en.value(it.key());
        SCOPED_TRACE(it.key());
        // Pieces joined into sentences keep their blanks and quotes at the
        // joints; placeholders, accelerators and list separators survive.
        EXPECT_EQ(hungarian.startsWith(u' '), english.startsWith(u' '));
        EXPECT_EQ(hungarian.endsWith(u' '), english.endsWith(u' '));
        EXPECT_EQ(hungarian.startsWith(u'\''), english.startsWith(u'\''));
        EXPECT_EQ(hungarian.endsWith(u'\''), english.endsWith(u'\''));
        EXPECT_EQ(hungarian.count(QStringLiteral("%1")), english.count(QStringLiteral("%1")));
        EXPECT_EQ(hungarian.count(QStringLiteral("%2")), english.count(QStringLiteral("%2")));
        EXPECT_EQ(hungarian.count(u'&') > 0, english.count(u'&') > 0);
        EXPECT_EQ(hungarian.isEmpty(), english.isEmpty());
    }
}

TEST(StringTable, LanguageSwitchAndFallback)
{
    struct Restore {
        ~Restore() { setUiLanguage(UiLanguage::Hungarian); }
    } restore;
    ASSERT_EQ(uiLanguage(), UiLanguage::Hungarian);
    EXPECT_EQ(LoadResString(3003), QStringLiteral("&Befejezés"));

    setUiLanguage(UiLanguage::English);
    EXPECT_EQ(uiLanguage(), UiLanguage::English);
    EXPECT_EQ(LoadResString(3003), QStringLiteral("&Finish"));
    EXPECT_EQ(LoadResString(30002), QStringLiteral(" AND "));
    EXPECT_EQ(LoadResString(20000).split(u',').size(), 12);
    EXPECT_EQ(LoadResString(20001).split(u',').size(), 7);
    EXPECT_EQ(LoadResString(99999), QString());

    setUiLanguage(UiLanguage::Hungarian);
    EXPECT_EQ(LoadResString(3003), QStringLiteral("&Befejezés"));
}
