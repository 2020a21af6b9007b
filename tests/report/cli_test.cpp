#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include "catalogue/catalogue_fixture.h"

using lg::test::CatalogueDb;
using lg::test::InvoiceCatalogue;
using lg::test::runProgram;

namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        c.addUserGroup(10, QStringLiteral("g"));
        c.addUser(7, {10});
        list = c.addList(cat.invoiceType, QStringLiteral("Forgalom"), 7);
        c.addGroup(list, cat.nev, 1);
        c.addVisible(list, cat.osszeg, 1, {4, -1, -1, -1, -1, -1, -1, -1, -1, -1, 4});
        c.addWhere(list, cat.osszeg, QStringLiteral("[S].[osszeg] > 100"));
        c.addWhere(list, cat.varos, QStringLiteral("[P].[varos] = 'Szeged'"));
        other = c.addList(cat.partnerType, QStringLiteral("Partnerlista"), 8);
        c.addVisible(other, cat.nev, 1);
    }

    lg::test::ProcessResult run(const QStringList& args)
    {
        return runProgram(QStringLiteral(LISTGEN_CLI), args);
    }

    CatalogueDb c;
    InvoiceCatalogue cat{c};
    long list = 0, other = 0;
};

}  // namespace

TEST_F(Cli, ListsAndTypesFollowThePermissions)
{
    auto r = run({"lists", "--db", c.path, "--user", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("id\tname\n%1\tForgalom\n").arg(list));

    r = run({"lists", "--db", c.path, "--user", "7", "--all", "--module", "2"});
    EXPECT_EQ(r.out, QStringLiteral("id\tname\n%1\tPartnerlista\n").arg(other));

    c.addDenial(1, 10, cat.partnerType);
    r = run({"lists", "--db", c.path, "--user", "7", "--all"});
    EXPECT_EQ(r.out, QStringLiteral("id\tname\n%1\tForgalom\n").arg(list));
    r = run({"types", "--db", c.path, "--user", "7"});
    EXPECT_EQ(r.out, QStringLiteral("id\tname\n%1\tSzámlák\n").arg(cat.invoiceType));
    r = run({"types", "--db", c.path, "--user", "7", "--edit", "--module", "2"});
    EXPECT_EQ(r.out, QStringLiteral("id\tname\n%1\tPartnerek\n").arg(cat.partnerType));
}

TEST_F(Cli, StatementPrintsThreeLinesAndSavesNothing)
{
    const auto r = run({"statement", "--db", c.path, "--list", QString::number(list), "--user", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("SELECT [P].[nev] AS RG")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("WHERE ([S].[osszeg] > 100 AND [P].[varos] = 'Szeged') AND ")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("SELECT TOP 1 ")));
    EXPECT_EQ(lines[2], QStringLiteral("2"));
    EXPECT_EQ(lg::test::column(*c.db, QStringLiteral("select sql_source from vlq_list_report where id = %1").arg(list)),
              QStringList{QString()});

    const auto bad = run({"statement", "--db", c.path, "--list", "999", "--user", "7"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("999")));
}

TEST_F(Cli, XmlWritesTheFileAndPrintsItsPath)
{
    const QString dir = lg::test::tempDir();
    auto r = run({"xml", "--db", c.path, "--list", QString::number(list), "--folder", dir + QLatin1Char('/')});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString path = r.out.trimmed();
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("REPORT%1.XML").arg(list));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<Text>Partner n\xE9v:</Text>"));

    r = run({"xml", "--db", c.path, "--list", QString::number(list), "--folder", dir, "--short-names"});
    ASSERT_EQ(r.exitCode, 0);
    QFile g(r.out.trimmed());
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_TRUE(g.readAll().contains("<Text>N\xE9v:</Text>"));

    r = run({"xml", "--db", c.path, "--list", QString::number(list), "--folder", dir + QStringLiteral("/nincs")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("A riportkönyvtár nem található")));

    r = run({"xml", "--db", dir + QStringLiteral("/nincs.db"), "--list", "1", "--folder", dir});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/nincs.db")));
}
