#pragma once

// The statements of a browse: a host's Jet statement narrowed by a condition
// and read in pages in the order of one sort field.
//
// Pages are read by key, not by position: the statement is run again with
// "sort >= key" and the rows of that key that came before are stepped over.
// So the index of the sort field finds any place of a large table directly,
// and nothing depends on LIMIT/OFFSET, which the database would have to walk.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <optional>

namespace lg::ui {

// One shown column: the field of the statement, its caption and its width in
// pixels (0: the view's default).
struct BrowseColumn {
    QString field;
    QString caption;
    int width = 0;
    bool operator==(const BrowseColumn&) const = default;
};

// What a browse shows: the statement, the columns, the sort field and the
// field that identifies a row.
struct BrowseDefinition {
    QString statement;
    QList<BrowseColumn> columns;  // empty: every field of the statement
    QString sortField;            // empty: the id field
    QString idField = QStringLiteral("id");
};

// Reads a column list: entries separated by ";", each "field", "field|caption"
// or "field|caption|width". Blank entries are dropped; a width that is not a
// positive number is 0.
QList<BrowseColumn> parseColumnList(const QString& text);

// A field name as a bracketed Jet name ("nev" -> "[nev]", "p.nev" ->
// "[p].[nev]"); nullopt for a name that cannot be one (empty, or holding
// "[", "]" or a control character).
std::optional<QString> bracketFieldName(const QString& name);

// Whether `condition` can stand as one condition of a WHERE clause: it is not
// blank, its parentheses balance, and outside parentheses it holds no ";"
// and no SELECT, FROM, WHERE, GROUP, HAVING, ORDER or UNION. `why` receives
// the reason when it cannot.
bool isSingleCondition(const QString& condition, QString* why = nullptr);

// `statement` (a SELECT) with `condition` added to its top-level WHERE by AND
// (both parenthesised) and its top-level ORDER BY removed; a UNION is wrapped
// as a derived table first. Throws lg::RuntimeError (a syntax error) when the
// statement is not a SELECT or cannot be read.
QString addCondition(const QString& statement, const QString& condition);

// `statement` without its top-level ORDER BY.
QString withoutOrderBy(const QString& statement);

// The statements a browse runs, built once from a definition and a filter.
class BrowseStatements {
public:
    // Throws lg::RuntimeError for a filter that is not a single condition, a
    // sort or id field that is no name, or a statement that is not a SELECT.
    BrowseStatements(const BrowseDefinition& definition, const QString& filter);

    const QString& base() const { return m_base; }  // filtered, unordered
    // The number of rows.
    QString count() const;
    // Rows in sort order from the start (no parameter) or from a key (one
    // parameter: rows whose sort field is >= it).
    QString ordered() const;
    QString orderedFrom() const;
    // The same from the end: rows in descending order, from the last or from
    // a key (rows whose sort field is <= it).
    QString orderedBackward() const;
    QString orderedBackwardFrom() const;
    // The sort key of the row with an id (one parameter).
    QString keyOfId() const;
    // Rows whose key is below one (one parameter), and rows without key.
    QString countBelow() const;
    QString countNullKeys() const;
    // The ids of the rows of one key (one parameter) or of no key, in sort order.
    QString idsOfKey() const;
    QString idsOfNullKey() const;

    const QString& sortName() const { return m_sort; }
    const QString& idName() const { return m_id; }

private:
    QString m_base;
    QString m_sort;  // bracketed
    QString m_id;    // bracketed
};

}  // namespace lg::ui
