#include "catalogue/filtercontrolproperties.h"

#include "catalogue/dbhelpers.h"
#include "catalogue/fieldcatalogue.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "store/errors.h"
#include "store/records.h"
#include "store/tables.h"

#include <cmath>
#include <limits>

namespace lg::catalogue {

namespace {

const QString kSource = QStringLiteral("vlqTabul2/modFilterControlUtils/");

// Records a failure in the Errors collection with this module's trace line.
void recordError(const QString& where, long number, const QString& description)
{
    AddError(number, description + QStringLiteral("\r\n") + kSource + where);
}

template <class F> bool guarded(const QString& where, F&& body)
{
    try {
        return body();
    } catch (const RuntimeError& e) {
        recordError(where, e.number(), e.description());
    } catch (const std::exception& e) {
        recordError(where, errnum::Internal, QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace

qint32 storedNumberToInt(const QVariant& value)
{
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || std::isnan(d))
        return 0;
    const double r = std::round(d);
    if (r >= double(std::numeric_limits<qint32>::max()))
        return std::numeric_limits<qint32>::max();
    if (r <= double(std::numeric_limits<qint32>::min()))
        return std::numeric_limits<qint32>::min();
    return qint32(r);
}

QList<QPair<QString, QVariant>> members(const tFilterControlPropertys& r)
{
    return {
        {QStringLiteral("tTFID"), r.tTFID},
        {QStringLiteral("tTFControlType"), r.tTFControlType},
        {QStringLiteral("tTFQueryField"), r.tTFQueryField},
        {QStringLiteral("tTFQueryAliasField"), r.tTFQueryAliasField},
        {QStringLiteral("tTFQueryFieldVisible"), r.tTFQueryFieldVisible},
        {QStringLiteral("tTFQueryFieldProgID"), r.tTFQueryFieldProgID},
        {QStringLiteral("tTFQueryFieldProgIDFilter"), r.tTFQueryFieldProgIDFilter},
        {QStringLiteral("tTFQueryFieldTable"), r.tTFQueryFieldTable},
        {QStringLiteral("tTFBrowseID"), r.tTFBrowseID},
        {QStringLiteral("tTFUserBrowseData"), r.tTFUserBrowseData},
        {QStringLiteral("tTFQuickpickID"), r.tTFQuickpickID},
        {QStringLiteral("tTFDefaultSearchField"), r.tTFDefaultSearchField},
        {QStringLiteral("tWFID"), r.tWFID},
        {QStringLiteral("tWFNotValue"), r.tWFNotValue},
        {QStringLiteral("tWFRelationType"), r.tWFRelationType},
        {QStringLiteral("tWFDateFrom"), r.tWFDateFrom},
        {QStringLiteral("tWFDateTo"), r.tWFDateTo},
        {QStringLiteral("tWFNumberFrom"), r.tWFNumberFrom},
        {QStringLiteral("tWFNumberTo"), r.tWFNumberTo},
        {QStringLiteral("tWFTextFrom"), r.tWFTextFrom},
        {QStringLiteral("tWFTextTo"), r.tWFTextTo},
        {QStringLiteral("tWFBooleanValue"), r.tWFBooleanValue},
        {QStringLiteral("tWFSelectedItems"), r.tWFSelectedItems},
        {QStringLiteral("tWFSQLDescription"), r.tWFSQLDescription},
        {QStringLiteral("tWFSQLWhere"), r.tWFSQLWhere},
        {QStringLiteral("tTPrimaryKeyName"), r.tTPrimaryKeyName},
        {QStringLiteral("tTPrimaryKeyFiled"), r.tTPrimaryKeyFiled},
    };
}

bool GetWhereFieldIDFromTableField(long listReportId, long tableFieldId, long& whereFieldId)
{
    whereFieldId = -1;
    return guarded(QStringLiteral(" in Function GetWhereFieldIDFromTableField "), [&] {
        if (modTables::TableSeekSpec(tListReportWhereField, QStringLiteral("where_field_id"),
                                     {QVariant(qlonglong(listReportId)), QVariant(qlonglong(tableFieldId)),
                                      QVariant(0)})) {
            const QVariant id = modTables::SharedTable(tListReportWhereField).Fields(QStringLiteral("id"));
            whereFieldId = long(modTables::NullToDefault(id, modTables::vt::Long).toLongLong());
        }
        return true;
    });
}

bool GetWhereFieldFilterControlPropertys(long whereFieldId, tFilterControlPropertys& r)
{
    return guarded(QStringLiteral(" in Function GetWhereFieldFilterControlPropertys"), [&] {
        ListReportWhereField w;
        if (!w.CoreLoad(whereFieldId))
            return false;
        r.tWFID = qint32(w.ID());
        r.tWFNotValue = qint32(w.not_value());
        r.tWFRelationType = qint32(w.relation_type());
        r.tWFDateFrom = w.date_from();
        r.tWFDateTo = w.date_to();
        r.tWFNumberFrom = storedNumberToInt(w.number_from());
        r.tWFNumberTo = storedNumberToInt(w.number_to());
        r.tWFTextFrom = w.text_from();
        r.tWFTextTo = w.text_to();
        r.tWFBooleanValue = qint32(w.boolean_value());
        r.tWFSelectedItems = w.selected_items();
        r.tWFSQLDescription = w.sql_description();
        r.tWFSQLWhere = w.sql_where();
        return true;
    });
}

bool GetTableFieldFilterControlPropertys(long tableFieldId, long listReportId, bool tableNameOnReport,
                                         tFilterControlPropertys& r)
{
    r.reset();
    long whereFieldId = -1;
    if (!GetWhereFieldIDFromTableField(listReportId, tableFieldId, whereFieldId))
        return false;
    if (whereFieldId != -1 && !GetWhereFieldFilterControlPropertys(whereFieldId, r))
        return false;
    return guarded(QStringLiteral(" in Sub GetTableFieldFilterControlPropertys "), [&] {
        ListWizardTableField field;
        if (!field.CoreLoad(tableFieldId))
            return false;
        ListWizardTable table;
        if (!table.CoreLoad(field.table_id()))
            return false;
        const long type = field.field_control_type();
        if (type < fctNumberLong || type > fctTextListBox)
            return false;

        r.tTPrimaryKeyName = table.primarykey_indexname().trimmed();
        if (r.tTPrimaryKeyName.isEmpty())
            r.tTPrimaryKeyName = QStringLiteral("PrimaryKey");
        r.tTPrimaryKeyFiled = table.primarykey_filedname().trimmed();
        if (r.tTPrimaryKeyFiled.isEmpty())
            r.tTPrimaryKeyFiled = QStringLiteral("id");

        r.tTFControlType = qint32(type);
        const QString column =
            (type == fctListBox || type == fctContainer) ? r.tTPrimaryKeyFiled : field.field_name();
        r.tTFQueryAliasField = u'[' + table.table_alias() + QStringLiteral("].[") + column + u']';
        r.tTFQueryField = field.field_name();
        r.tTFQueryFieldVisible = tableNameOnReport ? table.visible_name() + u' ' + field.visible_name()
                                                   : upperFirst(field.visible_name());
        r.tTFQueryFieldTable = table.table_name();
        r.tTFQuickpickID = qint32(table.quickpick_id());
        r.tTFDefaultSearchField = field.default_search_field();

        QString filter;
        if (!table.where_clause_qpi().trimmed().isEmpty())
            filter = table.where_clause_qpi();
        if (!field.where_clause().trimmed().isEmpty())
            filter = filter.trimmed().isEmpty() ? field.where_clause()
                                                : filter + QStringLiteral(" AND ") + field.where_clause();
        r.tTFQueryFieldProgIDFilter = filter;
        r.tTFID = qint32(field.ID());
        return true;
    });
}

bool LoadRecordSet(const QString& sql, std::shared_ptr<dao::Recordset>& rs)
{
    rs.reset();
    return guarded(QStringLiteral(" in Function LoadRecordSet"), [&] {
        rs = openSelection(sql);
        return true;
    });
}

}  // namespace lg::catalogue
