#include "ui/browsestatement.h"

#include "platform/jetsql/tokenizer.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"

using namespace Qt::StringLiterals;

namespace lg::ui {

namespace {

constexpr long kSyntaxError = 3075;  // Jet: syntax error in query expression

bool isWord(const jetsql::Token& t, QLatin1StringView word)
{
    return t.type == jetsql::Tok::Ident && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isSymbol(const jetsql::Token& t, QLatin1StringView symbol)
{
    return t.type == jetsql::Tok::Symbol && t.text == symbol;
}

// Where the top-level clauses of a SELECT begin (0-based character offsets,
// -1 when absent).
struct Clauses {
    int where = -1, whereEnd = -1;  // the WHERE keyword and the character after it
    int group = -1, having = -1, order = -1, union_ = -1, semicolon = -1;
    bool select = false;
};

Clauses findClauses(const QString& statement)
{
    const jetsql::TokenList list = jetsql::tokenize(statement);
    Clauses c;
    int depth = 0;
    bool first = true;
    for (size_t i = 0; i < list.tokens.size(); ++i) {
        const jetsql::Token& t = list.tokens[i];
        if (t.type == jetsql::Tok::End)
            break;
        if (first) {
            c.select = isWord(t, "SELECT"_L1);
            first = false;
        }
        if (isSymbol(t, "("_L1)) {
            ++depth;
            continue;
        }
        if (isSymbol(t, ")"_L1)) {
            --depth;
            continue;
        }
        if (depth != 0)
            continue;
        const int at = t.pos - 1;
        if (isSymbol(t, ";"_L1) && c.semicolon < 0)
            c.semicolon = at;
        else if (isWord(t, "WHERE"_L1) && c.where < 0) {
            c.where = at;
            c.whereEnd = at + int(t.raw.size());
        } else if (isWord(t, "GROUP"_L1) && c.group < 0)
            c.group = at;
        else if (isWord(t, "HAVING"_L1) && c.having < 0)
            c.having = at;
        else if (isWord(t, "ORDER"_L1) && c.order < 0)
            c.order = at;
        else if (isWord(t, "UNION"_L1) && c.union_ < 0)
            c.union_ = at;
    }
    return c;
}

int firstOf(std::initializer_list<int> positions, int otherwise)
{
    int best = otherwise;
    for (int p : positions)
        if (p >= 0 && p < best)
            best = p;
    return best;
}

[[noreturn]] void refuse(const QString& what)
{
    throw RuntimeError(kSyntaxError, u"lg.Browse"_s, what);
}

}  // namespace

QList<BrowseColumn> parseColumnList(const QString& text)
{
    QList<BrowseColumn> columns;
    for (const QString& entry : text.split(u';')) {
        const QStringList parts = entry.split(u'|');
        BrowseColumn column;
        column.field = parts.value(0).trimmed();
        if (column.field.isEmpty())
            continue;
        column.caption = parts.size() > 1 ? parts[1].trimmed() : column.field;
        if (column.caption.isEmpty())
            column.caption = column.field;
        bool ok = false;
        const int width = parts.value(2).trimmed().toInt(&ok);
        column.width = ok && width > 0 ? width : 0;
        columns.append(column);
    }
    return columns;
}

std::optional<QString> bracketFieldName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QStringList parts;
    for (const QString& part : trimmed.split(u'.')) {
        QString p = part.trimmed();
        if (p.startsWith(u'[') && p.endsWith(u']') && p.size() > 2)
            p = p.mid(1, p.size() - 2);
        if (p.isEmpty())
            return std::nullopt;
        for (QChar ch : p)
            if (ch == u'[' || ch == u']' || ch.category() == QChar::Other_Control)
                return std::nullopt;
        parts.append(u'[' + p + u']');
    }
    return parts.join(u'.');
}

bool isSingleCondition(const QString& condition, QString* why)
{
    auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (condition.trimmed().isEmpty())
        return fail(LoadResString(32310));
    jetsql::TokenList list;
    try {
        list = jetsql::tokenize(condition);
    } catch (const RuntimeError& e) {
        return fail(e.description());
    }
    int depth = 0;
    for (const jetsql::Token& t : list.tokens) {
        if (t.type == jetsql::Tok::End)
            break;
        if (isSymbol(t, "("_L1))
            ++depth;
        else if (isSymbol(t, ")"_L1)) {
            if (--depth < 0)
                return fail(LoadResString(32311).arg(t.pos));
        } else if (depth == 0) {
            if (isSymbol(t, ";"_L1))
                return fail(LoadResString(32312).arg(t.pos));
            for (QLatin1StringView word : {"SELECT"_L1, "FROM"_L1, "WHERE"_L1, "GROUP"_L1, "HAVING"_L1, "ORDER"_L1,
                                           "UNION"_L1})
                if (isWord(t, word))
                    return fail(LoadResString(32313).arg(t.raw).arg(t.pos));
        }
    }
    if (depth != 0)
        return fail(LoadResString(32314));
    return true;
}

QString withoutOrderBy(const QString& statement)
{
    const Clauses c = findClauses(statement);
    const int end = firstOf({c.order, c.semicolon}, int(statement.size()));
    return statement.left(end).trimmed();
}

QString addCondition(const QString& statement, const QString& condition)
{
    Clauses c = findClauses(statement);
    if (!c.select)
        refuse(u"The browse statement is not a SELECT: %1"_s.arg(statement.left(80)));
    QString sql = statement;
    if (c.union_ >= 0) {
        sql = u"SELECT * FROM ("_s + withoutOrderBy(statement) + u") AS browse_rows"_s;
        c = findClauses(sql);
    }
    const int end = firstOf({c.order, c.semicolon}, int(sql.size()));
    sql = sql.left(end);
    if (c.where >= 0) {
        const int whereEnd = firstOf({c.group, c.having}, int(sql.size()));
        const QString existing = sql.mid(c.whereEnd, whereEnd - c.whereEnd).trimmed();
        const QString out = sql.left(c.where) + u"WHERE ("_s + existing + u") AND ("_s + condition + u") "_s +
                            sql.mid(whereEnd).trimmed();
        return out.trimmed();
    }
    const int at = firstOf({c.group, c.having}, int(sql.size()));
    const QString out = sql.left(at).trimmed() + u" WHERE ("_s + condition + u") "_s + sql.mid(at).trimmed();
    return out.trimmed();
}

BrowseStatements::BrowseStatements(const BrowseDefinition& definition, const QString& filter)
{
    const auto id = bracketFieldName(definition.idField);
    if (!id)
        refuse(LoadResString(32315).arg(definition.idField));
    m_id = *id;
    const QString sortName = definition.sortField.trimmed().isEmpty() ? definition.idField : definition.sortField;
    const auto sort = bracketFieldName(sortName);
    if (!sort)
        refuse(LoadResString(32316).arg(sortName));
    m_sort = *sort;
    QString why;
    if (filter.trimmed().isEmpty())
        m_base = withoutOrderBy(definition.statement);
    else if (!isSingleCondition(filter, &why))
        refuse(LoadResString(32317).arg(why, filter.trimmed()));
    else
        m_base = addCondition(definition.statement, filter.trimmed());
    if (!findClauses(m_base).select)
        refuse(u"The browse statement is not a SELECT: %1"_s.arg(definition.statement.left(80)));
}

QString BrowseStatements::count() const
{
    return u"SELECT Count(*) AS n FROM ("_s + m_base + u") AS browse_count"_s;
}

QString BrowseStatements::ordered() const
{
    return m_base + u" ORDER BY "_s + m_sort;
}

QString BrowseStatements::orderedFrom() const
{
    return addCondition(m_base, m_sort + u" >= ?"_s) + u" ORDER BY "_s + m_sort;
}

QString BrowseStatements::orderedBackward() const
{
    return m_base + u" ORDER BY "_s + m_sort + u" DESC"_s;
}

QString BrowseStatements::orderedBackwardFrom() const
{
    return addCondition(m_base, m_sort + u" <= ?"_s) + u" ORDER BY "_s + m_sort + u" DESC"_s;
}

QString BrowseStatements::keyOfId() const
{
    return u"SELECT "_s + m_sort + u" AS browse_key FROM ("_s + addCondition(m_base, m_id + u" = ?"_s) +
           u") AS browse_id"_s;
}

QString BrowseStatements::countBelow() const
{
    // The key is wrapped so that the database reads the rows in one pass
    // instead of walking the sort field's index and fetching every row the
    // filter needs from its own place: when the filter reads other fields,
    // half a million such fetches take seconds, one pass tens of milliseconds.
    return u"SELECT Count(*) AS n FROM ("_s + addCondition(m_base, u"IIf(TRUE, "_s + m_sort + u", Null) < ?"_s) +
           u") AS browse_count"_s;
}

QString BrowseStatements::countNullKeys() const
{
    return u"SELECT Count(*) AS n FROM ("_s + addCondition(m_base, m_sort + u" IS NULL"_s) + u") AS browse_count"_s;
}

QString BrowseStatements::idsOfKey() const
{
    return addCondition(m_base, m_sort + u" = ?"_s) + u" ORDER BY "_s + m_sort;
}

QString BrowseStatements::idsOfNullKey() const
{
    return addCondition(m_base, m_sort + u" IS NULL"_s) + u" ORDER BY "_s + m_sort;
}

}  // namespace lg::ui
