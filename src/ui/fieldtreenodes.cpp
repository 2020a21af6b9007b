#include "ui/fieldtreenodes.h"

#include <QtCore/QHash>
#include <QtCore/QSet>

#include <functional>

#include "platform/dao/dao.h"

namespace lg::ui {

QString tableNodeKey(long tableId) { return QStringLiteral("TBL_") + QString::number(tableId); }
QString fieldNodeKey(long fieldId) { return QStringLiteral("FLD_") + QString::number(fieldId); }

long fieldIdFromNodeKey(const QString& key)
{
    if (!key.startsWith(QLatin1String("FLD")))
        return -1;
    bool ok = false;
    const long id = key.mid(4).toLong(&ok);
    return ok ? id : -1;
}

FieldTreeLayout buildFieldTreeLayout(const QList<FieldTreeRow>& rows)
{
    struct Table {
        QString name;
        long parent = -1;
    };
    QList<long> tableOrder;
    QHash<long, Table> tables;
    for (const FieldTreeRow& row : rows) {
        if (!tables.contains(row.tableId)) {
            tables.insert(row.tableId, Table{row.tableName, row.tableParentId});
            tableOrder.append(row.tableId);
        }
    }

    FieldTreeLayout layout;
    if (!tableOrder.isEmpty())
        layout.firstTableKey = tableNodeKey(tableOrder.first());

    // A table hangs under the table its key names when that table is among
    // the rows, wherever it comes; a key that names no table of the rows
    // (-1, an ordering number, a table not offered) puts the table at the
    // root. Keys that go round in a circle are cut where the circle is
    // entered first: that table goes to the root. Parents are listed before
    // their children.
    QHash<long, long> parentOf;  // resolved; -1 at the root
    for (long id : tableOrder) {
        long p = tables[id].parent;
        if (p == id || !tables.contains(p))
            p = -1;
        for (long up = p; up != -1;) {
            if (up == id) {  // the keys lead back here
                p = -1;
                break;
            }
            up = parentOf.contains(up) ? parentOf[up]
                                       : (tables.contains(tables[up].parent) ? tables[up].parent : -1);
        }
        parentOf.insert(id, p);
    }
    QSet<long> placed;
    std::function<void(long)> place = [&](long id) {
        if (placed.contains(id))
            return;
        placed.insert(id);
        const long p = parentOf.value(id, -1);
        if (p != -1)
            place(p);
        layout.nodes.append(FieldTreeNode{tableNodeKey(id), tables[id].name, p == -1 ? QString() : tableNodeKey(p), true});
    };
    for (long id : tableOrder)
        place(id);

    QSet<long> fields;
    for (const FieldTreeRow& row : rows) {
        if (fields.contains(row.fieldId))
            continue;  // a key names one node
        fields.insert(row.fieldId);
        layout.nodes.append(FieldTreeNode{fieldNodeKey(row.fieldId), row.fieldName, tableNodeKey(row.tableId), false});
    }
    return layout;
}

QList<FieldTreeRow> readFieldTreeRows(dao::Recordset& rs)
{
    QList<FieldTreeRow> rows;
    const int tableId = rs.FieldIndex(QStringLiteral("table_id"));
    const int tableName = rs.FieldIndex(QStringLiteral("table_name"));
    const int fieldId = rs.FieldIndex(QStringLiteral("field_id"));
    const int fieldName = rs.FieldIndex(QStringLiteral("field_name"));
    const int parentId = rs.FieldIndex(QStringLiteral("table_parent_id"));
    for (; !rs.Eof(); rs.MoveNext()) {
        FieldTreeRow row;
        row.tableId = rs.Fields(tableId).toLongLong();
        row.tableName = rs.Fields(tableName).toString();
        row.fieldId = rs.Fields(fieldId).toLongLong();
        row.fieldName = rs.Fields(fieldName).toString();
        if (parentId >= 0) {
            const dao::Value parent = rs.Fields(parentId);
            row.tableParentId = dao::isNull(parent) ? -1 : long(parent.toLongLong());
        }
        rows.append(row);
    }
    return rows;
}

}  // namespace lg::ui
