#pragma once

// The nodes of a field tree (the wizard's pages, the pre-filter dialog),
// built from the rows of a free-side field picker without a window. A table
// node has the key "TBL_"+table id and hangs under its parent table's node
// (at the root when the parent is -1 or not among the rows, and where keys
// go round in a circle); a field node has the key
// "FLD_"+table-field id and hangs under its table's node.

#include <QtCore/QList>
#include <QtCore/QString>

namespace lg::dao {
class Recordset;
}

namespace lg::ui {

// One row of a free-side field picker (catalogue::LoadReportFieldToControl).
struct FieldTreeRow {
    long tableId = -1;
    QString tableName;
    long fieldId = -1;
    QString fieldName;
    long tableParentId = -1;
};

struct FieldTreeNode {
    QString key;
    QString text;
    QString parentKey;  // empty: at the root
    bool isTable = false;
};

struct FieldTreeLayout {
    // Tables in the order they first appear, then the fields in the rows'
    // order: a parent always comes before its children.
    QList<FieldTreeNode> nodes;
    // The first table node of the rows: expanded and selected after a fill.
    QString firstTableKey;
};

FieldTreeLayout buildFieldTreeLayout(const QList<FieldTreeRow>& rows);

// Reads table_id, table_name, field_id, field_name and table_parent_id from
// the current row to the end (a missing table_parent_id reads as -1).
QList<FieldTreeRow> readFieldTreeRows(dao::Recordset& rs);

QString tableNodeKey(long tableId);
QString fieldNodeKey(long fieldId);
// The table-field id of a node key: the key without its first four
// characters when it starts with "FLD", otherwise (and for a key that is no
// number) -1.
long fieldIdFromNodeKey(const QString& key);

}  // namespace lg::ui
