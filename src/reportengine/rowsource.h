#pragma once

// Where the rows of a report come from. The layout reads rows one by one and
// keeps none of them, so a source can stream any number of rows; a source
// can be opened again (RowSourceOpener) for a second pass.

#include "platform/xlsx/sheetwriter.h"

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

#include <functional>
#include <memory>

namespace lg::dao {
class Database;
class Recordset;
}  // namespace lg::dao

namespace lg::reportengine {

// What a column holds, as the database declares it (Auto: not known). The
// same kinds decide the cells of an .xlsx output.
using ColumnKind = xlsx::CellKind;

class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList columns() const = 0;
    // Kinds of the columns, when the source knows them (else all Auto).
    virtual QList<ColumnKind> kinds() const { return QList<ColumnKind>(columns().size(), ColumnKind::Auto); }
    // Fills `row` with the next row; false after the last one.
    virtual bool next(QList<QVariant>& row) = 0;
    // Passes over `count` rows.
    virtual void skip(qint64 count);
};

// Opens a fresh source positioned before the first row; throws
// lg::RuntimeError when the rows cannot be had.
using RowSourceOpener = std::function<std::unique_ptr<RowSource>()>;

// Rows held in memory (tests, small reports).
class MemoryRowSource : public RowSource {
public:
    MemoryRowSource(QStringList columns, std::shared_ptr<const QList<QList<QVariant>>> rows,
                    QList<ColumnKind> kinds = {});
    QStringList columns() const override { return m_columns; }
    QList<ColumnKind> kinds() const override;
    bool next(QList<QVariant>& row) override;
    void skip(qint64 count) override { m_pos += count; }

private:
    QStringList m_columns;
    QList<ColumnKind> m_kinds;
    std::shared_ptr<const QList<QList<QVariant>>> m_rows;
    qint64 m_pos = 0;
};

// Rows made on the fly by a function: row i (from 0) of `count`.
class GeneratedRowSource : public RowSource {
public:
    using Generator = std::function<void(qint64 index, QList<QVariant>& row)>;
    GeneratedRowSource(QStringList columns, qint64 count, Generator generator, QList<ColumnKind> kinds = {});
    QStringList columns() const override { return m_columns; }
    QList<ColumnKind> kinds() const override;
    bool next(QList<QVariant>& row) override;
    void skip(qint64 count) override { m_pos += count; }

private:
    QStringList m_columns;
    QList<ColumnKind> m_kinds;
    qint64 m_count;
    Generator m_generator;
    qint64 m_pos = 0;
};

// The rows of an open recordset, read forward.
class RecordsetRowSource : public RowSource {
public:
    explicit RecordsetRowSource(std::shared_ptr<dao::Recordset> recordset);
    QStringList columns() const override { return m_columns; }
    QList<ColumnKind> kinds() const override { return m_kinds; }
    bool next(QList<QVariant>& row) override;

private:
    std::shared_ptr<dao::Recordset> m_rs;
    QStringList m_columns;
    QList<ColumnKind> m_kinds;
    bool m_first = true;
};

// Opens `statement` (Jet SQL) on `db` as a forward-only snapshot each time.
RowSourceOpener statementOpener(std::shared_ptr<dao::Database> db, QString statement);

}  // namespace lg::reportengine
