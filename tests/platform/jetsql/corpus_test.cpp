// The store's schema (resources/schema.sql) translates, and every fixed
// statement text of corpus.txt translates and runs against it.

#include "sqlitetestdb.h"

#include "platform/runtimeerror.h"

#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>

#include <gtest/gtest.h>

using lg::jetsql::test::SqliteTestDb;

namespace {

// The definition store's schema as the library installs it: Jet DDL, "--"
// comment lines, each statement ending with ";" at the end of a line.
QStringList storeSchema()
{
    QFile file(QStringLiteral(LISTGEN_SOURCE_DIR "/resources/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    QStringList lines;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("--")))
            continue;
        lines << line;
        if (line.endsWith(u';')) {
            statements << lines.join(u' ');
            lines.clear();
        }
    }
    return statements;
}

// Tables of the host application that some statements read.
const char* const kHostTables[] = {
    "CREATE TABLE vlq_quickpick (id LONG, name TEXT(100))",
    "CREATE TABLE vlq_quickpick_field (id LONG, quickpick_id LONG, search_field_name TEXT(100), "
    "search_field TEXT(100))",
    "CREATE TABLE partner (id COUNTER PRIMARY KEY, nev TEXT(100), kod TEXT(20), aktiv YESNO)",
    "CREATE TABLE szamla (id COUNTER PRIMARY KEY, partner_id LONG, osszeg CURRENCY, kelt DATETIME, user_id LONG)",
};

QStringList corpus()
{
    QFile file(QStringLiteral(LISTGEN_SOURCE_DIR "/tests/platform/jetsql/corpus.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList statements;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        statements << line;
    }
    return statements;
}

// Prepares and runs every statement of a translation.
void run(SqliteTestDb& db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    while (tail && *tail) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db.handle(), tail, -1, &stmt, &next) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db.handle()));
        if (stmt) {
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            }
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(db.handle()));
        }
        tail = next;
    }
}

class Corpus : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList schema = storeSchema();
        ASSERT_GT(schema.size(), 10);
        for (const QString& ddl : schema)
            run(db, lg::jetsql::translate(ddl)->sql);
        for (const char* ddl : kHostTables)
            run(db, lg::jetsql::translate(QString::fromUtf8(ddl))->sql);
        db.exec(QStringLiteral("INSERT INTO partner (nev, kod, aktiv) VALUES ('Abc Kft', 'A1', -1)"));
        db.exec(QStringLiteral(
            "INSERT INTO szamla (partner_id, osszeg, kelt, user_id) VALUES (1, 7, #03/05/2024 10:00#, 4)"));
    }
    SqliteTestDb db;
};

TEST_F(Corpus, EveryStatementRunsOnSqlite)
{
    const QStringList statements = corpus();
    ASSERT_GT(statements.size(), 30);
    for (const QString& jet : statements) {
        SCOPED_TRACE(jet.toStdString());
        QString sql;
        try {
            sql = lg::jetsql::translate(jet)->sql;
            run(db, sql);
        } catch (const lg::RuntimeError& e) {
            ADD_FAILURE() << e.description().toStdString();
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n  " << sql.toStdString();
        }
    }
}

TEST_F(Corpus, IndexNamesArePrefixedWithTheirTable)
{
    const QStringList names = db.nativeRows(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'vlq_list_report_where_field' "
        "ORDER BY name"));
    EXPECT_EQ(names, (QStringList{QStringLiteral("vlq_list_report_where_field:PrimaryKey"),
                                  QStringLiteral("vlq_list_report_where_field:live_filter"),
                                  QStringLiteral("vlq_list_report_where_field:where_field_id")}));
}

// Truncated and slightly damaged statements must fail cleanly, never crash.
TEST(CorpusFuzz, DamagedStatementsThrowOrTranslate)
{
    const QStringList statements = corpus();
    QRandomGenerator random(20240305);
    int failures = 0;
    for (const QString& jet : statements) {
        for (int k = 0; k < 30; ++k) {
            QString damaged = jet.left(random.bounded(jet.size() + 1));
            if (k % 3 == 1 && !damaged.isEmpty())
                damaged.remove(random.bounded(damaged.size()), 1);
            if (k % 3 == 2)
                damaged += QStringLiteral("([#'\"").at(random.bounded(5));
            try {
                lg::jetsql::translate(damaged);
            } catch (const lg::RuntimeError& e) {
                ++failures;
                EXPECT_FALSE(e.description().isEmpty());
            }
        }
    }
    EXPECT_GT(failures, statements.size() * 10);
    // Deep nesting is refused, not a stack overflow.
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("SELECT ") + QString(5000, u'(') + u'1' + QString(5000, u')')),
                 lg::RuntimeError);
    EXPECT_THROW(lg::jetsql::translate(QStringLiteral("SELECT * FROM ") + QString(5000, u'(') + u't'),
                 lg::RuntimeError);
}

}  // namespace
