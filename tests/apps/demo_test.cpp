// The demo database and `listgen run`, driven through the built binary and
// checked against independent SQL on the raw file.

#include <gtest/gtest.h>

#include <QtCore/QCryptographicHash>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>
#include <QtCore/QProcess>

#include <map>

#include "catalogue/fieldcatalogue.h"
#include "platform/dao/dao.h"
#include "report/statementgenerator.h"
#include "store/context.h"
#include "store/errors.h"
#include "rawdb.h"
#include "support/testsupport.h"

using namespace Qt::StringLiterals;

namespace {

const QString kCli = QStringLiteral(LISTGEN_CLI);

using lg::test::RawDb;

struct Table {
    QStringList header;
    QList<QStringList> rows;
    // The values of the n-th displayed column (RF...), in output order.
    QStringList column(int n) const
    {
        int seen = -1;
        for (qsizetype i = 0; i < header.size(); ++i)
            if (header.at(i).startsWith(u"RF"_s) && ++seen == n) {
                QStringList values;
                for (const QStringList& r : rows)
                    values << r.value(i);
                return values;
            }
        ADD_FAILURE() << "no displayed column " << n;
        return {};
    }
};

Table parseTsv(const QString& text)
{
    Table t;
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return t;
    t.header = lines.takeFirst().split(u'\t');
    for (const QString& l : lines)
        t.rows << l.split(u'\t');
    return t;
}

class DemoDb : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = lg::test::tempDir();
        s_db = s_dir + u"/nagyker.db"_s;
        const auto r = lg::test::runProgram(kCli, {u"demo-db"_s, u"--out"_s, s_db, u"--reports"_s, s_dir + u"/rep"_s});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        s_summary = r.out;
    }

    static lg::test::ProcessResult run(long list, long user, const QStringList& extra = {})
    {
        return lg::test::runProgram(kCli, QStringList{u"run"_s, u"--db"_s, s_db, u"--list"_s, QString::number(list),
                                                      u"--user"_s, QString::number(user)}
                                              + extra);
    }
    static Table runTable(long list, long user, const QStringList& extra = {})
    {
        const auto r = run(list, user, extra);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return parseTsv(r.out);
    }

    static inline QString s_dir, s_db, s_summary;
};

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

// Confidential partners are visible only to their account manager.
QString visibleTo(long user) { return QStringLiteral("(p.bizalmas = 0 OR p.felelos_id = %1)").arg(user); }

}  // namespace

TEST_F(DemoDb, ScaleOneHasTheAdvertisedShape)
{
    RawDb raw(s_db);
    const long lines = raw.value(u"SELECT count(*) FROM szamla_tetel"_s).toLong();
    EXPECT_GT(lines, 18000);
    EXPECT_LT(lines, 22000);
    EXPECT_EQ(raw.value(u"SELECT count(*) FROM szamla"_s), u"2000"_s);
    // Invoice totals are the sums of their lines.
    EXPECT_EQ(raw.value(u"SELECT count(*) FROM szamla s WHERE s.netto <> "
                        "(SELECT sum(netto) FROM szamla_tetel t WHERE t.szamla_id = s.id) OR s.brutto <> "
                        "(SELECT sum(brutto) FROM szamla_tetel t WHERE t.szamla_id = s.id)"_s),
              u"0"_s);
    // Dates span three years, due dates never precede issue dates, only customers are invoiced.
    EXPECT_EQ(raw.value(u"SELECT min(substr(kelt,1,4)) || '-' || max(substr(kelt,1,4)) FROM szamla"_s), u"2022-2024"_s);
    EXPECT_EQ(raw.value(u"SELECT count(*) FROM szamla WHERE hatarido < kelt"_s), u"0"_s);
    EXPECT_EQ(raw.value(u"SELECT count(*) FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE p.tipus <> 'V'"_s),
              u"0"_s);
    // Tax numbers: 8 digits with a valid check digit, VAT code, area code.
    for (const QString& tax : raw.rows(u"SELECT adoszam FROM partner"_s)) {
        ASSERT_EQ(tax.size(), 13) << tax.toStdString();
        static const int w[] = {9, 7, 3, 1, 9, 7, 3};
        int sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += tax.at(i).digitValue() * w[i];
        EXPECT_EQ(tax.at(7).digitValue(), (10 - sum % 10) % 10) << tax.toStdString();
    }
    EXPECT_FALSE(raw.value(u"SELECT nev FROM partner WHERE nev LIKE '%á%' OR nev LIKE '%ő%' LIMIT 1"_s).isEmpty());

    // Users behind the host queries; catalogue covers every type and filter control.
    EXPECT_EQ(raw.value(u"SELECT count(*) FROM qry_vlq_list_wizard_user_table WHERE id = 6"_s), u"2"_s);
    EXPECT_EQ(raw.value(u"SELECT display_name FROM qry_vlq_list_wizard_user_table WHERE id = 2 LIMIT 1"_s),
              u"Kovács Anna"_s);
    EXPECT_EQ(raw.value(u"SELECT group_concat(DISTINCT field_type) FROM (SELECT field_type FROM "
                        "vlq_list_wizard_table_field ORDER BY 1)"_s),
              u"1,2,3,4,5"_s);
    EXPECT_EQ(raw.value(u"SELECT group_concat(DISTINCT field_control_type) FROM (SELECT field_control_type FROM "
                        "vlq_list_wizard_table_field ORDER BY 1)"_s),
              u"1,2,3,4,5,6,7,8"_s);
    EXPECT_EQ(raw.value(u"SELECT max(sort_order) FROM vlq_list_wizard_table_type_connection"_s), u"3"_s);
    EXPECT_EQ(raw.value(u"SELECT index_stucture FROM vlq_quickpick_field WHERE index_name = 'tipus_nev'"_s),
              u"V;%SEARCH%"_s);
    EXPECT_GE(raw.value(u"SELECT count(*) FROM vlq_list_report"_s).toLong(), 8);

    // Every list has its statement, join depth and report source.
    for (const QString& row :
         raw.rows(u"SELECT id, report_file, table_priority, length(sql_source) FROM vlq_list_report"_s)) {
        const QStringList c = row.split(u'\t');
        EXPECT_EQ(c.at(1), u"REPORT"_s + c.at(0) + u".XML"_s);
        EXPECT_TRUE(QFileInfo::exists(s_dir + u"/rep/"_s + c.at(1))) << c.at(1).toStdString();
        EXPECT_GE(c.at(2).toLong(), 0);
        EXPECT_GT(c.at(3).toLong(), 50);
    }
}

// Each saved list, run by its creator, against the same selection written
// independently on the raw tables: the first displayed column's values.
TEST_F(DemoDb, EverySavedListMatchesIndependentSql)
{
    RawDb raw(s_db);
    struct Case {
        long list, user;
        QString sql;
    };
    const QList<Case> cases = {
        {1, 1, u"SELECT p.kod FROM partner p WHERE p.aktiv = -1 AND "_s + visibleTo(1)},
        {2, 1, u"SELECT p.kod FROM partner p WHERE p.tipus = 'V' AND p.hitelkeret BETWEEN 1000000 AND 5000000 AND "_s
                   + visibleTo(1)},
        {3, 2, u"SELECT s.szamlaszam FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE s.kelt BETWEEN "
               "'2024-01-01' AND '2024-12-31 23:59:59' AND s.sztornozott = 0 AND "_s
                   + visibleTo(2)},
        {4, 4, u"SELECT s.szamlaszam FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE s.fizetve = 0 AND "
               "s.hatarido < '2024-12-01' AND s.sztornozott = 0 AND "_s
                   + visibleTo(4)},
        {5, 1, u"SELECT s.szamlaszam FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE p.regio_id IN (1, 6, 7) "
               "AND s.sztornozott = 0 AND "_s
                   + visibleTo(1)},
        {6, 3, u"SELECT s.szamlaszam FROM szamla_tetel t JOIN szamla s ON s.id = t.szamla_id "
               "WHERE t.termek_id IN (1, 2, 10, 14) AND t.afakulcs = 27"_s},
        {7, 1, u"SELECT s.szamlaszam FROM szamla_tetel t JOIN szamla s ON s.id = t.szamla_id "
               "JOIN partner p ON p.id = s.partner_id WHERE "_s
                   + visibleTo(1)},
        {8, 2, u"SELECT p.kod FROM partner p WHERE p.id IN (3, 5, 8, 13) AND "_s + visibleTo(2)},
        {9, 5, u"SELECT k.cikkszam FROM termek k JOIN termekcsoport c ON c.id = k.termekcsoport_id WHERE "
               "(k.nev LIKE '%kávé%' OR k.nev LIKE '%tea%' OR k.nev LIKE '%csokoládé%') AND c.nev IN "
               "('Kávé és tea', 'Édességek')"_s},
        {10, 6, u"SELECT p.kod FROM partner p WHERE upper(substr(p.varos, 1, 4)) = 'BUDA' AND "
                "NOT (p.fizetesi_hatarido = 8) AND "_s
                    + visibleTo(6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("list %1").arg(c.list).toStdString());
        const Table t = runTable(c.list, c.user);
        const QStringList expected = raw.rows(c.sql);
        EXPECT_FALSE(expected.isEmpty());
        EXPECT_EQ(sorted(t.column(0)), sorted(expected));
    }
}

TEST_F(DemoDb, KnownRowsCarryTheirValues)
{
    RawDb raw(s_db);
    // List 3: groups by partner name with the partner code as grouping field,
    // then number, dates, net, gross, paid flag.
    const Table t = runTable(3, 2);
    ASSERT_EQ(t.header.mid(0, 3), (QStringList{u"RG2"_s, u"RGF2"_s, u"RF11"_s}));
    ASSERT_FALSE(t.rows.isEmpty());
    for (const QStringList& row : {t.rows.first(), t.rows.last()}) {
        const QString expected = raw.value(
            u"SELECT p.nev, p.kod, s.szamlaszam, substr(s.kelt, 1, 10), substr(s.hatarido, 1, 10), "
            "CAST(s.netto AS INTEGER), CAST(s.brutto AS INTEGER), s.fizetve FROM szamla s JOIN partner p "
            "ON p.id = s.partner_id WHERE s.szamlaszam = '"_s
            + row.at(2) + u"'"_s);
        EXPECT_EQ(row.join(u'\t'), expected);
    }
    // Sorted by the group first: partner names never go backwards.
    const QStringList names = [&] {
        QStringList n;
        for (const QStringList& r : t.rows)
            n << r.at(0);
        return n;
    }();
    QStringList distinct;
    for (const QString& n : names)
        if (distinct.isEmpty() || distinct.last() != n)
            distinct << n;
    EXPECT_EQ(distinct.size(), QSet<QString>(names.begin(), names.end()).size());

    // List 1: Yes/No as -1, credit limit as a whole number.
    const Table p = runTable(1, 1);
    ASSERT_FALSE(p.rows.isEmpty());
    const QStringList first = p.rows.first();
    EXPECT_EQ(first.last(), u"-1"_s);
    EXPECT_EQ(first.join(u'\t'),
              raw.value(u"SELECT r.nev, p.kod, p.nev, p.varos, CAST(p.hitelkeret AS INTEGER), p.aktiv FROM partner p "
                        "JOIN regio r ON r.id = p.regio_id WHERE p.kod = '"_s
                        + first.at(1) + u"'"_s));
}

TEST_F(DemoDb, DeniedAndPrivateListsAreRefused)
{
    // Warehouse staff (group 4) may not see invoices; Tóth Gábor is also a
    // salesperson, and one denying group is enough.
    auto r = run(3, 5);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"may not run list 3"_s)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    // A list-level denial for accountants, only on that list.
    EXPECT_EQ(run(2, 4).exitCode, 1);
    EXPECT_EQ(run(1, 4).exitCode, 0);
    // Someone else's private list.
    EXPECT_EQ(run(8, 3).exitCode, 1);
    EXPECT_EQ(run(8, 2).exitCode, 0);
    // An edit denial does not stop running; a lifted denial (del_status 2) denies nothing.
    EXPECT_EQ(run(1, 3).exitCode, 0);
    EXPECT_EQ(run(6, 7).exitCode, 0);
    // A user in no group runs what nobody denied.
    EXPECT_EQ(run(3, 8).exitCode, 0);
    // A list that does not exist, a database that does not exist.
    r = run(999, 1);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"no list 999"_s));
    r = lg::test::runProgram(kCli, {u"run"_s, u"--db"_s, s_dir + u"/missing.db"_s, u"--list"_s, u"1"_s, u"--user"_s,
                                    u"1"_s});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(s_dir + u"/missing.db"_s));
}

TEST_F(DemoDb, WhereAndParametersCombine)
{
    RawDb raw(s_db);
    const QString base = u"SELECT s.szamlaszam FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE s.kelt "
                         "BETWEEN '2024-01-01' AND '2024-12-31 23:59:59' AND s.sztornozott = 0 AND "_s
                         + visibleTo(2);
    // The type's required condition carries %PAR1%: the parameter narrows it,
    // --where narrows further; both apply together.
    const Table both = runTable(3, 2, {u"--par1"_s, u"[SZ].[fizmod]='készpénz'"_s, u"--where"_s, u"[SZ].[fizetve]=0"_s});
    EXPECT_EQ(sorted(both.column(0)), sorted(raw.rows(base + u" AND s.fizmod = 'készpénz' AND s.fizetve = 0"_s)));
    const Table par = runTable(3, 2, {u"--par1"_s, u"[SZ].[fizmod]='készpénz'"_s});
    EXPECT_EQ(sorted(par.column(0)), sorted(raw.rows(base + u" AND s.fizmod = 'készpénz'"_s)));
    EXPECT_GT(par.rows.size(), both.rows.size());
    // Blank parameters and condition select everything; unused parameters change nothing.
    const Table blank = runTable(3, 2, {u"--par1"_s, u"  "_s, u"--where"_s, u" "_s, u"--par4"_s, u"[X].[y]=1"_s});
    EXPECT_EQ(sorted(blank.column(0)), sorted(raw.rows(base)));

    const auto shown = run(3, 2, {u"--par1"_s, u"a=1"_s, u"--where"_s, u" b=2 "_s, u"--show-statement"_s});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(shown.out.contains(u"=0) AND  a=1 ) AND  (b=2) ORDER BY"_s)) << shown.out.toStdString();
    EXPECT_FALSE(shown.out.contains(u"%PAR"_s));
    EXPECT_FALSE(shown.out.contains(u"%WHERE%"_s));

    // A condition the database rejects is an error, and --out keeps an earlier file.
    const QString out = s_dir + u"/kept.tsv"_s;
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("earlier\n");
    f.close();
    const auto bad = run(3, 2, {u"--where"_s, u"[SZ].[nincs_ilyen] = 1"_s, u"--out"_s, out});
    EXPECT_EQ(bad.exitCode, 1);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier\n"));
    f.close();
    EXPECT_FALSE(QFileInfo::exists(out + u".part"_s));
}

TEST_F(DemoDb, ConfidentialPartnersFollowTheRunningUser)
{
    // List 3 was saved by user 2; whoever runs it sees only their own
    // confidential partners, never its author's.
    RawDb raw(s_db);
    const QString base = u"SELECT s.szamlaszam FROM szamla s JOIN partner p ON p.id = s.partner_id WHERE s.kelt "
                         "BETWEEN '2024-01-01' AND '2024-12-31 23:59:59' AND s.sztornozott = 0"_s;
    const QStringList authorsOwn = raw.rows(base + u" AND p.bizalmas <> 0 AND p.felelos_id = 2"_s);
    ASSERT_FALSE(authorsOwn.isEmpty()) << "the demo has no confidential partner of user 2 with invoices";

    const Table t = runTable(3, 3);
    EXPECT_EQ(sorted(t.column(0)), sorted(raw.rows(base + u" AND "_s + visibleTo(3))));
    const QStringList seen = t.column(0);
    for (const QString& invoice : authorsOwn)
        EXPECT_FALSE(seen.contains(invoice)) << invoice.toStdString();

    const auto shown = run(3, 3, {u"--show-statement"_s});
    EXPECT_FALSE(shown.out.contains(u"%RUNUSERID%"_s));
    EXPECT_TRUE(shown.out.contains(u"[P].[felelos_id]=3)"_s)) << shown.out.toStdString();
}

// --- the command line refuses what it cannot do ------------------------------------

namespace {

// Runs the tool with its standard output going to `/dev/full`.
lg::test::ProcessResult runIntoFullDisk(const QStringList& args)
{
    QProcess p;
    p.setStandardOutputFile(u"/dev/full"_s);
    p.start(kCli, args);
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString(),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(&f);
    return h.result();
}

}  // namespace

TEST_F(DemoDb, UnknownOptionsAndStrayArgumentsAreRefused)
{
    auto r = run(1, 1, {u"--unknown"_s, u"x"_s});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(u"unknown option --unknown"_s)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(run(1, 1, {u"--wher=1=1"_s}).exitCode, 2) << "a misspelt condition is not dropped";
    EXPECT_EQ(run(1, 1, {u"stray"_s}).exitCode, 2);
    EXPECT_EQ(run(1, 1, {u"--show-statement=yes"_s}).exitCode, 2);
    EXPECT_EQ(run(1, 1, {u"--where"_s, u"1=1"_s, u"--where"_s, u"2=2"_s}).exitCode, 2);
    for (const QStringList& args :
         {QStringList{u"lists"_s, u"--db"_s, s_db, u"--user"_s, u"1"_s, u"--everything"_s},
          QStringList{u"types"_s, u"--db"_s, s_db, u"--user"_s, u"1"_s, u"--all"_s},
          QStringList{u"statement"_s, u"--db"_s, s_db, u"--list"_s, u"1"_s, u"--user"_s, u"1"_s, u"-x"_s},
          QStringList{u"init-db"_s, u"--db"_s, s_dir + u"/never.db"_s, u"--force"_s}}) {
        const auto bad = lg::test::runProgram(kCli, args);
        EXPECT_EQ(bad.exitCode, 2) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(s_dir + u"/never.db"_s));
    // Statements may still begin like options where a command takes them.
    EXPECT_EQ(lg::test::runProgram(kCli, {u"translate"_s, u"SELECT 1"_s}).exitCode, 0);
    // The dialect is chosen by name; an unknown one is a usage error.
    const auto pg = lg::test::runProgram(
        kCli, {u"translate"_s, u"--dialect"_s, u"postgresql"_s, u"SELECT name FROM t WHERE name LIKE 'a*'"_s});
    EXPECT_EQ(pg.exitCode, 0);
    EXPECT_TRUE(pg.out.contains(u"jet_fold((\"name\")::text) COLLATE \"C\" LIKE 'a%'"_s)) << pg.out.toStdString();
    const auto lite = lg::test::runProgram(
        kCli, {u"translate"_s, u"--dialect"_s, u"sqlite"_s, u"SELECT name FROM t WHERE name LIKE 'a*'"_s});
    EXPECT_EQ(lite.exitCode, 0);
    EXPECT_EQ(lite.out, lg::test::runProgram(kCli, {u"translate"_s, u"SELECT name FROM t WHERE name LIKE 'a*'"_s}).out);
    EXPECT_EQ(lg::test::runProgram(kCli, {u"translate"_s, u"--dialect"_s, u"db2"_s, u"SELECT 1"_s}).exitCode, 2);
}

TEST_F(DemoDb, ConditionsCannotEscapeTheirBrackets)
{
    // List 8 is user 2's private list of four partners; user 2 runs it with a
    // condition that tries to close the bracket and select every partner.
    const int kept = runTable(8, 2).rows.size();
    ASSERT_GT(kept, 0);
    for (const QString& option : {u"--where"_s, u"--par1"_s, u"--par3"_s}) {
        const auto r = run(8, 2, {option, u"1=1) OR (1=1"_s});
        EXPECT_EQ(r.exitCode, 2) << option.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(option + u" is not one complete condition"_s)) << r.err.toStdString();
    }
    EXPECT_EQ(run(3, 2, {u"--where"_s, u"[SZ].[fizetve]=0 ORDER BY 1"_s}).exitCode, 2);
    EXPECT_EQ(run(3, 2, {u"--par1"_s, u"[SZ].[fizetve]=0; DELETE * FROM vlq_list_report"_s}).exitCode, 2);
    EXPECT_EQ(runTable(8, 2, {u"--where"_s, u"(1=1) OR (1=1)"_s}).rows.size(), kept)
        << "a complete condition only narrows";
}

TEST_F(DemoDb, UnknownUserIsRefused)
{
    // Without the check user 99 would count as a user in no group.
    auto r = run(1, 99);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"no user 99"_s)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    for (const char* command : {"lists", "types"}) {
        const auto listed =
            lg::test::runProgram(kCli, {QString::fromLatin1(command), u"--db"_s, s_db, u"--user"_s, u"99"_s});
        EXPECT_EQ(listed.exitCode, 1) << command;
        EXPECT_TRUE(listed.out.isEmpty()) << command;
    }
    EXPECT_EQ(lg::test::runProgram(kCli, {u"statement"_s, u"--db"_s, s_db, u"--list"_s, u"1"_s, u"--user"_s, u"99"_s})
                  .exitCode,
              1);
    EXPECT_EQ(lg::test::runProgram(kCli, {u"lists"_s, u"--db"_s, s_db, u"--user"_s, u"8"_s}).exitCode, 0)
        << "a known user in no group";
}

TEST_F(DemoDb, LostStandardOutputIsAFailure)
{
    const QStringList base{u"--db"_s, s_db, u"--user"_s, u"1"_s};
    for (const QStringList& args :
         {QStringList{u"run"_s, u"--list"_s, u"7"_s} + base, QStringList{u"run"_s, u"--list"_s, u"1"_s} + base,
          QStringList{u"run"_s, u"--list"_s, u"1"_s, u"--format"_s, u"json"_s} + base,
          QStringList{u"run"_s, u"--list"_s, u"1"_s, u"--show-statement"_s} + base, QStringList{u"lists"_s} + base,
          QStringList{u"types"_s} + base, QStringList{u"translate"_s, u"SELECT 1"_s},
          QStringList{u"sql"_s, u"--db"_s, s_db, u"SELECT id FROM vlq_list_report"_s}, QStringList{u"--help"_s},
          QStringList{u"--version"_s}, QStringList{u"run"_s, u"--help"_s}}) {
        const auto r = runIntoFullDisk(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(u' ').toStdString();
    }

    // A reader that goes away: the largest list cannot all fit into the pipe.
    const auto piped = lg::test::runProgram(
        u"/bin/bash"_s,
        {u"-c"_s, u"\"$0\" run --db \"$1\" --list 7 --user 1 | head -c 10 >/dev/null; echo \"${PIPESTATUS[0]}\""_s,
         kCli, s_db});
    EXPECT_EQ(piped.out.trimmed(), u"1"_s) << piped.err.toStdString();
}

TEST_F(DemoDb, OutNeverReplacesTheDatabase)
{
    ASSERT_EQ(run(1, 1).exitCode, 0);  // the first open may still settle the file's journal
    const QByteArray before = fileHash(s_db);
    ASSERT_FALSE(before.isEmpty());
    auto r = run(1, 1, {u"--out"_s, s_db});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.isEmpty());
    // Another spelling of the same file is the same file.
    r = run(1, 1, {u"--out"_s, s_dir + u"/rep/../nagyker.db"_s});
    EXPECT_EQ(r.exitCode, 1);
    for (const QString& format : {u"csv"_s, u"xlsx"_s, u"pdf"_s})
        EXPECT_EQ(run(1, 1, {u"--format"_s, format, u"--out"_s, s_db}).exitCode, 1) << format.toStdString();
    EXPECT_EQ(fileHash(s_db), before);
    EXPECT_EQ(run(1, 1).exitCode, 0) << "the database still works";

    // A good target is written whole; a device is refused.
    const QString out = s_dir + u"/lists.tsv"_s;
    r = run(1, 1, {u"--out"_s, out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QFileInfo(out).size(), qint64(run(1, 1).out.toUtf8().size()));
    EXPECT_EQ(run(1, 1, {u"--out"_s, u"/dev/full"_s}).exitCode, 1);
    EXPECT_TRUE(QDir(s_dir).entryList({u"*.tmp*"_s, u".*lists*"_s}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(DemoDb, CsvAndJsonOutput)
{
    // Product names such as "… 1,5 l" need quoting in CSV.
    const QString where = u"[TK].[nev] LIKE '*1,5 l*' AND [SZ].[kelt] < #02/01/2022#"_s;
    const auto tsv = run(7, 1, {u"--where"_s, where});
    const auto csv = run(7, 1, {u"--where"_s, where, u"--format"_s, u"csv"_s});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const Table t = parseTsv(tsv.out);
    ASSERT_FALSE(t.rows.isEmpty());
    QStringList lines = csv.out.split(u"\r\n"_s);
    ASSERT_EQ(lines.takeLast(), QString());
    ASSERT_EQ(lines.size(), t.rows.size() + 1);
    EXPECT_EQ(lines.first(), t.header.join(u','));
    EXPECT_FALSE(csv.out.contains(u'\t'));
    const QStringList& r = t.rows.first();
    QStringList expected;
    for (const QString& v : r)
        expected << (v.contains(u',') ? u"\""_s + v + u"\""_s : v);
    EXPECT_EQ(lines.at(1), expected.join(u','));
    EXPECT_TRUE(lines.at(1).contains(u",5 l\""_s));

    const auto json = run(1, 1, {u"--format"_s, u"json"_s});
    ASSERT_EQ(json.exitCode, 0);
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json.out.toUtf8(), &err);
    ASSERT_EQ(err.error, QJsonParseError::NoError) << err.errorString().toStdString();
    const Table p = runTable(1, 1);
    ASSERT_EQ(doc.array().size(), p.rows.size());
    const QJsonObject o = doc.array().first().toObject();
    EXPECT_EQ(o.value(u"RF1"_s).toString(), p.rows.first().at(1));
    EXPECT_TRUE(o.value(u"RF5"_s).isBool());
    EXPECT_TRUE(o.value(u"RF4"_s).isDouble());
    // An empty result is still a valid document.
    const auto none = run(1, 1, {u"--format"_s, u"json"_s, u"--where"_s, u"1=0"_s});
    EXPECT_EQ(QJsonDocument::fromJson(none.out.toUtf8()).array().size(), 0);
    EXPECT_EQ(run(1, 1, {u"--format"_s, u"xml"_s}).exitCode, 2);
}

// The stored statements are what the library's generator gives, and every
// test statement runs on the database.
TEST_F(DemoDb, StatementsPassTheStatementTest)
{
    auto db = lg::dao::Database::open(s_db);
    lg::ctx().database = db;
    RawDb raw(s_db);
    for (const QString& row : raw.rows(u"SELECT id, list_type_id, create_user, sql_source, table_priority "
                                       "FROM vlq_list_report ORDER BY id"_s)) {
        const QStringList c = row.split(u'\t');
        SCOPED_TRACE(c.at(0).toStdString());
        QString condition = raw.rows(u"SELECT sql_where FROM vlq_list_report_where_field WHERE vlq_list_report_id = "_s
                                     + c.at(0) + u" ORDER BY id"_s)
                                .join(u" AND "_s);
        lg::report::ListStatement st;
        ASSERT_TRUE(lg::report::GenerateListStatement(c.at(0).toLong(), c.at(1).toLong(), condition,
                                                      c.at(2).toLong(), st));
        EXPECT_EQ(st.stored, c.at(3));
        EXPECT_EQ(QString::number(st.joinDepth), c.at(4));
        EXPECT_TRUE(lg::catalogue::TestSQLStatement(st.test));
        EXPECT_EQ(lg::ctx().currentErrors().Count(), 0);
    }
    lg::ctx().database.reset();
}

TEST_F(DemoDb, SameScaleGivesTheSameData)
{
    const QString other = s_dir + u"/again.db"_s;
    const auto r = lg::test::runProgram(kCli, {u"demo-db"_s, u"--out"_s, other, u"--reports"_s, s_dir + u"/rep2"_s});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    auto digest = [](const QString& path) {
        RawDb raw(path);
        QCryptographicHash h(QCryptographicHash::Sha256);
        for (const QString& table : raw.rows(u"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"_s)) {
            h.addData(table.toUtf8());
            for (const QString& row : raw.rows(u"SELECT * FROM \""_s + table + u"\" ORDER BY 1"_s))
                h.addData(QByteArray(row.toUtf8() + "\n"));
        }
        return h.result().toHex();
    };
    EXPECT_EQ(digest(s_db), digest(other));
    for (const QString& f : QDir(s_dir + u"/rep"_s).entryList(QDir::Files)) {
        QFile a(s_dir + u"/rep/"_s + f), b(s_dir + u"/rep2/"_s + f);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << f.toStdString();
        EXPECT_EQ(a.readAll(), b.readAll()) << f.toStdString();
    }
    // An existing file is not overwritten without --force.
    const auto again = lg::test::runProgram(kCli, {u"demo-db"_s, u"--out"_s, other});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(u"already exists"_s));
    EXPECT_EQ(digest(s_db), digest(other));
}
