#pragma once

// What a Jet statement means, decided once for every dialect: the shape of
// SELECT (TOP per union member, the ORDER BY of a union, unnamed
// expressions), joins, INSERT, UPDATE over an inner join, DELETE * and DELETE
// from one table of a join, and Jet's DDL with index names per table. A
// dialect only spells the pieces: names, expressions, the limit, the row
// address, stored values and column types.

#include "ast.h"
#include "generator.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

namespace lg::jetsql {

class StatementGenerator : public Generator {
public:
    Translation generate(const ast::Statement& statement) final;

protected:
    // ---- spelling, per dialect ---------------------------------------------------
    virtual QString quoteName(const QString& name) const = 0;
    // An expression as a value / as a condition.
    virtual QString valueSql(const ast::Expr& e) = 0;
    virtual QString conditionSql(const ast::Expr& e) = 0;
    // An expression that is sorted or grouped, compared by Jet's text rules.
    virtual QString sortKey(const ast::Expr& e) = 0;
    // A select-list expression (not `*`): text carries Jet's collation, so
    // DISTINCT and an ORDER BY by alias or position use it.
    virtual QString selectItem(const ast::Expr& e) = 0;
    // TOP n [PERCENT] of one SELECT whose rows `body` gives.
    virtual QString limit(const ast::Select& s, const QString& body) = 0;
    // " AS name" for a derived table that has none, where the dialect needs one.
    virtual QString derivedTableName() { return {}; }
    // The hidden address of a row ("rowid", "ctid").
    virtual QString rowAddress() const = 0;
    // The value stored into a column by INSERT or UPDATE; `column` is empty
    // for an INSERT without column list, `position` counts from 0.
    virtual QString storedValue(const QString& valueSql, const QString& table, const QString& column, int position);
    // INSERT … SELECT after `head` ("INSERT INTO t (a, b)").
    virtual QString insertSelect(const ast::Statement& st, const QString& head);
    // A column's declaration after its name, up to DEFAULT: the type, the
    // collation, NOT NULL; `counterKey`: the COUNTER that is the table's key
    // (or the only COUNTER of a table without one); `key`: part of the key.
    virtual QString columnDeclaration(const ast::ColumnDef& c, bool counterKey, bool key) = 0;
    virtual QString expressionName(int n) const { return QStringLiteral("Expr%1").arg(n); }

    // ---- shared pieces ---------------------------------------------------------
    QString select(const ast::Select& s);
    QString selectCore(const ast::Select& s);
    QString fromList(const std::vector<ast::TableRefPtr>& from);
    QString tableRef(const ast::TableRef& t, bool asRightOperand);
    // Index names are per table in Jet and per database (schema) in SQL.
    QString indexName(const QString& table, const QString& name) const { return quoteName(table + u':' + name); }
    static QString quoteText(const QString& text);
    [[noreturn]] static void syntaxError(int pos, const QString& what);

private:
    QString unionMembers(const ast::Select& s);
    void flattenInner(const ast::TableRef& t, std::vector<const ast::TableRef*>& tables, QStringList& conditions,
                      const char* statement);
    QString insert(const ast::Statement& st);
    QString update(const ast::Statement& st);
    QString deleteStatement(const ast::Statement& st);
    QString alterTable(const ast::Statement& st);
    QString createTable(const ast::Statement& st);
    QString defaultValue(const ast::Expr& e);
    QString uniqueIndex(const QString& table, const QString& name, const QStringList& columns) const;

    int m_exprName = 1000;
    int m_depth = 0;
    QStringList m_columnNames;
};

}  // namespace lg::jetsql
