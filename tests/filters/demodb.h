#pragma once

// The demo database, built once per test program by `listgen demo-db`, and
// the independent side of the checks: its partners and invoices read into
// plain structures, so a test can compute with C++ which rows a filter's
// condition must return.

#include "platform/dao/dao.h"

#include <QtCore/QDate>
#include <QtCore/QList>
#include <QtCore/QString>

#include <functional>
#include <memory>

namespace lg::test {

struct Partner {
    int id;
    QString name;  // nev
    bool active;   // aktiv
    double creditLimit;  // hitelkeret
    QDate created;  // letrehozva
};

struct Invoice {
    int id;
    QDate issued;  // kelt
    double net;    // netto
};

// A row of the table t (NAME, PRICE, D) that the demo database gains for the
// conditions written on the field names of the examples: the partners'
// names, credit limits in millions and creation days, and a few rows made
// for the edges (quotes, prefixes, the first and last second of a day).
struct SampleRow {
    int id;
    QString NAME;
    double PRICE;
    QDateTime D;
};

class DemoDb {
public:
    static DemoDb& instance();

    dao::Database& db() { return *m_db; }
    std::shared_ptr<dao::Database> shared() const { return m_db; }
    const QString& path() const { return m_path; }
    const QList<Partner>& partners() const { return m_partners; }
    const QList<Invoice>& invoices() const { return m_invoices; }
    const QList<SampleRow>& samples() const { return m_samples; }

    // The ids of table's rows that satisfy a Jet condition, in id order.
    // Throws lg::RuntimeError when the statement does not translate or run.
    QList<int> idsWhere(const QString& table, const QString& condition);

    QList<int> partnerIds(const std::function<bool(const Partner&)>& keep) const;
    QList<int> invoiceIds(const std::function<bool(const Invoice&)>& keep) const;
    QList<int> sampleIds(const std::function<bool(const SampleRow&)>& keep) const;

private:
    DemoDb();
    std::shared_ptr<dao::Database> m_db;
    QString m_path;
    QList<Partner> m_partners;
    QList<Invoice> m_invoices;
    QList<SampleRow> m_samples;
};

}  // namespace lg::test
