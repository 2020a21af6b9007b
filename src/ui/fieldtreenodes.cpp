#include "ui/fieldtreenodes.h"

#include <QtCore/QHash>
#include <QtCore/QSet>


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

    // A table hangs under its parent's node when that node is already there
    // when the table first appears: the rows come ordered by the parent key,
    // so a parent comes first in every catalogue whose keys name parent
    // tables. Any other key (an ordering number, a table not offered, a
    // parent that comes later) puts the table at the root: no key can make
    // a table vanish or tables hang in a circle.
    QSet<long> placed;
    for (long id : tableOrder) {
        const Table& t = tables[id];
        const QString parentKey =
            (t.parent != -1 && t.parent != id && placed.contains(t.parent)) ? tableNodeKey(t.parent) : QString();
        placed.insert(id);
        layout.nodes.append(FieldTreeNode{tableNodeKey(id), t.name, parentKey, true});
    }

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
