#include <gtest/gtest.h>

#include "platform/runtimeerror.h"
#include "report/runstatement.h"

using namespace Qt::StringLiterals;
using lg::report::buildRunStatement;
using lg::report::checkRunCondition;
using lg::report::runCondition;
using lg::report::RunParameters;

TEST(RunStatement, WhereBecomesTrueEverywhereWithoutCondition)
{
    const QString src = u"SELECT a FROM t WHERE x AND  (%WHERE%) OR (%WHERE%)"_s;
    EXPECT_EQ(buildRunStatement(src, QString(), {}, 7), u"SELECT a FROM t WHERE x AND  ( (TRUE) ) OR ( (TRUE) )"_s);
    EXPECT_EQ(buildRunStatement(src, u"   "_s, {}, 7), u"SELECT a FROM t WHERE x AND  ( (TRUE) ) OR ( (TRUE) )"_s);
    EXPECT_EQ(buildRunStatement(u"%WHERE%"_s, u"a.b = 1"_s, {}, 7), u"a.b = 1"_s);
}

TEST(RunStatement, ParametersAreWholeConditionsWithBlanks)
{
    RunParameters p;
    p[1] = u"a.x = 5"_s;
    p[2] = u"   "_s;
    const QString out = buildRunStatement(u"%PAR1%|%PAR2%|%PAR3%|%PAR2%|%PAR5%"_s, QString(), p, 7);
    EXPECT_EQ(out, u" (TRUE) | a.x = 5 | (TRUE) | a.x = 5 | (TRUE) "_s);
    // Placeholders are case-sensitive; near misses stay as they are.
    EXPECT_EQ(buildRunStatement(u"%par1% %PAR6% %PAR0% %PAR% 100% %runuserid% %RUNUSER%"_s, QString(), p, 7),
              u"%par1% %PAR6% %PAR0% %PAR% 100% %runuserid% %RUNUSER%"_s);
}

TEST(RunStatement, RunUserIsTheRunningUserWherever)
{
    // Saved by one user, run by another: the run fills in the runner's id,
    // every occurrence, while the author's id saved in the text stays.
    const QString stored = u"SELECT a FROM p WHERE (p.secret=0 OR p.owner=%RUNUSERID%) AND p.author=2 AND "
                           u"(p.owner=%RUNUSERID%) AND  (%WHERE%)"_s;
    EXPECT_EQ(buildRunStatement(stored, QString(), {}, 3),
              u"SELECT a FROM p WHERE (p.secret=0 OR p.owner=3) AND p.author=2 AND (p.owner=3) AND  ( (TRUE) )"_s);
    EXPECT_EQ(buildRunStatement(stored, QString(), {}, 12).count(u"owner=12"_s), 2);
}

TEST(RunStatement, InsertedTextIsNotScannedAgain)
{
    // A literal typed into a filter, or a parameter, that happens to contain a
    // placeholder text reaches the statement unchanged.
    RunParameters p;
    p[0] = u"n LIKE '%PAR2%'"_s;
    p[1] = u"y = 2"_s;
    const QString out = buildRunStatement(u"W %WHERE% P1 %PAR1% P2 %PAR2%"_s, u"t = '%PAR1%'"_s, p, 7);
    EXPECT_EQ(out, u"W t = '%PAR1%' P1  n LIKE '%PAR2%'  P2  y = 2 "_s);
    EXPECT_EQ(buildRunStatement(u"%WHERE% AND u = %RUNUSERID%"_s, u"n = '%RUNUSERID%'"_s, {}, 3),
              u"n = '%RUNUSERID%' AND u = 3"_s);
}

TEST(RunStatement, HostAndPreFilterConditionsCombine)
{
    EXPECT_EQ(runCondition(QString(), QString()), u" (TRUE) "_s);
    EXPECT_EQ(runCondition(u"  "_s, u"\t"_s), u" (TRUE) "_s);
    EXPECT_EQ(runCondition(QString(), u" h = 1 "_s), u"h = 1"_s);
    EXPECT_EQ(runCondition(u" p = 2 "_s, QString()), u"p = 2"_s);
    EXPECT_EQ(runCondition(u"p = 2"_s, u"h = 1"_s), u"p = 2 AND h = 1"_s);
}

TEST(RunStatement, InsertedConditionsMustStandOnTheirOwn)
{
    // Accepted: blank, and any one complete condition.
    for (const QString& ok :
         {QString(), u"  "_s, u"[SZ].[fizetve]=0"_s, u"[SZ].[fizmod]='készpénz' AND ([A].[x] > 1 OR [A].[y] IS NULL)"_s,
          u"[TK].[nev] LIKE '*1,5 l?*' AND [SZ].[kelt] < #02/01/2022#"_s, u"[P].[id] IN (SELECT id FROM partner)"_s,
          u"NOT ([A].[b] BETWEEN 1 AND 5)"_s, u"t = ')'"_s})
        EXPECT_NO_THROW(checkRunCondition(ok, u"--where"_s)) << ok.toStdString();

    // Refused: whatever reaches outside its own brackets or adds a statement.
    for (const QString& bad : {u"1=1) OR (1=1"_s, u"1=1)) OR ((1=1"_s, u"(1=1"_s, u"x=1; DELETE * FROM t"_s,
                               u"x=1 ORDER BY y"_s, u"x=1 UNION SELECT a FROM b"_s, u"x = ?"_s, u"x = @who"_s})
        EXPECT_THROW(checkRunCondition(bad, u"--par2"_s), lg::RuntimeError) << bad.toStdString();

    try {
        checkRunCondition(u"1=1) OR (1=1"_s, u"--where"_s);
    } catch (const lg::RuntimeError& e) {
        EXPECT_EQ(e.number(), lg::errnum::SyntaxError);
        EXPECT_TRUE(e.description().startsWith(u"--where is not one complete condition"_s))
            << e.description().toStdString();
    }
}
