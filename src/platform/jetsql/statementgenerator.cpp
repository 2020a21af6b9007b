#include "statementgenerator.h"

#include "jeterrors.h"

#include "platform/runtimeerror.h"

namespace lg::jetsql {

using namespace ast;

namespace {
const QString kSource = QStringLiteral("jetsql");

bool refersTo(const TableRef& t, const QString& name)
{
    return (!t.alias.isEmpty() && t.alias.compare(name, Qt::CaseInsensitive) == 0) ||
           t.name.compare(name, Qt::CaseInsensitive) == 0;
}

void collectTables(const TableRef& t, std::vector<const TableRef*>& tables)
{
    if (t.kind == TableRef::Kind::Join) {
        collectTables(*t.left, tables);
        collectTables(*t.right, tables);
    } else {
        tables.push_back(&t);
    }
}
}  // namespace

QString StatementGenerator::quoteText(const QString& text)
{
    QString q = text;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

void StatementGenerator::syntaxError(int pos, const QString& what)
{
    throw RuntimeError(errnum::SyntaxError, kSource,
                       QStringLiteral("Syntax error at position %1: %2.").arg(pos).arg(what));
}

QString StatementGenerator::storedValue(const QString& valueSql, const QString&, const QString&, int)
{
    return valueSql;
}

QString StatementGenerator::insertSelect(const Statement& st, const QString& head)
{
    return head + u' ' + select(*st.select);
}

Translation StatementGenerator::generate(const Statement& st)
{
    Translation t;
    t.parameters = st.parameters;
    t.kind = st.kind;
    switch (st.kind) {
    case StatementKind::Select:
        m_columnNames.clear();
        t.sql = select(*st.select);
        t.columnNames = m_columnNames;
        break;
    case StatementKind::Insert:
        t.sql = insert(st);
        break;
    case StatementKind::Update:
        t.sql = update(st);
        break;
    case StatementKind::Delete:
        t.sql = deleteStatement(st);
        break;
    case StatementKind::CreateTable:
        t.sql = createTable(st);
        break;
    case StatementKind::CreateIndex: {
        QStringList cols;
        for (const IndexColumn& c : st.indexColumns)
            cols << (quoteName(c.name) + (c.descending ? QStringLiteral(" DESC") : QString()));
        t.sql = QStringLiteral("CREATE ") + (st.unique ? QStringLiteral("UNIQUE ") : QString()) +
                QStringLiteral("INDEX ") + indexName(st.table, st.name) + QStringLiteral(" ON ") + quoteName(st.table) +
                QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
        break;
    }
    case StatementKind::CreateView:
        t.sql = QStringLiteral("CREATE VIEW ") + quoteName(st.name) + QStringLiteral(" AS ") + select(*st.select);
        break;
    case StatementKind::DropTable:
        t.sql = QStringLiteral("DROP TABLE ") + quoteName(st.name);
        break;
    case StatementKind::DropIndex:
        t.sql = QStringLiteral("DROP INDEX ") + indexName(st.table, st.name);
        break;
    case StatementKind::DropView:
        t.sql = QStringLiteral("DROP VIEW ") + quoteName(st.name);
        break;
    case StatementKind::AlterTable:
        t.sql = alterTable(st);
        break;
    case StatementKind::Other:
        throw RuntimeError(errnum::Internal, kSource, QStringLiteral("The statement has no kind."));
    }
    return t;
}

// ---- SELECT --------------------------------------------------------------------

QString StatementGenerator::select(const Select& s)
{
    ++m_depth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_depth};
    const QString body = s.unions.empty() ? selectCore(s) : unionMembers(s);
    QString sql = body;
    if (!s.orderBy.empty()) {
        QStringList items;
        for (const OrderItem& o : s.orderBy)
            items << sortKey(*o.expr) + (o.descending ? QStringLiteral(" DESC") : QString());
        sql += QStringLiteral(" ORDER BY ") + items.join(QStringLiteral(", "));
    }
    if (s.top && s.unions.empty())
        sql += limit(s, body);
    return sql;
}

// The members of a union: each keeps its own TOP (a derived table of its
// own); the ORDER BY after the last member sorts the whole union.
QString StatementGenerator::unionMembers(const Select& s)
{
    auto member = [&](const Select& m) -> QString {
        const QString core = selectCore(m);
        if (!m.top)
            return core;
        return QStringLiteral("SELECT * FROM (") + core + limit(m, core) + u')' + derivedTableName();
    };
    QString sql = member(s);
    for (const Select::UnionPart& u : s.unions)
        sql += (u.all ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ")) + member(*u.select);
    return sql;
}

QString StatementGenerator::selectCore(const Select& s)
{
    QString sql = QStringLiteral("SELECT ");
    if (s.distinct)
        sql += QStringLiteral("DISTINCT ");
    QStringList items;
    // The names of the outermost SELECT's columns as Jet gives them.
    const bool outermost = m_depth == 1 && m_columnNames.isEmpty();
    for (const SelectItem& item : s.items) {
        QString text = item.expr->kind == ExprKind::Star ? valueSql(*item.expr) : selectItem(*item.expr);
        QString name;
        if (!item.alias.isEmpty()) {
            name = item.alias;
            text += QStringLiteral(" AS ") + quoteName(item.alias);
        } else if (item.expr->kind != ExprKind::Column && item.expr->kind != ExprKind::Star) {
            name = expressionName(m_exprName++);
            text += QStringLiteral(" AS ") + quoteName(name);
        } else if (item.expr->kind == ExprKind::Column) {
            name = item.expr->names.back();
        } else {
            name = QStringLiteral("*");
        }
        if (outermost)
            m_columnNames << name;
        items << text;
    }
    sql += items.join(QStringLiteral(", "));
    if (!s.from.empty())
        sql += QStringLiteral(" FROM ") + fromList(s.from);
    if (s.where)
        sql += QStringLiteral(" WHERE ") + conditionSql(*s.where);
    if (!s.groupBy.empty()) {
        QStringList groups;
        for (const ExprPtr& e : s.groupBy)
            groups << sortKey(*e);
        sql += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
    }
    if (s.having)
        sql += QStringLiteral(" HAVING ") + conditionSql(*s.having);
    return sql;
}

QString StatementGenerator::fromList(const std::vector<TableRefPtr>& from)
{
    QStringList parts;
    for (const TableRefPtr& t : from)
        parts << tableRef(*t, false);
    return parts.join(QStringLiteral(", "));
}

QString StatementGenerator::tableRef(const TableRef& t, bool asRightOperand)
{
    switch (t.kind) {
    case TableRef::Kind::Table:
        return quoteName(t.name) + (t.alias.isEmpty() ? QString() : QStringLiteral(" AS ") + quoteName(t.alias));
    case TableRef::Kind::Subquery:
        return u'(' + select(*t.select) + u')' +
               (t.alias.isEmpty() ? derivedTableName() : QStringLiteral(" AS ") + quoteName(t.alias));
    case TableRef::Kind::Join: {
        static const QString joins[] = {QStringLiteral(" INNER JOIN "), QStringLiteral(" LEFT JOIN "),
                                        QStringLiteral(" RIGHT JOIN "), QStringLiteral(" CROSS JOIN ")};
        // Jet's left-deep parentheses need none here; a join on the right
        // side keeps its own.
        QString sql = tableRef(*t.left, false) + joins[int(t.join)] + tableRef(*t.right, true);
        if (t.on)
            sql += QStringLiteral(" ON ") + conditionSql(*t.on);
        return asRightOperand ? u'(' + sql + u')' : sql;
    }
    }
    return {};
}

// Flattens an inner-join tree into its tables and ON conditions.
void StatementGenerator::flattenInner(const TableRef& t, std::vector<const TableRef*>& tables, QStringList& conditions,
                                      const char* statement)
{
    if (t.kind != TableRef::Kind::Join) {
        tables.push_back(&t);
        return;
    }
    if (t.join != JoinType::Inner && t.join != JoinType::Cross)
        throw RuntimeError(errnum::SyntaxError, kSource,
                           QStringLiteral("%1 over an outer join is not supported.").arg(QLatin1String(statement)));
    flattenInner(*t.left, tables, conditions, statement);
    flattenInner(*t.right, tables, conditions, statement);
    if (t.on)
        conditions << conditionSql(*t.on);
}

// ---- INSERT / UPDATE / DELETE ---------------------------------------------------

QString StatementGenerator::insert(const Statement& st)
{
    QString sql = QStringLiteral("INSERT INTO ") + quoteName(st.name);
    if (!st.insertColumns.isEmpty()) {
        QStringList cols;
        for (const QString& c : st.insertColumns)
            cols << quoteName(c);
        sql += QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
    }
    if (st.select)
        return insertSelect(st, sql);
    QStringList rows;
    for (const auto& row : st.insertRows) {
        QStringList values;
        for (size_t k = 0; k < row.size(); ++k) {
            const QString column = k < size_t(st.insertColumns.size()) ? st.insertColumns[qsizetype(k)] : QString();
            values << storedValue(valueSql(*row[k]), st.name, column, int(k));
        }
        rows << u'(' + values.join(QStringLiteral(", ")) + u')';
    }
    return sql + QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
}

// UPDATE A INNER JOIN B ON … SET …: the table the first assignment names
// (the first table otherwise) is updated, the others join through FROM.
QString StatementGenerator::update(const Statement& st)
{
    std::vector<const TableRef*> tables;
    QStringList conditions;
    flattenInner(*st.from.front(), tables, conditions, "UPDATE");
    const TableRef* target = tables.front();
    const Expr& firstTarget = *st.assignments.front().target;
    if (firstTarget.names.size() > 1) {
        const QString qualifier = firstTarget.names[firstTarget.names.size() - 2];
        for (const TableRef* t : tables)
            if (t->kind == TableRef::Kind::Table && refersTo(*t, qualifier))
                target = t;
    }
    if (target->kind != TableRef::Kind::Table)
        syntaxError(firstTarget.pos, QStringLiteral("the updated table must be a table"));

    QString sql = QStringLiteral("UPDATE ") + tableRef(*target, false) + QStringLiteral(" SET ");
    QStringList sets;
    for (const Assignment& a : st.assignments) {
        const QString column = a.target->names.back();
        sets << quoteName(column) + QStringLiteral(" = ") + storedValue(valueSql(*a.value), target->name, column, 0);
    }
    sql += sets.join(QStringLiteral(", "));
    QStringList others;
    for (const TableRef* t : tables)
        if (t != target)
            others << tableRef(*t, false);
    if (!others.isEmpty())
        sql += QStringLiteral(" FROM ") + others.join(QStringLiteral(", "));
    if (st.where)
        conditions << conditionSql(*st.where);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    return sql;
}

QString StatementGenerator::deleteStatement(const Statement& st)
{
    if (st.from.size() == 1 && st.from.front()->kind == TableRef::Kind::Table) {
        QString sql = QStringLiteral("DELETE FROM ") + tableRef(*st.from.front(), false);
        if (st.where)
            sql += QStringLiteral(" WHERE ") + conditionSql(*st.where);
        return sql;
    }
    // Deleting from one table of a join: the rows of that table that the
    // join selects, by their row address.
    std::vector<const TableRef*> tables;
    for (const TableRefPtr& t : st.from)
        collectTables(*t, tables);
    const TableRef* target = nullptr;
    for (const TableRef* t : tables)
        if (t->kind == TableRef::Kind::Table && (st.deleteTarget.isEmpty() || refersTo(*t, st.deleteTarget))) {
            target = t;
            break;
        }
    if (!target)
        syntaxError(1, QStringLiteral("the table to delete from is not in the FROM clause"));
    const QString ref = quoteName(target->alias.isEmpty() ? target->name : target->alias);
    QString sub = QStringLiteral("SELECT ") + ref + u'.' + rowAddress() + QStringLiteral(" FROM ") + fromList(st.from);
    if (st.where)
        sub += QStringLiteral(" WHERE ") + conditionSql(*st.where);
    return QStringLiteral("DELETE FROM ") + quoteName(target->name) + QStringLiteral(" WHERE ") + rowAddress() +
           QStringLiteral(" IN (") + sub + u')';
}

// ---- DDL --------------------------------------------------------------------------

QString StatementGenerator::uniqueIndex(const QString& table, const QString& name, const QStringList& columns) const
{
    QStringList cols;
    for (const QString& c : columns)
        cols << quoteName(c);
    return QStringLiteral("CREATE UNIQUE INDEX ") + indexName(table, name) + QStringLiteral(" ON ") + quoteName(table) +
           QStringLiteral(" (") + cols.join(QStringLiteral(", ")) + u')';
}

QString StatementGenerator::alterTable(const Statement& st)
{
    const QString table = quoteName(st.name);
    if (!st.dropColumn.isEmpty())
        return QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" DROP COLUMN ") + quoteName(st.dropColumn);
    if (!st.dropConstraint.isEmpty())
        return QStringLiteral("DROP INDEX ") + indexName(st.name, st.dropConstraint);
    if (!st.constraints.empty()) {
        // A key or unique constraint is a unique index; relations are kept by the program.
        const TableConstraint& k = st.constraints.front();
        if (k.kind == TableConstraint::Kind::ForeignKey)
            return QStringLiteral("/* relations are kept by the program */");
        const QString name = k.name.isEmpty() ? (k.kind == TableConstraint::Kind::PrimaryKey
                                                     ? QStringLiteral("PrimaryKey")
                                                     : k.columns.join(u'_'))
                                              : k.name;
        return uniqueIndex(st.name, name, k.columns);
    }
    const ColumnDef& c = st.columns.front();
    if (c.type == ColumnType::Counter || c.primaryKey)
        syntaxError(c.pos, QStringLiteral("a key or counter column cannot be added to an existing table"));
    QString sql = QStringLiteral("ALTER TABLE ") + table + QStringLiteral(" ADD COLUMN ") + quoteName(c.name) + u' ' +
                  columnDeclaration(c, false, false);
    if (c.defaultValue)
        sql += QStringLiteral(" DEFAULT ") + defaultValue(*c.defaultValue);
    if (c.unique)
        sql += QStringLiteral("; ") + uniqueIndex(st.name, c.name, {c.name});
    return sql;
}

QString StatementGenerator::createTable(const Statement& st)
{
    QStringList primary;
    QString primaryName = QStringLiteral("PrimaryKey");
    for (const ColumnDef& c : st.columns)
        if (c.primaryKey)
            primary << c.name;
    for (const TableConstraint& k : st.constraints) {
        if (k.kind != TableConstraint::Kind::PrimaryKey)
            continue;
        if (!primary.isEmpty())
            syntaxError(1, QStringLiteral("the table has more than one primary key"));
        primary = k.columns;
        if (!k.name.isEmpty())
            primaryName = k.name;
    }
    auto isPrimary = [&](const QString& col) { return primary.contains(col, Qt::CaseInsensitive); };
    for (const QString& p : primary) {
        bool found = false;
        for (const ColumnDef& c : st.columns)
            found = found || c.name.compare(p, Qt::CaseInsensitive) == 0;
        if (!found)
            syntaxError(1, QStringLiteral("the key column '%1' is not a column of the table").arg(p));
    }

    QStringList defs;
    QStringList after;
    for (const ColumnDef& c : st.columns) {
        const bool counterKey =
            c.type == ColumnType::Counter && ((primary.size() == 1 && isPrimary(c.name)) || primary.isEmpty());
        QString def = quoteName(c.name) + u' ' + columnDeclaration(c, counterKey, isPrimary(c.name));
        if (c.defaultValue)
            def += QStringLiteral(" DEFAULT ") + defaultValue(*c.defaultValue);
        defs << def;
        if (c.unique)
            after << uniqueIndex(st.name, c.name, {c.name});
    }
    for (const TableConstraint& k : st.constraints)
        if (k.kind == TableConstraint::Kind::Unique)
            after << uniqueIndex(st.name, k.name.isEmpty() ? k.columns.join(u'_') : k.name, k.columns);
    QString sql = QStringLiteral("CREATE TABLE ") + quoteName(st.name) + QStringLiteral(" (") +
                  defs.join(QStringLiteral(", ")) + u')';
    // The key is a unique index under Jet's name for it.
    if (!primary.isEmpty())
        sql += QStringLiteral("; ") + uniqueIndex(st.name, primaryName, primary);
    for (const QString& a : after)
        sql += QStringLiteral("; ") + a;
    return sql;
}

QString StatementGenerator::defaultValue(const Expr& e)
{
    switch (e.kind) {
    case ExprKind::Null:
    case ExprKind::Number:
    case ExprKind::String:
    case ExprKind::Date:
    case ExprKind::Bool:
        return valueSql(e);
    case ExprKind::Unary:
        if (e.op == Op::Neg && e.args[0]->kind == ExprKind::Number)
            return u'-' + e.args[0]->text;
        break;
    default:
        break;
    }
    return u'(' + valueSql(e) + u')';
}

}  // namespace lg::jetsql
