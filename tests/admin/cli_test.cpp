// listgen deny | lift | denials on a copy of the demo database.

#include "adminfixture.h"

using namespace Qt::StringLiterals;
using namespace lg;

namespace {

class PermissionCli : public test::AdminDatabase {
protected:
    test::ProcessResult run(QStringList args)
    {
        args.insert(1, u"--db"_s);
        args.insert(2, m_dbPath);
        return test::runProgram(QStringLiteral(LISTGEN_CLI), args);
    }
};

TEST_F(PermissionCli, DenyPrintsTheSentenceAndTheIdAndFindsItAgain)
{
    const auto first = run({u"deny"_s, u"--kind"_s, u"run"_s, u"--group"_s, u"3"_s, u"--type"_s, u"1"_s,
                            u"--list"_s, u"10"_s});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out, u"A(z) 'Könyvelők' felhasználó csoportnak a(z) 'Partnerek' lista típuson bellül a(z) "
                         "'Budapesti és budaörsi partnerek' nevű lista futtathatóságának tiltása.\n6\n"_s);
    const auto again = run({u"deny"_s, u"--kind"_s, u"run"_s, u"--group"_s, u"3"_s, u"--type"_s, u"1"_s,
                            u"--list"_s, u"10"_s});
    EXPECT_EQ(again.out, first.out);
    const auto listed = run({u"denials"_s, u"--kind"_s, u"run"_s});
    EXPECT_EQ(listed.out, u"6\trun\tKönyvelők\tPartnerek\tBudapesti és budaörsi partnerek\n"
                          "3\trun\tKönyvelők\tPartnerek\tVevők hitelkerete\n"
                          "2\trun\tRaktárosok\tSzámlák\t\n"_s);
}

struct Failing {
    const char* name;
    QStringList args;
    int exitCode;
    QString err;
};

TEST_F(PermissionCli, MistakesAreRefused)
{
    const Failing cases[] = {
        {"no group", {u"deny"_s, u"--kind"_s, u"edit"_s, u"--type"_s, u"1"_s}, 1,
         u"listgen deny: A tiltáshoz a felhasználó csoport és a lista típus megadása kötelező!\n"_s},
        {"unknown group", {u"deny"_s, u"--kind"_s, u"edit"_s, u"--group"_s, u"42"_s, u"--type"_s, u"1"_s}, 1,
         u"listgen deny: Nincs 42 azonosítójú felhasználó csoport.\n"_s},
        {"unknown type", {u"lift"_s, u"--kind"_s, u"run"_s, u"--type"_s, u"42"_s}, 1,
         u"listgen lift: Nincs 42 azonosítójú lista típus.\n"_s},
        {"list of another type",
         {u"deny"_s, u"--kind"_s, u"run"_s, u"--group"_s, u"2"_s, u"--type"_s, u"2"_s, u"--list"_s, u"10"_s}, 1,
         u"listgen deny: Nincs 10 azonosítójú lista a(z) 2 azonosítójú lista típusban.\n"_s},
        {"unknown denial", {u"lift"_s, u"--id"_s, u"5"_s}, 1, u"listgen lift: Nincs 5 azonosítójú élő tiltás.\n"_s},
        {"bad kind", {u"denials"_s, u"--kind"_s, u"view"_s}, 2, {}},
        {"id with choices", {u"lift"_s, u"--id"_s, u"2"_s, u"--kind"_s, u"run"_s}, 2, {}},
    };
    for (const Failing& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        if (!c.err.isEmpty()) {
            EXPECT_EQ(r.err, c.err);
        }
    }
    EXPECT_EQ(liveIds(), (QList<long>{1, 2, 3, 4}));
}

TEST_F(PermissionCli, LiftOneAndInBulk)
{
    EXPECT_EQ(run({u"lift"_s, u"--id"_s, u"2"_s}).exitCode, 0);
    EXPECT_EQ(liveIds(), (QList<long>{1, 3, 4}));
    const auto bulk = run({u"lift"_s, u"--kind"_s, u"edit"_s, u"--list"_s, u"10"_s});
    EXPECT_EQ(bulk.exitCode, 0);
    EXPECT_EQ(bulk.out, u"Az összes felhasználó csoportnak az összes lista típus szerkeszthetőségi tiltásának "
                        "feloldása.\n"_s);
    EXPECT_EQ(liveIds(), (QList<long>{3}));
    const auto module = run({u"lift"_s, u"--kind"_s, u"run"_s, u"--module"_s, u"1"_s});
    EXPECT_EQ(module.exitCode, 0);
    EXPECT_EQ(liveIds(), (QList<long>{3}));
}

}  // namespace
