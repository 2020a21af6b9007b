#include "store/records.h"

#include <iterator>

#include "platform/dao/dao.h"
#include "store/context.h"
#include "store/tables.h"

namespace lg {

LG_DEFINE_RECORD(ListReportGroupField, LG_LIST_REPORT_GROUP_FIELD_COLUMNS, tListReportGroupField, oListReportGroupField)
LG_DEFINE_RECORD(ListReportVisibleField, LG_LIST_REPORT_VISIBLE_FIELD_COLUMNS, tListReportVisibleField,
                 oListReportVisibleField)
LG_DEFINE_RECORD(ListReportWhereField, LG_LIST_REPORT_WHERE_FIELD_COLUMNS, tListReportWhereField, oListReportWhereField)
LG_DEFINE_RECORD(ListWizardTable, LG_LIST_WIZARD_TABLE_COLUMNS, tListWizardTable, oListWizardTable)
LG_DEFINE_RECORD(ListWizardTableField, LG_LIST_WIZARD_TABLE_FIELD_COLUMNS, tListWizardTableField, oListWizardTableField)
LG_DEFINE_RECORD(ListWizardTableTypeConn, LG_LIST_WIZARD_TABLE_TYPE_CONN_COLUMNS, tListWizardTableTypeConn,
                 oListWizardTableTypeConn)
LG_DEFINE_RECORD(ListWizardType, LG_LIST_WIZARD_TYPE_COLUMNS, tListWizardType, oListWizardType)
LG_DEFINE_RECORD(ListAuthUnit, LG_LIST_AUTH_UNIT_COLUMNS, tListAuthUnit, oListAuthUnit)

// --- ListReportVisibleField ------------------------------------------------------------

long ListReportVisibleField::groupAggregate(int level) const
{
    if (level < 1 || level > 10)
        return -1;
    return value<ColumnKind::Long>(c_group1_aggregate + level - 1);
}

void ListReportVisibleField::setGroupAggregate(int level, long aggregate)
{
    if (level >= 1 && level <= 10)
        setValue<ColumnKind::Long>(c_group1_aggregate + level - 1, aggregate);
}

// --- editing forms ------------------------------------------------------------------------

namespace {
ListWizardTable::FormHandler& tableForm()
{
    static ListWizardTable::FormHandler handler;
    return handler;
}
ListWizardTableField::FormHandler& fieldForm()
{
    static ListWizardTableField::FormHandler handler;
    return handler;
}
}  // namespace

short ListWizardTable::ShowForm()
{
    return tableForm() ? tableForm()(*this) : short(1);
}
void ListWizardTable::setFormHandler(FormHandler handler)
{
    tableForm() = std::move(handler);
}
short ListWizardTableField::ShowForm()
{
    return fieldForm() ? fieldForm()(*this) : short(1);
}
void ListWizardTableField::setFormHandler(FormHandler handler)
{
    fieldForm() = std::move(handler);
}

// --- ListAuthUnit --------------------------------------------------------------------------

bool ListAuthUnit::DeleteAuthUnitWithGroup(long lAuthType, long lUserGroupID, long lListTypeID, long lListReportID,
                                           long lModulID)
{
    return traced(QStringLiteral("ListAuthUnit"), TraceKind::Function, QStringLiteral("DeleteAuthUnitWithGroup"), [&] {
        QVariantList values{qlonglong(lAuthType)};
        QString sql = QStringLiteral(
            "update vlq_list_auth_unit inner join vlq_list_wizard_type on vlq_list_auth_unit.list_type_id = "
            "vlq_list_wizard_type.id set vlq_list_auth_unit.del_status = 2 ");
        sql += QStringLiteral(" where vlq_list_auth_unit.auth_type = ? ");
        const auto also = [&](const char* column, long value) {
            sql += QStringLiteral(" and iif(") + QLatin1String(column) + QStringLiteral("=?,1,0)=1 ");
            values.append(qlonglong(value));
        };
        if (lUserGroupID != -1)
            also("vlq_list_auth_unit.user_group_id", lUserGroupID);
        if (lListTypeID != -1)
            also("vlq_list_auth_unit.list_type_id", lListTypeID);
        if (lModulID > 0)
            also("vlq_list_wizard_type.modul_id", lModulID);
        if (lAuthType == 1 && lListReportID != -1)
            also("vlq_list_auth_unit.list_report_id", lListReportID);

        dao::Database& db = modTables::CurrentDatabase();
        dao::Transaction transaction(db);
        db.Execute(sql, values);
        transaction.commit(dao::dbForceOSFlush);
        db.Idle(dao::dbFreeLocks);
        return true;
    });
}

}  // namespace lg
