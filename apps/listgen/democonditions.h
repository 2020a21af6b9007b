#pragma once

// Stored conditions of the demo lists, written exactly as the filter controls
// write them when a user sets them up in the list wizard: the SQL condition,
// the text shown to users and the operands kept in vlq_list_report_where_field.

#include <QtCore/QDate>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <utility>
#include <vector>

namespace lg::demo {

struct StoredCondition {
    QString field;  // catalogue field as "ALIAS.field_name"
    long notValue = 0;
    long relationType = 0;
    double numberFrom = 0, numberTo = 0;
    QDate dateFrom, dateTo;  // invalid: the day the list was saved
    QString textFrom, textTo;
    long booleanValue = 0;
    QString selectedItems;
    QString sqlWhere;
    QString description;  // "(" + condition text + ")"
};

// `column` is the bracketed column ("[P].[aktiv]"), `caption` the field's
// full visible name ("Partner Aktív").

// Check box: ticked, optionally negated.
StoredCondition checkBoxCondition(const QString& column, const QString& caption, bool negated);
// Number without relation list: a single value (to == 0) or a range.
StoredCondition numberCondition(const QString& column, const QString& caption, long from, long to = 0,
                                bool negated = false);
// Text "olyan mint": prefix match, case-insensitive.
StoredCondition textPrefixCondition(const QString& column, const QString& caption, const QString& text);
// Text with a comparison relation (2 "=", 3 ">", 4 "<", 5 ">=", 6 "<=").
StoredCondition textRelationCondition(const QString& column, const QString& caption, int relation,
                                      const QString& text);
// Text keyword expression: words separated by blanks (OR) or "+" (AND).
StoredCondition keywordCondition(const QString& column, const QString& caption, const QString& expression);
// Dates: a range of whole days, or a comparison relation with one day.
StoredCondition dateRangeCondition(const QString& column, const QString& caption, const QDate& from,
                                   const QDate& to);
StoredCondition dateRelationCondition(const QString& column, const QString& caption, int relation,
                                      const QDate& day);
// List box and query container: the record keys with their texts.
StoredCondition keyListCondition(const QString& column, const QString& caption,
                                 const std::vector<std::pair<long, QString>>& items);
// Text list box: the chosen texts.
StoredCondition textListCondition(const QString& column, const QString& caption, const QStringList& texts);

// The texts that join conditions of a list.
inline constexpr auto kAnd = u" AND ";
inline constexpr auto kAndText = u" ÉS ";

}  // namespace lg::demo
