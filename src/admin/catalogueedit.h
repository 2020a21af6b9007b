#pragma once

// The catalogue editor without a window: the statements of its lists, the
// texts of the detail labels, the choice lists of the edit forms, and what
// the edit forms validate and write.
//
// An edit form works on a draft (what its controls hold). OK validates the
// draft; with errors nothing is written and the messages are in Errors.
// Otherwise the draft is copied into a copy of the record (the visible name
// and the presentation settings always, the columns that tie the catalogue
// to the database only when the editor is unlocked), the copy is written,
// and only a successful write replaces the caller's record: a failed write
// leaves it as it was.
//
// Typed texts never break a statement: the default search field is quoted
// where a statement names it, names that the list statements bracket
// ([alias].[column]) may not hold brackets or control characters, and the
// clauses must be single conditions.

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtCore/QVariant>

namespace lg {
class ListWizardTable;
class ListWizardTableField;
}

namespace lg::admin {

// A Jet text literal: quoted, with its quotes doubled.
QString jetText(const QString& text);

// Statements of the browser.
QString editorListTypesSql(long modulId);
QString editorTablesSql(long typeId);
QString editorFieldsSql(long tableId);
QString quickPickNameSql(long quickPickId);
QString defaultSearchFieldNameSql(long quickPickId, const QString& searchField);
// Statements of the edit forms.
QString quickPicksSql();
QString searchFieldsSql(long quickPickId);
QString defaultSearchFieldIdSql(long quickPickId, const QString& searchField);

// Detail texts.
QString fieldTypeText(long type);
QString filterControlText(long control, bool filterable);
QString flagText(bool flag);

// A choice: its text and stored value.
struct Choice {
    QString text;
    QVariant data;
};
QList<Choice> fieldTypeChoices();
QList<Choice> filterControlChoices();
QString noneText();  // "<NINCSEN>"
inline constexpr long kQuickPickFilter = 7;

// Why a name cannot be used inside a statement; empty when it can.
QString nameProblem(const QString& what, const QString& name);
// Why a clause cannot be used as a condition; empty when it can (blank is fine).
QString clauseProblem(const QString& what, const QString& clause);

struct TableDraft {
    QString visibleName, tableName, tableAlias;
    long quickPickId = -1;
    QString whereClauseQpi, whereClauseSql, primaryKeyIndex, primaryKeyField;
};
TableDraft tableDraft(const ListWizardTable& record);
// The validation messages, in the form's order.
QStringList validateTable(const TableDraft& draft, bool unlocked);
// Validates and writes; on failure the messages are in Errors and `record`
// is unchanged.
bool saveTable(ListWizardTable& record, const TableDraft& draft, bool unlocked);

struct FieldDraft {
    QString visibleName, fieldName, groupFieldName;
    long fieldType = -1;     // -1: none chosen
    long controlType = -1;   // -1: none chosen
    QString whereClause;
    bool visibled = true, filtered = true, groupable = true, aggregated = true;
    long width = 100;
    QString format;
    QString defaultSearchField;  // the search_field of the chosen quick-pick field; empty for none
};
// The record as the form shows it: the decimal number type (2) as number (1).
FieldDraft fieldDraft(const ListWizardTableField& record);
QStringList validateField(const FieldDraft& draft, bool unlocked);
bool saveField(ListWizardTableField& record, const FieldDraft& draft, bool unlocked);

// The search_field of a quick-pick field row; empty when there is none.
QString searchFieldOfRow(long quickPickFieldId);
// The quick-pick of a table; -1 when there is none.
long quickPickOfTable(long tableId);

}  // namespace lg::admin
