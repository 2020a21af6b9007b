// listgen field, through the built tool on the demo database: the record in
// its order for a field with and without a stored condition, and the
// refusals.

#include "demodb.h"

#include "support/testsupport.h"

#include <gtest/gtest.h>

namespace {

lg::test::ProcessResult field(const QStringList& args)
{
    return lg::test::runProgram(QStringLiteral(LISTGEN_CLI),
                                QStringList{QStringLiteral("field"), QStringLiteral("--db"),
                                            lg::test::DemoDb::instance().path()}
                                    + args);
}

QStringList lines(const QString& out)
{
    QStringList l = out.split(u'\n');
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

}  // namespace

TEST(ListgenField, PrintsTheRecordInItsOrder)
{
    const auto r = field({QStringLiteral("--field"), QStringLiteral("36"), QStringLiteral("--list"),
                          QStringLiteral("9"), QStringLiteral("--complete")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList l = lines(r.out);
    ASSERT_EQ(l.size(), 27);
    QStringList names;
    for (const QString& line : l)
        names << line.section(u'=', 0, 0);
    EXPECT_EQ(names.first(), QStringLiteral("tTFID"));
    EXPECT_EQ(names.last(), QStringLiteral("tTPrimaryKeyFiled"));
    EXPECT_EQ(names.indexOf(QStringLiteral("tWFID")), 12);
    EXPECT_TRUE(l.contains(QStringLiteral("tTFControlType=8")));
    EXPECT_TRUE(l.contains(QStringLiteral("tTFQueryAliasField=[TCS].[nev]")));
    EXPECT_TRUE(l.contains(QStringLiteral("tTFQueryFieldVisible=Termékcsoport megnevezés")));
    EXPECT_TRUE(l.contains(QStringLiteral("tTFQueryFieldProgIDFilter=aktiv=-1")));
    EXPECT_TRUE(l.contains(QStringLiteral("tWFSelectedItems='Kávé és tea','Édességek'")));

    // Without a list: no stored condition, the short caption.
    const auto plain = field({QStringLiteral("--field"), QStringLiteral("36")});
    ASSERT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(lines(plain.out).contains(QStringLiteral("tWFID=-1")));
    EXPECT_TRUE(lines(plain.out).contains(QStringLiteral("tTFQueryFieldVisible=Megnevezés")));
}

TEST(ListgenField, RefusesWhatItCannotShow)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--field", "999"}, 1, "there is no catalogue field 999"},
        {{"--field", "2", "--list", "999"}, 1, "there is no list 999"},
        {{"--field", "x"}, 2, "--field takes a whole number"},
        {{}, 2, "missing --field"},
        {{"--field", "2", "--sort"}, 2, "unknown option --sort"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.message);
        const auto r = field(k.args);
        EXPECT_EQ(r.exitCode, k.exitCode);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(k.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
