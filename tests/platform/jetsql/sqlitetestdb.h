#pragma once

// An in-memory SQLite database with the Jet functions registered, that runs
// translated Jet statements and hands back their rows as text.

#include "platform/jetsql/sqlitefunctions.h"
#include "platform/jetsql/translate.h"

#include <sqlite3.h>

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <gtest/gtest.h>

#include "platform/runtimeerror.h"

#include <initializer_list>
#include <stdexcept>

namespace lg::jetsql::test {

class SqliteTestDb {
public:
    SqliteTestDb()
    {
        sqlite3_open(":memory:", &m_db);
        registerSqliteFunctions(m_db);
    }
    ~SqliteTestDb() { sqlite3_close(m_db); }
    SqliteTestDb(const SqliteTestDb&) = delete;
    SqliteTestDb& operator=(const SqliteTestDb&) = delete;

    sqlite3* handle() const { return m_db; }

    // Runs SQLite text as it stands (several statements allowed); throws
    // std::runtime_error with SQLite's message.
    void execNative(const QString& sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = std::string(error ? error : "?") + " in: " + sql.toStdString();
            sqlite3_free(error);
            throw std::runtime_error(message);
        }
    }

    // Translates and runs a Jet statement.
    void exec(const QString& jet) { execNative(translate(jet)->sql); }

    // Translates a Jet SELECT and returns its rows, each "v1|v2|...", with
    // NULL for Null.
    QStringList rows(const QString& jet) { return nativeRows(translate(jet)->sql); }

    QStringList nativeRows(const QString& sql)
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(m_db)) + " in: " + sql.toStdString());
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                if (sqlite3_column_type(stmt, i) == SQLITE_NULL)
                    cols << QStringLiteral("NULL");
                else
                    cols << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            }
            out << cols.join(u'|');
        }
        const std::string message = sqlite3_errmsg(m_db);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(message + " in: " + sql.toStdString());
        return out;
    }

    // The single value of a Jet expression.
    QString eval(const QString& jetExpression)
    {
        const QStringList r = rows(QStringLiteral("SELECT ") + jetExpression);
        return r.isEmpty() ? QStringLiteral("<no row>") : r.front();
    }

private:
    sqlite3* m_db = nullptr;
};

// Each statement fails to translate with a syntax error whose text holds the fragment.
struct SyntaxErrorCase {
    const char* jet;
    const char* fragment;
};
inline void expectSyntaxErrors(std::initializer_list<SyntaxErrorCase> cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jet);
        try {
            translate(QString::fromUtf8(c.jet));
            ADD_FAILURE() << "no error";
        } catch (const lg::RuntimeError& e) {
            EXPECT_EQ(e.number(), lg::errnum::SyntaxError);
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.fragment))) << e.description().toStdString();
        }
    }
}

}  // namespace lg::jetsql::test
