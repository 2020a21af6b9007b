#pragma once

// A read-only raw connection to a listgen database file: the plain SQLite
// view of it, for checking the tool's output against independent SQL.

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace lg::test {

class RawDb {
public:
    // Text columns declare the JET collation; a byte-wise stand-in serves here.
    explicit RawDb(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_create_collation(m_db, "JET", SQLITE_UTF8, nullptr,
                                 [](void*, int la, const void* a, int lb, const void* b) {
                                     const int c = memcmp(a, b, size_t(std::min(la, lb)));
                                     return c ? c : la - lb;
                                 });
    }
    ~RawDb() { sqlite3_close(m_db); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    // All rows, each as its columns' text joined by tabs.
    QStringList rows(const QString& sql) const
    {
        QStringList out;
        sqlite3_stmt* st = nullptr;
        const QByteArray q = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, q.constData(), -1, &st, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sqlite3_errmsg(m_db) << " in " << q.constData();
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                cols << (t ? QString::fromUtf8(t) : QString());
            }
            out << cols.join(u'\t');
        }
        sqlite3_finalize(st);
        return out;
    }
    QString value(const QString& sql) const
    {
        const QStringList r = rows(sql);
        return r.isEmpty() ? QString() : r.first();
    }

private:
    sqlite3* m_db = nullptr;
};

}  // namespace lg::test
