// The quick pick's search without a window: the definition as the demo
// database stores it, the seek against an independent reading of the table
// (every record in the collation's order, the first that starts with the
// text), exact mode, constant keys, lookups by key and the values that could
// break a seek.

#include "filters/quickpick.h"

#include "demodb.h"
#include "platform/dao/dao.h"
#include "platform/jetsql/jetcompare.h"
#include "support/pgbackend.h"
#include "support/quickpickdb.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lg;
using namespace lg::filters;
using lg::test::DemoDb;

namespace {

struct Row {
    int id;
    QString text;    // the searched column
    QString result;  // the visible column
    QString group;   // a constant key column
};

// The first record, in index order, that a search must accept: the
// independent answer, read with a statement sorted by the same collation.
std::optional<Row> expected(const QList<Row>& ordered, const QString& typed, bool exact, const QString& group = {})
{
    const QString u = typed.toUpper();
    for (const Row& r : ordered) {
        if (!group.isNull() && r.group.toUpper() != group.toUpper())
            continue;
        const QString v = r.text.toUpper();
        if (exact ? v == u : v.startsWith(u))
            return r;
    }
    return std::nullopt;
}

QList<Row> readOrdered(dao::Database& db, const QString& sql)
{
    QList<Row> rows;
    auto rs = db.OpenRecordset(sql, dao::RecordsetType::Snapshot);
    for (; !rs->Eof(); rs->MoveNext())
        rows.append({rs->Fields(0).toInt(), rs->Fields(1).toString(), rs->Fields(2).toString(),
                     rs->FieldCount() > 3 ? rs->Fields(3).toString() : QString()});
    return rows;
}

// The edge-case host database of support/quickpickdb.h.
std::shared_ptr<dao::Database> edgeDatabase()
{
    auto db = dao::Database::open(lg::test::testDatabaseName(QStringLiteral("quickpick-edges.db")));
    lg::test::fillQuickPickEdgeDatabase(*db);
    // A stored key layout with more entries than the index has columns.
    db->Execute(QStringLiteral("INSERT INTO vlq_quickpick_field VALUES (4, 1, 4, 'nev', 'Hosszú', 'nev', 'nev', "
                               "'%SEARCH%;x;y')"));
    return db;
}

// Every prefix (1 to 4 characters, in both cases) of every name, and the
// names with one letter changed at the end: hits and misses of every kind.
QStringList probesOf(const QList<Row>& rows)
{
    QStringList probes;
    for (const Row& r : rows)
        for (int n = 1; n <= qMin(4, int(r.text.size())); ++n) {
            const QString p = r.text.left(n);
            probes << p << p.toLower() << p.toUpper() << p.left(n - 1) + QStringLiteral("q");
        }
    probes.removeDuplicates();
    return probes;
}

}  // namespace

TEST(QuickPickDefinition, ReadFromTheDemoDatabase)
{
    auto& db = DemoDb::instance().db();
    const QuickPickDefinition def = readQuickPickDefinition(db, 1);
    EXPECT_TRUE(def.found);
    EXPECT_EQ(def.name, QStringLiteral("Partnerek"));
    EXPECT_EQ(def.tableName, QStringLiteral("partner"));
    EXPECT_EQ(def.browseId, 1);
    EXPECT_EQ(def.browseWhereClause, QStringLiteral("aktiv=-1"));
    EXPECT_TRUE(def.useWhereInBrowse);
    EXPECT_EQ(def.primaryKeyIndexName, QStringLiteral("PrimaryKey"));
    EXPECT_EQ(def.primaryKeyFieldName, QStringLiteral("id"));
    EXPECT_EQ(def.searchStartLength, 3);
    EXPECT_EQ(def.browseRowCount, 20);
    ASSERT_EQ(def.fields.size(), 2);
    EXPECT_EQ(def.fields[0].searchField, QStringLiteral("nev"));
    EXPECT_EQ(def.fields[1].searchField, QStringLiteral("kod"));
    EXPECT_EQ(def.fields[1].visibleField, QStringLiteral("nev"));

    // Rows of the next definition are not read into this one.
    const QuickPickDefinition third = readQuickPickDefinition(db, 3);
    ASSERT_EQ(third.fields.size(), 1);
    EXPECT_EQ(third.fields[0].indexStructure, QStringLiteral("V;%SEARCH%"));

    const QuickPickDefinition none = readQuickPickDefinition(db, 999);
    EXPECT_FALSE(none.found);
    EXPECT_TRUE(none.fields.isEmpty());
}

TEST(QuickPickSearch, InitializeReportsTrueForAMissingDefinitionAndFalseWithoutDatabase)
{
    QuickPickSearch search;
    EXPECT_FALSE(search.initialize(nullptr, 1));
    EXPECT_FALSE(search.search(QStringLiteral("abc"), false).found);

    auto db = dao::Database::open(DemoDb::instance().db().Name());
    EXPECT_TRUE(search.initialize(db, 999));
    EXPECT_EQ(search.fieldCount(), 0);
    EXPECT_FALSE(search.search(QStringLiteral("abc"), false).found);
    EXPECT_FALSE(search.find(1).found);

    // A definition whose table does not exist is a reading error.
    auto broken = dao::Database::open(lg::test::testDatabaseName(QStringLiteral("quickpick-broken.db")));
    broken->Execute(QStringLiteral("CREATE TABLE vlq_quickpick (id LONG NOT NULL, name TEXT(10), table_name "
                                   "TEXT(10), browse_id LONG, browse_where_clause MEMO, use_where_in_browse YESNO, "
                                   "primarykey_indexname TEXT(10), primarykey_filedname TEXT(10), "
                                   "search_start_length LONG, browse_row_count LONG, "
                                   "CONSTRAINT PrimaryKey PRIMARY KEY (id))"));
    EXPECT_FALSE(search.initialize(broken, 1));  // no vlq_quickpick_field
    EXPECT_FALSE(search.error().isEmpty());
}

TEST(QuickPickSearch, PrefixSearchOnTheDemoPartnersFindsTheFirstInIndexOrder)
{
    auto db = dao::Database::open(DemoDb::instance().db().Name());
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    const QList<Row> byName = readOrdered(*db, QStringLiteral("SELECT id, nev, kod FROM partner ORDER BY nev, id"));
    ASSERT_GT(byName.size(), 10);

    int hits = 0;
    for (const QString& probe : probesOf(byName)) {
        for (bool exact : {false, true}) {
            SCOPED_TRACE(QString(probe + (exact ? QStringLiteral(" exact") : QString())).toStdString());
            const QuickPickHit hit = search.search(probe, exact);
            const auto want = expected(byName, probe, exact);
            ASSERT_EQ(hit.found, want.has_value());
            if (!want)
                continue;
            ++hits;
            EXPECT_EQ(hit.text.toUpper(), want->text.toUpper());
            const QuickPickHit again = search.find(hit.id);
            EXPECT_EQ(again.text, hit.text);
            EXPECT_EQ(again.result, hit.result);
        }
    }
    EXPECT_GT(hits, 20);
}

TEST(QuickPickSearch, ConstantKeySeeksWithinItsGroupOnly)
{
    auto db = dao::Database::open(DemoDb::instance().db().Name());
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 3));  // customers: "V;%SEARCH%"
    const QList<Row> customers =
        readOrdered(*db, QStringLiteral("SELECT id, nev, varos, tipus FROM partner ORDER BY tipus, nev, id"));
    for (const QString& probe : probesOf(customers)) {
        SCOPED_TRACE(probe.toStdString());
        const QuickPickHit hit = search.search(probe, false);
        const auto want = expected(customers, probe, false, QStringLiteral("V"));
        ASSERT_EQ(hit.found, want.has_value());
        if (want) {
            EXPECT_EQ(hit.text.toUpper(), want->text.toUpper());
        }
    }
}

TEST(QuickPickSearch, ExactModeBelowTheStartLength)
{
    auto db = edgeDatabase();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    EXPECT_EQ(search.searchStartLength(), 3);  // 0 in the definition keeps the default

    struct Case {
        const char* typed;
        bool forced;
        bool exact;
        const char* found;  // nullptr: no match
    } cases[] = {
        {"ab", false, true, "ab"},      // shorter than 3: only "ab" itself, any case
        {"AB", false, true, "ab"},
        {"Ab", true, true, "ab"},
        {"abc", false, false, "abc"},   // first at or after abc that starts with it
        {"abcd", false, false, "Abcde"},
        {"abcd", true, true, nullptr},  // after Backspace: exact, so no completion
        {"a", false, true, nullptr},
        {"Ar", false, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ(search.isExact(typed, c.forced), c.exact);
        const QuickPickHit hit = search.search(typed, search.isExact(typed, c.forced));
        EXPECT_EQ(hit.found, c.found != nullptr);
        if (c.found) {
            EXPECT_EQ(hit.text, QString::fromUtf8(c.found));
        }
    }
}

TEST(QuickPickSearch, HungarianOrderEdgesAgreeWithAFullReading)
{
    auto db = edgeDatabase();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    const QList<Row> byName = readOrdered(*db, QStringLiteral("SELECT azon, nev, csoport, csoport FROM cikk ORDER BY nev, azon"));
    QStringList probes = probesOf(byName);
    probes << QStringLiteral("Ass") << QStringLiteral("ASSZ") << QStringLiteral("Ar") << QStringLiteral("Árb")
           << QStringLiteral("Cc") << QStringLiteral("Gg") << QStringLiteral("Zz") << QStringLiteral("Dd")
           << QStringLiteral("O'") << QStringLiteral("O'Neill") << QStringLiteral("o'neill &") << QStringLiteral("Ö")
           << QStringLiteral("ő") << QStringLiteral("Mac") << QStringLiteral("Macs") << QStringLiteral("'")
           << QStringLiteral("%") << QStringLiteral("*") << QStringLiteral("\"")
           // Letters whose upper case is another letter or two: the long s
           // is an S, the sharp s is SS.
           << QStringLiteral("CCſ") << QStringLiteral("aſſ") << QStringLiteral("Aß");
    for (int exact = 0; exact < 2; ++exact)
        for (const QString& probe : probes) {
            SCOPED_TRACE(QString(probe + (exact ? QStringLiteral(" exact") : QString())).toStdString());
            const QuickPickHit hit = search.search(probe, exact);
            const auto want = expected(byName, probe, exact);
            ASSERT_EQ(hit.found, want.has_value());
            if (want) {
                EXPECT_EQ(hit.id, want->id);
                EXPECT_EQ(hit.result, want->result);
            }
        }

    // The constant key of the second field: group "b" (stored as "B").
    search.setCurrentField(1);
    for (const QString& probe : probes) {
        SCOPED_TRACE(probe.toStdString());
        const QuickPickHit hit = search.search(probe, false);
        const auto want = expected(byName, probe, false, QStringLiteral("b"));
        ASSERT_EQ(hit.found, want.has_value());
        if (want) {
            EXPECT_EQ(hit.id, want->id);
        }
    }
}

TEST(QuickPickSearch, AMissDoesNotWalkTheTable)
{
    auto db = edgeDatabase();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    struct Case {
        const char* typed;
        bool found;
        long maxWalk;
    } cases[] = {
        {"Arx", false, 0},   // the next record (arc) leaves the range at once
        {"Ar", true, 1},     // Ára stands before Arb: one step
        {"Qqq", false, 0},
        {"Zsx", false, 0},
        {"Abx", false, 0},
        {"Ass", true, 3},    // ends in s: the range of "As" is read (Asz, Assa, Ássz…)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const QuickPickHit hit = search.search(QString::fromUtf8(c.typed), false);
        EXPECT_EQ(hit.found, c.found);
        EXPECT_LE(search.lastWalk(), c.maxWalk);
    }
}

TEST(QuickPickSearch, ValuesThatCannotBeKeysFindNothing)
{
    auto db = edgeDatabase();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    ASSERT_TRUE(search.setSearchField(QStringLiteral("szam")));
    EXPECT_EQ(search.currentField(), 2);

    // A number column: the text is converted; letters, quotes and an
    // overflowing number are no key and no error.
    const QList<Row> byNumber = readOrdered(*db, QStringLiteral("SELECT azon, szam, nev FROM cikk ORDER BY szam, azon"));
    for (const char* typed : {"1", "11", "3", "0", "148"}) {
        SCOPED_TRACE(typed);
        const QuickPickHit hit = search.search(QString::fromUtf8(typed), false);
        const auto want = expected(byNumber, QString::fromUtf8(typed), false);
        ASSERT_EQ(hit.found, want.has_value());
        if (want) {
            EXPECT_EQ(hit.id, want->id);
        }
    }
    for (const char* typed : {"1a", "x", "1'; DROP TABLE cikk; --", "99999999999999999999", "1,5"})
        EXPECT_FALSE(search.search(QString::fromUtf8(typed), false).found) << typed;

    // A key layout longer than the index: the extra entries are dropped.
    search.setCurrentField(3);
    EXPECT_TRUE(search.search(QStringLiteral("Gyu"), false).found);

    // Lookups by key.
    const QuickPickHit hit = search.find(100);
    EXPECT_TRUE(hit.found);
    EXPECT_EQ(hit.text, QStringLiteral("Ára"));
    EXPECT_FALSE(search.find(-1).found);
    EXPECT_FALSE(search.find(99999).found);
    EXPECT_TRUE(db->OpenRecordset(QStringLiteral("SELECT COUNT(*) FROM cikk"))->Fields(0).toInt() > 0);
}

TEST(QuickPickSearch, SearchFieldsCycle)
{
    auto db = edgeDatabase();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(db, 1));
    ASSERT_EQ(search.fieldCount(), 4);
    EXPECT_EQ(search.currentField(), 0);
    for (int expectedField : {1, 2, 3, 0})
        EXPECT_EQ((search.nextField(), search.currentField()), expectedField);
    EXPECT_FALSE(search.setSearchField(QStringLiteral("nincs")));
    EXPECT_EQ(search.currentField(), 0);
}

TEST(QuickPickCommand, PrintsOneLinePerKeystroke)
{
    const QString db = DemoDb::instance().db().Name();
    QuickPickSearch search;
    ASSERT_TRUE(search.initialize(dao::Database::open(db), 1));
    const QuickPickHit kov = search.search(QStringLiteral("Kov"), false);
    ASSERT_TRUE(kov.found);

    const auto r = lg::test::runProgram(QStringLiteral(LISTGEN_CLI),
                                        {QStringLiteral("quickpick"), QStringLiteral("--db"), db, QStringLiteral("--id"),
                                         QStringLiteral("1"), QStringLiteral("K"), QStringLiteral("Kov"),
                                         QStringLiteral("Ko"), QStringLiteral("O'x\"")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QStringList expected = {
        QStringLiteral("-1\tK\t<nem talált>"),
        QString::number(kov.id) + QLatin1Char('\t') + kov.text + QLatin1Char('\t') + kov.result,
        QStringLiteral("-1\tKo\t<nem talált>"),  // shorter than before: a Backspace, exact
        QStringLiteral("-1\tO'x\"\t<nem talált>"),
    };
    EXPECT_EQ(lines, expected);
}

TEST(QuickPickCommand, BadArgumentsEndWithAMessage)
{
    const QString db = DemoDb::instance().db().Name();
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{QStringLiteral("--db"), db, QStringLiteral("--id"), QStringLiteral("999"), QStringLiteral("x")}, 1,
         "no quick-pick definition with id 999"},
        {{QStringLiteral("--db"), db, QStringLiteral("--id"), QStringLiteral("1x"), QStringLiteral("x")}, 1,
         "--id takes a whole number"},
        {{QStringLiteral("--db"), db, QStringLiteral("--id"), QStringLiteral("1"), QStringLiteral("--search-field"),
          QStringLiteral("x'y"), QStringLiteral("x")},
         1, "has no search field \"x'y\""},
        {{QStringLiteral("--db"), lg::test::tempPath(QStringLiteral("none.db")), QStringLiteral("--id"),
          QStringLiteral("1"), QStringLiteral("x")},
         1, "no database file"},
        {{QStringLiteral("--db"), db, QStringLiteral("--id"), QStringLiteral("1")}, 1, "no TEXT given"},
        {{QStringLiteral("--id"), QStringLiteral("1"), QStringLiteral("x")}, 1, "--db FILE is required"},
        {{QStringLiteral("--db"), db, QStringLiteral("--id"), QStringLiteral("1"), QStringLiteral("--bogus"),
          QStringLiteral("x")},
         2, "unknown option --bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const auto r = lg::test::runProgram(QStringLiteral(LISTGEN_CLI), QStringList{QStringLiteral("quickpick")} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}
