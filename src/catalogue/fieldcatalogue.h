#pragma once

// The field catalogue as the wizard, the list controls and the report-source
// generator see it: the field pickers of a list type, the display names of
// catalogue fields and the comma-separated field-name line of a list.
//
// Field names come in two forms: the full name (table visible_name, a blank,
// field visible_name) and the short name (field visible_name with its first
// letter in upper case). A `fullNames` flag chooses between them.

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <memory>

#include "store/enums.h"

namespace lg::dao {
class Recordset;
}

namespace lg::catalogue {

// Opens the field picker `fill` of list type `listTypeId`. On the free side
// the fields the type offers (id, name, table_id, field_id, table_name,
// field_name, table_parent_id); on the used side the list's groups or
// displayed fields (id, name) in order. The aggregatable picker gives the
// visible field rows (their ids) of the list whose field may be aggregated.
// For the pre-filterable picker `reportId` carries the list's join depth.
// Filterable, aggregatable and pre-filterable pickers ignore `side`.
bool LoadReportFieldToControl(long listTypeId, long reportId, eReportFieldFillType fill,
                              eReportFieldFillSideType side, bool fullNames, std::shared_ptr<dao::Recordset>& rs);
QString fieldPickerSql(long listTypeId, long reportId, eReportFieldFillType fill, eReportFieldFillSideType side,
                       bool fullNames);

// A list box, combo box or any other list of (text, id) entries. The user
// interface adapts its widgets to it; the headless core fills it.
class ListSink {
public:
    virtual ~ListSink() = default;
    virtual void clear() = 0;
    virtual void addItem(const QString& text, long id) = 0;
};

// Empties `sink` and adds one entry per row of `rs` (text from `textColumn`,
// id from `idColumn`), reading from the current row to the end. Returns the
// number of entries added.
long FillListFromRecordset(dao::Recordset& rs, ListSink& sink, const QString& textColumn = QStringLiteral("name"),
                           const QString& idColumn = QStringLiteral("id"));

// The field's visible_name with its first character (a whole code point) in
// upper case: "átlag" gives "Átlag".
QString upperFirst(const QString& text);

// field_type of a live catalogue field; -1 when the field does not load.
long GetTableFieldDataType(long tableFieldId);
// Full name of a catalogue field; the field's visible_name alone when its
// table is missing; "" when the field is missing.
QString GetTableFieldVisibleName(long tableFieldId);
// Short name of a catalogue field; "" when the field is missing.
QString GetTableFieldShortVisibleName(long tableFieldId);
// The full or the short name.
QString GetTableFieldName(long tableFieldId, bool fullNames);

// Display name of an aggregate: 0 unknown, 1 count, 2 max, 3 min, 4 sum,
// 5 average (1 to 5 are the eReportFieldAggregateType values); "" for any
// other index. The names come from the string table (4000 to 4005) unless
// the list control has installed its own with SetAggregateNames.
QString GetAggregateName(long index);
void SetAggregateNames(const QStringList& sixNames);

// The names of a list's fields, groups first, then displayed fields, each
// without commas, joined by single commas. False (and "") when the list does
// not load.
bool GenerateReportFieldNameList(long listReportId, bool fullNames, QString& text);

// Opens `sql` on the database. A database error is recorded in the shared
// Errors collection (its number and text) and the result is false.
bool TestSQLStatement(const QString& sql);

}  // namespace lg::catalogue
