#pragma once

// Syntax tree of one Jet statement, as the parser builds it and the
// generators of each dialect read it. Positions are 1-based character
// offsets into the statement text, for error messages.

#include "statementkind.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>
#include <vector>

namespace lg::jetsql::ast {

struct Select;
struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

enum class ExprKind {
    Null,
    Number,     // text: the literal as written
    String,     // text: the value
    Date,       // text: the canonical form
    Bool,       // number: -1 or 0
    Column,     // names: qualifier parts and the column
    Star,       // names: empty for *, the table for t.*
    Unary,      // op, args[0]
    Binary,     // op, args[0], args[1]
    Function,   // text: the name as written, args (count(*) has a Star argument); distinct
    Between,    // args: value, low, high; negated
    InList,     // args: value, items...; negated
    InSelect,   // args: value; select; negated
    IsNull,     // args[0]; negated
    Like,       // args: value, pattern; negated
    Subquery,   // select (a scalar value)
    Exists,     // select
    Parameter,  // text: the lower-cased name, empty for '?'; number: the bound value's number, from 1
};

enum class Op {
    None,
    // unary
    Neg,
    Plus,
    Not,
    // binary
    Imp,
    Eqv,
    Xor,
    Or,
    And,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    Concat,  // &
    Add,
    Sub,
    Mod,
    IntDiv,  // backslash
    Mul,
    Div,
    Pow,
};

struct Expr {
    ExprKind kind = ExprKind::Null;
    int pos = 0;
    Op op = Op::None;
    QString text;
    QStringList names;
    long long number = 0;
    bool negated = false;   // NOT BETWEEN, NOT IN, IS NOT NULL, NOT LIKE
    bool distinct = false;  // Function: an aggregate over distinct values, Count(DISTINCT x)
    std::vector<ExprPtr> args;
    std::unique_ptr<Select> select;
};

enum class JoinType { Inner, Left, Right, Cross };

struct TableRef {
    enum class Kind { Table, Subquery, Join } kind = Kind::Table;
    QString name;   // Table
    QString alias;  // Table, Subquery
    std::unique_ptr<Select> select;
    JoinType join = JoinType::Inner;
    std::unique_ptr<TableRef> left, right;
    ExprPtr on;
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct SelectItem {
    ExprPtr expr;
    QString alias;
};

struct OrderItem {
    ExprPtr expr;
    bool descending = false;
};

struct Select {
    bool distinct = false;
    ExprPtr top;  // TOP n
    bool topPercent = false;
    std::vector<SelectItem> items;
    std::vector<TableRefPtr> from;  // comma-separated sources
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    struct UnionPart {
        bool all = false;
        std::unique_ptr<Select> select;
    };
    std::vector<UnionPart> unions;
    std::vector<OrderItem> orderBy;  // of the whole statement, unions included
};

enum class ColumnType { Counter, Long, Short, Text, Memo, DateTime, YesNo, Double, Currency, Byte, Decimal, Binary };

struct ColumnDef {
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;   // TEXT(n); the precision of DECIMAL(p, s)
    int scale = 0;  // DECIMAL(p, s)
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    ExprPtr defaultValue;
    int pos = 0;
};

struct TableConstraint {
    enum class Kind { PrimaryKey, Unique, ForeignKey } kind = Kind::PrimaryKey;
    QString name;
    QStringList columns;
};

struct IndexColumn {
    QString name;
    bool descending = false;
};

struct Assignment {
    ExprPtr target;  // a Column
    ExprPtr value;
};

struct Statement {
    StatementKind kind = StatementKind::Select;
    std::unique_ptr<Select> select;  // Select, CreateView, Insert ... SELECT

    QString name;   // table of Insert/CreateTable/Drop*, index or view name
    QString table;  // table of CreateIndex/DropIndex

    // INSERT
    QStringList insertColumns;
    std::vector<std::vector<ExprPtr>> insertRows;

    // UPDATE / DELETE
    std::vector<TableRefPtr> from;
    std::vector<Assignment> assignments;
    ExprPtr where;
    QString deleteTarget;  // DELETE t.* FROM ...

    // CREATE TABLE
    std::vector<ColumnDef> columns;
    std::vector<TableConstraint> constraints;

    // ALTER TABLE name: ADD COLUMN (columns[0]), DROP COLUMN (dropColumn),
    // ADD CONSTRAINT (constraints[0]), DROP CONSTRAINT (dropConstraint)
    QString dropColumn;
    QString dropConstraint;

    // CREATE INDEX
    bool unique = false;
    bool primary = false;
    std::vector<IndexColumn> indexColumns;

    // Bound values: entry k-1 is the name of number k, empty for a '?'.
    QStringList parameters;
};

// A condition on its own, as a host or a user writes it for a run.
struct Condition {
    ExprPtr expr;
    QStringList parameters;  // as in Statement
};

}  // namespace lg::jetsql::ast
