#include "report/statementgenerator.h"

#include <QtCore/QStringList>

#include "catalogue/dbhelpers.h"
#include "platform/dao/dao.h"
#include "platform/runtimeerror.h"
#include "platform/strings.h"
#include "store/errors.h"

namespace lg::report {

using catalogue::longOf;
using catalogue::num;
using catalogue::textOf;

namespace {

const QString kSource = QStringLiteral("vlqTabul2/modWizardUtils/");
const QString kTrue = QStringLiteral(" (TRUE) ");

// The deepest type connection that the list's live groups, displayed fields
// and conditions need.
const QString kMaxOrderSql = QStringLiteral(
    "select max([TTC].[sort_order]) as max_order "
    "from vlq_list_wizard_table_type_connection AS TTC "
    "WHERE [TTC].[list_type_id] = @vlq_list_wizard_type_id AND [TTC].[del_status]=0 AND [TTC].[temp_status]=0 AND "
    "([TTC].[table_id] IN (SELECT [TF].[table_id] FROM vlq_list_wizard_table_field AS TF "
    "WHERE [TF].[id] IN (SELECT [GF].[table_field_id]  FROM vlq_list_report_group_field AS GF "
    "WHERE [GF].[vlq_list_report_id] = @vlq_list_report_id AND [GF].[del_status]=0)) OR "
    "[TTC].[table_id] IN (SELECT [TF].[table_id] FROM vlq_list_wizard_table_field AS TF "
    "WHERE [TF].[id] IN (SELECT [VF].[table_field_id]  FROM vlq_list_report_visible_field AS VF "
    "WHERE [VF].[vlq_list_report_id] = @vlq_list_report_id AND [VF].[del_status]=0)) OR "
    "[TTC].[table_id] IN (SELECT [TF].[table_id] FROM vlq_list_wizard_table_field AS TF "
    "WHERE [TF].[id] IN (SELECT [WF].[table_field_id]  FROM vlq_list_report_where_field AS WF "
    "WHERE [WF].[vlq_list_report_id] = @vlq_list_report_id AND [WF].[del_status]=0))) ");

const QString kRequiredSql =
    QStringLiteral("SELECT  required_table , required_where FROM vlq_list_wizard_type WHERE id=@vlq_list_wizard_type_id");

const QString kJoinSql = QStringLiteral(
    " SELECT table_join FROM vlq_list_wizard_table_type_connection WHERE list_type_id= @vlq_list_wizard_type_id AND "
    "sort_order = @max_table_priority AND del_status=0 AND temp_status=0");

const QString kFieldName2 = QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[field_name] + ']') as field_name2 ");

const QString kGroupFrom = QStringLiteral(
    "from (vlq_list_report_group_field AS GF "
    "INNER JOIN vlq_list_wizard_table_field AS TF ON ([TF].[id]= [GF].[table_field_id])) "
    "INNER JOIN vlq_list_wizard_table AS T ON ([T].[id]= [TF].[table_id]) "
    "WHERE [GF].[vlq_list_report_id] = @vlq_list_report_id AND [GF].[del_status]=0 ");

const QString kVisibleFrom = QStringLiteral(
    "FROM (vlq_list_report_visible_field AS VF "
    "INNER JOIN vlq_list_wizard_table_field AS TF ON ([TF].[id]= [VF].[table_field_id])) "
    "INNER JOIN vlq_list_wizard_table AS T ON ([T].[id]= [TF].[table_id]) "
    "WHERE [VF].[vlq_list_report_id] = @vlq_list_report_id AND [VF].[del_status]=0 ");

const QString kGroupSelectSql =
    QStringLiteral(" SELECT ")
    % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[field_name] + '] AS RG' + cstr([GF].[id])) as field_name, ")
    % kFieldName2 % kGroupFrom % QStringLiteral("ORDER BY [GF].[sort_order] ");

const QString kAltGroupSelectSql =
    QStringLiteral(" SELECT ")
    % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[group_field_name] + '] AS RGF' + cstr([GF].[id])) as "
                     "field_name, ")
    % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[group_field_name] + ']') as field_name2 ") % kGroupFrom
    % QStringLiteral("AND len(trim([TF].[group_field_name])) <> 0 ") % QStringLiteral("ORDER BY [GF].[sort_order] ");

const QString kVisibleSelectSql =
    QStringLiteral("SELECT ")
    % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[field_name] + '] AS RF' + cstr([VF].[id]) ) as field_name, ")
    % kFieldName2 % kVisibleFrom % QStringLiteral("ORDER BY [VF].[sort_order] ");

// The report groups by the alternative group field where a group has one, so
// the rows must also be sorted by it: otherwise two partners of the same name
// interleave and their group is broken into pieces. It follows the group field
// in the order list, so the order the user sees is unchanged.
const QString kGroupOrderSql =
    QStringLiteral(" SELECT ") % QStringLiteral("[TF].[id] as id, ")
    % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[field_name] + '] AS ' + '''' + 'RG' + cstr([GF].[id]) "
                     "+ '''' ) as field_name, ")
    % QStringLiteral("iif(len(trim(nz([TF].[group_field_name], ''))) = 0, '', "
                     "'[' + [T].[table_alias] + '].[' + [TF].[group_field_name] + ']') as group_field2, ")
    % kFieldName2 % kGroupFrom % QStringLiteral("ORDER BY [GF].[sort_order] ");

QString visibleOrderSql(const QString& groupFieldIds)
{
    QString sql = QStringLiteral("SELECT ")
                  % QStringLiteral("('[' + [T].[table_alias] + '].[' + [TF].[field_name] + '] AS ' + '''' + 'RF' + "
                                   "cstr([VF].[id]) + '''' ) as field_name, ")
                  % kFieldName2 % kVisibleFrom;
    if (!groupFieldIds.isEmpty())
        sql += QStringLiteral("AND [TF].[id] NOT IN (") % groupFieldIds % QStringLiteral(") ");
    return sql % QStringLiteral("ORDER BY [VF].[sort_order] ");
}

const QString kTableConditionsSql = QStringLiteral(
    "SELECT where_clause_sql "
    "from vlq_list_wizard_table AS WT "
    "WHERE [WT].[id] IN (SELECT [TTC].[table_id] FROM vlq_list_wizard_table_type_connection  AS TTC WHERE "
    "[TTC].[list_type_id]=@vlq_list_wizard_type_id AND [TTC].[sort_order] < (@max_table_priority+1) AND "
    "[TTC].[del_status]=0 AND [TTC].[temp_status]=0) AND "
    "[WT].[del_status]=0 AND [WT].[temp_status]=0 AND "
    "LEN(TRIM([WT].[where_clause_sql])) > 0 ");

struct Placeholders {
    long listTypeId;
    long listReportId;
    long depth;

    // The values of the statements' @names, bound as parameters.
    QVariantMap values() const
    {
        return {{QStringLiteral("vlq_list_wizard_type_id"), qlonglong(listTypeId)},
                {QStringLiteral("vlq_list_report_id"), qlonglong(listReportId)},
                {QStringLiteral("max_table_priority"), qlonglong(depth)}};
    }

    // Opens one of the statements above with these values.
    std::shared_ptr<dao::Recordset> open(const QString& sql) const
    {
        dao::Database& db = catalogue::activeDatabase();
        auto rs = db.OpenRecordset(sql, values());
        db.Idle(dao::dbFreeLocks);
        return rs;
    }
};

// Appends `column` of every row to `list`, comma-separated.
void appendColumn(const Placeholders& ph, const QString& sql, const QString& column, QString& list,
                  QStringList* ids = nullptr)
{
    auto rs = ph.open(sql);
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString value = textOf(*rs, column);
        list = list.isEmpty() ? value : list % QLatin1Char(',') % value;
        if (ids)
            ids->append(num(longOf(*rs, QStringLiteral("id"), -1)));
    }
}

// A condition written by a person may hold OR; joined with others it keeps
// its own meaning only inside brackets.
QString bracketed(const QString& condition) { return QLatin1Char('(') % condition % QLatin1Char(')'); }

}  // namespace

// The trial run is made by the user who saves the list: the run-time user
// placeholder gets that user's id.
QString neutraliseParameters(const QString& condition, const QString& userText)
{
    QString text = condition;
    for (int i = 1; i <= 5; ++i)
        text.replace(QStringLiteral("%PAR") % num(i) % QLatin1Char('%'), kTrue);
    text.replace(QStringLiteral("%RUNUSERID%"), userText);
    return text;
}

bool GenerateListStatement(long listReportId, long listTypeId, QString& condition, long userId, ListStatement& result)
{
    return traced(kSource, TraceKind::Function, QStringLiteral("GenerateListStatement"), [&] {
        result = ListStatement{};
        Placeholders ph{listTypeId, listReportId, 0};

        long maxOrder = 0;
        {
            auto rs = ph.open(kMaxOrderSql);
            if (!rs->Eof())
                maxOrder = longOf(*rs, QStringLiteral("max_order"), 0);
        }
        long requiredTable = 0;
        QString requiredWhere;
        {
            auto rs = ph.open(kRequiredSql);
            if (!rs->Eof()) {
                requiredTable = longOf(*rs, QStringLiteral("required_table"), 0);
                requiredWhere = textOf(*rs, QStringLiteral("required_where"));
            }
        }
        ph.depth = std::max(maxOrder, requiredTable);

        QString fromText;
        {
            auto rs = ph.open(kJoinSql);
            if (!rs->Eof())
                fromText = textOf(*rs, QStringLiteral("table_join"));
        }
        if (fromText.trimmed().isEmpty()) {
            AddError(0, LoadResString(7242)
                            .arg(ph.depth));
            return false;
        }

        QString selectList;
        appendColumn(ph, kGroupSelectSql, QStringLiteral("field_name"), selectList);
        appendColumn(ph, kAltGroupSelectSql, QStringLiteral("field_name"), selectList);
        QString visibleColumns;
        appendColumn(ph, kVisibleSelectSql, QStringLiteral("field_name"), visibleColumns);
        if (visibleColumns.isEmpty()) {
            const QString text = LoadResString(5012);
            AddError(0, text.isEmpty() ? QStringLiteral("Megjelenítendő mező kiválasztása kötelező!") : text);
            return false;
        }
        selectList = selectList.isEmpty() ? visibleColumns : selectList % QLatin1Char(',') % visibleColumns;

        QString orderList;
        QStringList groupFieldIds;
        {
            auto rs = ph.open(kGroupOrderSql);
            for (; !rs->Eof(); rs->MoveNext()) {
                QString terms = textOf(*rs, QStringLiteral("field_name2"));
                const QString alternative = textOf(*rs, QStringLiteral("group_field2"));
                if (!alternative.isEmpty())
                    terms = terms % QLatin1Char(',') % alternative;
                orderList = orderList.isEmpty() ? terms : orderList % QLatin1Char(',') % terms;
                groupFieldIds.append(num(longOf(*rs, QStringLiteral("id"), -1)));
            }
        }
        appendColumn(ph, visibleOrderSql(groupFieldIds.join(QLatin1Char(','))), QStringLiteral("field_name2"),
                     orderList);

        QString tableConditions;
        {
            auto rs = ph.open(kTableConditionsSql);
            for (; !rs->Eof(); rs->MoveNext()) {
                const QString c = bracketed(textOf(*rs, QStringLiteral("where_clause_sql")));
                tableConditions = tableConditions.isEmpty() ? c : tableConditions % QStringLiteral(" and ") % c;
            }
        }

        const QString userText = num(userId);
        if (tableConditions.trimmed().isEmpty())
            tableConditions = kTrue;
        else
            tableConditions.replace(QStringLiteral("%USERID%"), userText);
        if (requiredWhere.trimmed().isEmpty())
            requiredWhere = kTrue;
        else
            requiredWhere = bracketed(requiredWhere.replace(QStringLiteral("%USERID%"), userText));

        if (condition.trimmed().isEmpty())
            condition = kTrue;
        const QString listCondition = condition == kTrue ? condition : bracketed(condition);

        result.joinDepth = ph.depth;
        result.stored = QStringLiteral("SELECT ") % selectList % QLatin1Char(' ') % fromText % QStringLiteral(" WHERE ")
                        % listCondition % QStringLiteral(" AND ") % tableConditions % QStringLiteral(" AND ")
                        % requiredWhere % QStringLiteral(" AND  (%WHERE%) ORDER BY ") % orderList;
        result.test = QStringLiteral("SELECT TOP 1 ") % selectList % QLatin1Char(' ') % fromText %
                      QStringLiteral(" WHERE ") % listCondition % QStringLiteral(" AND ") %
                      neutraliseParameters(tableConditions, userText) % QStringLiteral(" AND ") %
                      neutraliseParameters(requiredWhere, userText) % QStringLiteral(" ORDER BY ") % orderList;
        return true;
    });
}

bool GenerateListStatement(long listReportId, long listTypeId, QString& condition, long userId, QString& stored,
                           QString& test, long& joinDepth)
{
    ListStatement result;
    const bool ok = GenerateListStatement(listReportId, listTypeId, condition, userId, result);
    stored = result.stored;
    test = result.test;
    joinDepth = result.joinDepth;
    return ok;
}

}  // namespace lg::report
