// The Jet translator on any text: it either refuses the statement with a
// run-time error, or gives SQL that SQLite accepts and runs to the end or
// stops with an error of its own. SQL that does not parse, or calls a
// function nobody registered, is the translator's fault.

#include "fuzzer.h"

#include "platform/jetsql/sqlitefunctions.h"
#include "platform/jetsql/translate.h"
#include "platform/runtimeerror.h"

#include <sqlite3.h>

namespace {

sqlite3* db = nullptr;

// Statements that run away (a cross join of cross joins) are cut short.
int stopLongRuns(void* steps)
{
    return ++*static_cast<int*>(steps) > 2000;
}

void execNative(const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK)
        lg::fuzz::fault("set-up statement failed", QString::fromUtf8(error ? error : "?"));
}

void execJet(const char* jet)
{
    execNative(lg::jetsql::translate(QString::fromUtf8(jet))->sql.toUtf8().constData());
}

bool translatorFault(const QString& message)
{
    return message.contains(QLatin1String("syntax error")) || message.contains(QLatin1String("unrecognized token")) ||
           message.contains(QLatin1String("no such function")) ||
           message.contains(QLatin1String("wrong number of arguments"));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    sqlite3_open(":memory:", &db);
    lg::jetsql::registerSqliteFunctions(db);
    execJet("CREATE TABLE t (id LONG NOT NULL, s TEXT(5), n LONG, d DATETIME, c CURRENCY, b YESNO, x DOUBLE, "
            "m MEMO, CONSTRAINT pk PRIMARY KEY (id))");
    execJet("CREATE TABLE u (id LONG NOT NULL, t_id LONG, name TEXT(50), CONSTRAINT pk_u PRIMARY KEY (id))");
    execJet("INSERT INTO t (id, s, n, d, c, b, x, m) VALUES (1, 'alma', 3, #2024-02-29#, 1.25, True, 0.5, 'x')");
    execJet("INSERT INTO t (id, s, n, d, c, b, x, m) VALUES (2, 'Árok', -7, #1999-12-31 23:59:59#, 0.1, False, "
            "1E300, Null)");
    execJet("INSERT INTO t (id) VALUES (3)");
    execJet("INSERT INTO u (id, t_id, name) VALUES (1, 1, 'egy')");
    execJet("INSERT INTO u (id, t_id, name) VALUES (2, 9, 'kettő')");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString jet = lg::fuzz::text(data, size);
    std::shared_ptr<const lg::jetsql::Translation> translation;
    try {
        translation = lg::jetsql::translate(jet);
    } catch (const lg::RuntimeError& e) {
        lg::fuzz::check(!e.description().isEmpty(), "refusal without a message", jet);
        return 0;
    }

    // Every run leaves the database as it found it.
    execNative("SAVEPOINT fuzz");
    int steps = 0;
    sqlite3_progress_handler(db, 1000, stopLongRuns, &steps);
    const QByteArray sql = translation->sql.toUtf8();
    const char* tail = sql.constData();
    while (tail && *tail) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &stmt, &next) != SQLITE_OK) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db));
            if (translatorFault(message))
                lg::fuzz::fault("the translation does not prepare",
                                jet + QStringLiteral("\n=> ") + translation->sql + QStringLiteral("\n") + message);
            break;
        }
        if (!stmt) {  // blanks or a comment
            tail = next;
            continue;
        }
        // Bound values stay Null: a statement with parameters still runs.
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                sqlite3_column_text(stmt, i);
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            break;
        tail = next;
    }
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    sqlite3_exec(db, "ROLLBACK TO fuzz", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "RELEASE fuzz", nullptr, nullptr, nullptr);
    return 0;
}
