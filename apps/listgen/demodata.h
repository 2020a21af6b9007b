#pragma once

// The demo database: a small Hungarian wholesaler (partners, products,
// invoices, invoice lines, users and groups) with a list catalogue, denials
// and saved lists on top. Everything is derived from one seeded generator, so
// a given scale always yields the same data.

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <cstdint>
#include <functional>
#include <memory>

namespace lg::dao {
class Database;
class PreparedStatement;
class BulkInsert;
}

namespace lg::demo {

// splitmix64: small, fast and the same on every platform and library, which
// std distributions are not.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in [lo, hi].
    long between(long lo, long hi) { return lo + long(next() % std::uint64_t(hi - lo + 1)); }
    // A fraction in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }
    template <class T, std::size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[next() % N];
    }

private:
    std::uint64_t m_state;
};

// Writes rows into one table through the database layer's bulk insert (a
// prepared INSERT on SQLite, COPY on PostgreSQL); used for the bulk of the
// data, inside the caller's transaction.
class RowWriter {
public:
    RowWriter(dao::Database& db, const QString& table, const QStringList& columns);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Values in column order: qint64/int/long, double, QString, QDate,
    // QDateTime, bool (written as a Yes/No -1 / 0) or an invalid QVariant (Null).
    void insert(const QVariantList& values);
    long rows() const { return m_rows; }

private:
    std::unique_ptr<dao::BulkInsert> m_insert;
    QString m_table;
    int m_columns;
    long m_rows = 0;
};

struct DemoOptions {
    int scale = 1;
    QString reportsDir;  // where the report sources go
    bool replace = false;  // on a server: drop the tables that are there
};

struct DemoSummary {
    long regions = 0, partners = 0, categories = 0, products = 0, invoices = 0, lines = 0, users = 0, groups = 0;
    long listTypes = 0, tables = 0, fields = 0, lists = 0, denials = 0;
};

using Progress = std::function<void(const QString&)>;

// Creates the whole demo database in `file`, which must not exist yet.
DemoSummary buildDemoDatabase(const QString& file, const DemoOptions& options, const Progress& progress);

// Parts of the build, in this order.
void createHostTables(dao::Database& db);
DemoSummary fillHostData(dao::Database& db, int scale);
DemoSummary fillCatalogue(dao::Database& db, const DemoSummary& host, const QString& reportsDir);
// Writes the saved lists' report sources (the database is ctx().database).
void writeReportSources(const QString& reportsDir);

// The fixed point in time the data is built around ("today" of the demo).
QDateTime demoNow();

}  // namespace lg::demo
